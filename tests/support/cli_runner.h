#pragma once

// Runs the tarvel-cli binary in a folder and keeps what it printed.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarvel::testing {

struct CliOutcome {
    int status = -1;  // the exit status, or -1 when the tool did not exit
    std::string out, err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// args are passed to the shell as given: the caller quotes where needed.
inline CliOutcome RunCli(const std::filesystem::path& dir, const std::string& args) {
    const std::filesystem::path out = dir / "cli-stdout.txt", err = dir / "cli-stderr.txt";
    const std::string command = "cd '" + dir.string() + "' && '" TARVEL_CLI_PATH "' " + args +
                                " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    CliOutcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = ReadWholeFile(out);
    o.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return o;
}

}  // namespace tarvel::testing
