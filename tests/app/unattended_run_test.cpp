// The "-b IN OUT" conversion inside the window: it runs once the event loop
// starts, closes the window when the file is written, and otherwise stays
// open with the memo showing why.

#include <QSignalSpy>

#include "window_fixture.h"

namespace tarvel::app {
namespace {

class Unattended : public Window {
  protected:
    // True when the run finished in time; saved tells how it ended.
    bool Run(const std::string& input, const std::string& output, bool& saved) {
        Open({"tarvel", "-b", input, output});
        QSignalSpy finished(form_.get(), &TForm1::UnattendedFinished);
        if (!finished.wait(120000)) {
            return false;
        }
        saved = finished.front().front().toBool();
        return true;
    }
};

// "-b" keeps the debug log on whatever the check box says.
TEST_F(Unattended, writes_the_file_and_closes_the_window) {
    RememberDebugLog(false);
    bool saved = false;
    ASSERT_TRUE(Run(ExamplePath("village.ase"), "out.3do", saved));
    EXPECT_TRUE(saved);
    EXPECT_TRUE(form_->DebugLogOn());
    EXPECT_FALSE(ReadFile("tarvelout.txt").empty());
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->ExitStatus(), kExitOk);
    EXPECT_FALSE(ReadFile("out.3do").empty());
    EXPECT_EQ(form_->FileName(), ExamplePath("village.ase"));
}

TEST_F(Unattended, failure_keeps_the_window_open_and_the_old_output) {
    WriteFile("empty.ase", "");
    WriteFile("out.3do", "previous file");
    bool saved = true;
    ASSERT_TRUE(Run("empty.ase", "out.3do", saved));
    EXPECT_FALSE(saved);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(MemoLines().empty());
    EXPECT_EQ(ReadFile("out.3do"), "previous file");
    form_->Button4Click();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, failure_leaves_no_empty_output_behind) {
    WriteFile("empty.ase", "");
    bool saved = true;
    ASSERT_TRUE(Run("empty.ase", "new.3do", saved));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(fs::exists("new.3do"));
    EXPECT_EQ(form_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, input_gone_after_the_check_is_reported_in_the_memo) {
    WriteFile("vanishing.ase", "");
    Open({"tarvel", "-b", "vanishing.ase", "out.3do"});
    fs::remove("vanishing.ase");
    QSignalSpy finished(form_.get(), &TForm1::UnattendedFinished);
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(MemoLines().back(), "Error opening file: 'vanishing.ase'");
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->ExitStatus(), kExitFailed);
}

TEST_F(Unattended, failed_check_ends_before_the_window_shows) {
    Open({"tarvel", "-b", "missing.ase", "out.3do"});
    EXPECT_EQ(form_->StartupExitStatus(), kExitFailed);
    Open({"tarvel", "-h"});
    EXPECT_FALSE(form_->StartupExitStatus());
    EXPECT_EQ(form_->ExitStatus(), kExitOk);
}

}  // namespace
}  // namespace tarvel::app
