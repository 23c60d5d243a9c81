// The "-b IN OUT" conversion inside the window: it runs once the window's
// loop starts, closes the window when the file is written, and otherwise
// leaves it open with the memo showing why.

#include "logic_fixture.h"

namespace tarvel::window {
namespace {

class Unattended : public Logic {
  protected:
    // How the run ended: saved or not, nullopt when it never did.
    std::optional<bool> Run(const std::string& input, const std::string& output) {
        Open({"tarvel", "-b", input, output});
        logic_->Start();
        if (!view_->RunUntilIdle()) {
            return std::nullopt;
        }
        return view_->unattendedSaved;
    }
};

// "-b" keeps the debug log on whatever the check box says.
TEST_F(Unattended, writes_the_file_and_closes_the_window) {
    remembered_ = false;
    EXPECT_EQ(Run(ExamplePath("village.ase"), "out.3do"), true);
    EXPECT_TRUE(logic_->DebugLogOn());
    EXPECT_TRUE(view_->debugLogChecked);
    EXPECT_EQ(remembered_, false);
    EXPECT_FALSE(ReadFile("tarvelout.txt").empty());
    EXPECT_TRUE(view_->closed);
    EXPECT_EQ(logic_->ExitStatus(), kExitOk);
    EXPECT_FALSE(ReadFile("out.3do").empty());
    EXPECT_EQ(logic_->FileName(), ExamplePath("village.ase"));
}

TEST_F(Unattended, failure_keeps_the_window_open_and_the_old_output) {
    WriteFile("empty.ase", "");
    WriteFile("out.3do", "previous file");
    EXPECT_EQ(Run("empty.ase", "out.3do"), false);
    EXPECT_FALSE(view_->closed);
    EXPECT_FALSE(Memo().empty());
    EXPECT_EQ(ReadFile("out.3do"), "previous file");
    EXPECT_EQ(logic_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, failure_leaves_no_empty_output_behind) {
    WriteFile("empty.ase", "");
    EXPECT_EQ(Run("empty.ase", "new.3do"), false);
    EXPECT_FALSE(fs::exists("new.3do"));
    EXPECT_EQ(logic_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, input_gone_after_the_check_is_reported_in_the_memo) {
    WriteFile("vanishing.ase", "");
    Open({"tarvel", "-b", "vanishing.ase", "out.3do"});
    fs::remove("vanishing.ase");
    StartAndWait();
    EXPECT_EQ(view_->unattendedSaved, false);
    EXPECT_EQ(Memo().back(), "Error opening file: 'vanishing.ase'");
    EXPECT_FALSE(view_->closed);
    EXPECT_EQ(logic_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, failed_check_ends_before_the_window_shows) {
    Open({"tarvel", "-b", "missing.ase", "out.3do"});
    EXPECT_EQ(logic_->StartupExitStatus(), kExitFailed);
    StartAndWait();
    EXPECT_FALSE(view_->unattendedSaved);
    Open({"tarvel", "-h"});
    EXPECT_FALSE(logic_->StartupExitStatus());
    EXPECT_EQ(logic_->ExitStatus(), kExitOk);
}

}  // namespace
}  // namespace tarvel::window
