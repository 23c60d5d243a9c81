#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/temp_dir.h"
#include "threedo/threedo_file.h"

// A compile that dies while it writes its output leaves the file it was
// replacing as it was. The dead process's temporary file stays beside the
// target (".NAME.<16 hex digits>.tmp"); nothing else under the target name.

namespace tarvel {
namespace {

namespace fs = std::filesystem;

struct Exit {
    bool signalled = false;
    int code = -1;  // exit status or signal number
};

Exit Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return {};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) {
        return {true, WTERMSIG(status)};
    }
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::vector<fs::path> Leftovers(const fs::path& dir, const std::string& keep) {
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() != keep) {
            found.push_back(entry.path().filename());
        }
    }
    return found;
}

class InterruptedSave : public ::testing::Test {
  protected:
    Exit Compile(long bytesBeforeDeath) {
        return Spawn(
            {TARVEL_SAVE_ABORT_HELPER, input, target.string(), std::to_string(bytesBeforeDeath)});
    }

    testing::TempDir temp{"tarvel-interrupted"};
    const std::string input = TARVEL_EXAMPLES_DIR "/village.ase";
    const fs::path target = temp / "village.3do";
    const std::string old = "the previous compile's bytes";
};

TEST_F(InterruptedSave, death_at_any_point_of_the_write_keeps_the_old_file) {
    for (const long bytes : {0L, 1L, 12L, 100L, 1000L, 5000L}) {
        SCOPED_TRACE(bytes);
        std::ofstream(target, std::ios::binary) << old;
        const Exit exit = Compile(bytes);
        EXPECT_TRUE(exit.signalled);
        EXPECT_EQ(exit.code, SIGABRT);
        EXPECT_EQ(testing::ReadWholeFile(target), old);
        for (const fs::path& name : Leftovers(temp.path(), target.filename())) {
            EXPECT_TRUE(name.string().starts_with(".village.3do.")) << name;
            EXPECT_EQ(name.extension(), ".tmp") << name;
            fs::remove(temp / name.string());
        }
    }
}

TEST_F(InterruptedSave, death_before_a_first_save_leaves_no_target) {
    EXPECT_TRUE(Compile(64).signalled);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(InterruptedSave, a_stray_temporary_does_not_stop_the_next_save) {
    std::ofstream(target, std::ios::binary) << old;
    ASSERT_TRUE(Compile(100).signalled);
    const Exit exit = Compile(1L << 30);
    EXPECT_FALSE(exit.signalled);
    EXPECT_EQ(exit.code, 0);
    const LoadResult loaded = LoadThreeDoFile(target.string());
    ASSERT_TRUE(loaded.ok()) << loaded.error.what;
    EXPECT_FALSE(CheckConsistency(*loaded.file).has_value());
}

}  // namespace
}  // namespace tarvel
