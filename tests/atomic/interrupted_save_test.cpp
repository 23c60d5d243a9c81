#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/utf8_path.h"
#include "support/cli_runner.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "threedo/threedo_file.h"

// A compile that dies while it writes its output leaves the file it was
// replacing as it was. The dead process's temporary file stays beside the
// target (".NAME.<16 hex digits>.tmp"); nothing else under the target name.

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// What the helper ends with when it dies in the middle of the write.
constexpr int kDied = 86;

std::vector<fs::path> Leftovers(const fs::path& dir, const fs::path& keep) {
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
    // The helper's exit status.
    int Compile(long bytesBeforeDeath) {
        return testing::RunProgram(temp.path(),
                                   {TARVEL_SAVE_ABORT_HELPER, input, Utf8FromPath(target),
                                    std::to_string(bytesBeforeDeath)},
                                   capture / "stdout.txt", capture / "stderr.txt");
    }

    testing::TempDir temp{"tarvel-interrupted"};
    testing::TempDir capture{"tarvel-interrupted-capture"};  // outside the folder looked at
    const std::string input = TARVEL_EXAMPLES_DIR "/village.ase";
    const fs::path target = temp / "village.3do";
    const std::string old = "the previous compile's bytes";
};

TEST_F(InterruptedSave, death_at_any_point_of_the_write_keeps_the_old_file) {
    for (const long bytes : {0L, 1L, 12L, 100L, 1000L, 5000L}) {
        SCOPED_TRACE(bytes);
        std::ofstream(target, std::ios::binary) << old;
        EXPECT_EQ(Compile(bytes), kDied);
        EXPECT_EQ(testing::ReadWholeFile(target), old);
        for (const fs::path& name : Leftovers(temp.path(), target.filename())) {
            EXPECT_TRUE(name.string().starts_with(".village.3do.")) << name;
            EXPECT_EQ(name.extension(), ".tmp") << name;
            fs::remove(temp.path() / name);
        }
    }
}

TEST_F(InterruptedSave, death_before_a_first_save_leaves_no_target) {
    EXPECT_EQ(Compile(64), kDied);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(InterruptedSave, a_stray_temporary_does_not_stop_the_next_save) {
    std::ofstream(target, std::ios::binary) << old;
    ASSERT_EQ(Compile(100), kDied);
    EXPECT_EQ(Compile(1L << 30), 0);
    const LoadResult loaded = LoadThreeDoFile(target.string());
    ASSERT_TRUE(loaded.ok()) << loaded.error.what;
    EXPECT_FALSE(CheckConsistency(*loaded.file).has_value());
}

}  // namespace
}  // namespace tarvel
