#include "support/program_run.h"

#include <chrono>
#include <thread>

namespace tarvel::testing {

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote == '\'') {
            if (c == '\'') {
                quote = 0;
            } else {
                word += c;
            }
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (quote == '"') {
            if (c == '"') {
                quote = 0;
            } else {
                word += c;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

int RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& argv,
               const std::filesystem::path& out, const std::filesystem::path& err) {
    const std::unique_ptr<RunningProgram> program = StartProgram(dir, argv, out, err);
    if (!program) {
        return -1;
    }
    int status = -1;
    while (!program->Ended(status)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return status;
}

}  // namespace tarvel::testing
