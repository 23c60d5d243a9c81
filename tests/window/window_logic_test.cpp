// The main window's behaviour, whatever toolkit shows it: the pick, the
// build and save, Stop, Clear Log and the Debug log box, seen through a
// fake view.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/generated_import.h"
#include "logic_fixture.h"
#include "scene_generator/race_scene.h"
#include "support/cli_runner.h"

namespace tarvel::window {
namespace {

// A race track: clipper walls, textures, a material of sub-materials.
std::string RaceTrack(int64_t triangles) {
    return scenegen::testing::AseText(scenegen::GenerateRaceScene(triangles, 5));
}

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Presses Stop the moment the work logs `line`, from the work's own thread,
// as a person would while it runs: the work goes on only once the click,
// on the window's thread, is done.
class StopAtLine final : public MemoSink {
  public:
    StopAtLine(WindowLogic& logic, FakeView& view, std::string line)
        : logic_(logic), view_(view), inner_(*logic.Log().memo), line_(std::move(line)) {
        logic.Log().memo = this;
    }
    ~StopAtLine() override { logic_.Log().memo = &inner_; }

    void AppendLine(std::string_view text) override {
        inner_.AppendLine(text);
        if (text != line_) {
            return;
        }
        view_.CallOnWindowThread([this] {
            stopEnabled = view_.enabled[Control::Stop];
            debugLogEnabled = view_.enabled[Control::DebugLog];
            logic_.StopClicked();
            ++presses;
        });
    }
    int LineCount() const override { return inner_.LineCount(); }
    void DeleteFirstLine() override { inner_.DeleteFirstLine(); }

    int presses = 0;
    bool stopEnabled = false;
    bool debugLogEnabled = true;

  private:
    WindowLogic& logic_;
    FakeView& view_;
    MemoSink& inner_;
    std::string line_;
};

TEST_F(Logic, start_empties_the_log_file_and_shows_the_idle_controls) {
    WriteFile("tarvelout.txt", "from the run before");
    Open();
    EXPECT_EQ(ReadFile("tarvelout.txt"), "");
    EXPECT_TRUE(Memo().empty());
    EXPECT_TRUE(view_->debugLogChecked);
    EXPECT_TRUE(logic_->DebugLogOn());
    const std::map<Control, bool> idle{{Control::Pick, true},
                                       {Control::Bsp, true},
                                       {Control::Stop, false},
                                       {Control::DebugLog, true},
                                       {Control::Preview, false}};
    EXPECT_EQ(view_->enabled, idle);
}

TEST_F(Logic, log_file_that_cannot_be_made_is_reported_and_the_window_works_on) {
    fs::create_directory("tarvelout.txt");
    Open();
    EXPECT_EQ(Memo(), std::vector<std::string>{"Could not create log file 'tarvelout.txt'."});
    Pick(ExamplePath("village.ase"));
    EXPECT_NE(logic_->Imported(), nullptr);
    EXPECT_TRUE(view_->enabled[Control::Preview]);
}

TEST_F(Logic, pick_shows_the_parse_in_the_memo_and_the_polygon_count) {
    // What the same pick writes without the window.
    LogContext reference;
    VectorMemoSink referenceMemo;
    reference.memo = &referenceMemo;
    std::optional<ImportedScene> expected;
    {
        ScopedLogContext scope(reference);
        BeginPick();
        expected = ImportAse(ExamplePath("village.ase"));
    }
    ASSERT_TRUE(expected);
    ASSERT_GT(expected->polys.Count(), 0);

    Open();
    Pick(ExamplePath("village.ase"));
    EXPECT_EQ(prompts_->openAsked, 1);
    EXPECT_EQ(logic_->FileName(), ExamplePath("village.ase"));
    ASSERT_NE(logic_->Imported(), nullptr);
    EXPECT_EQ(logic_->Imported()->polys.Count(), expected->polys.Count());
    EXPECT_EQ(logic_->Log().counters.inputPolys, expected->polys.Count());
    EXPECT_EQ(Memo(),
              std::vector<std::string>(referenceMemo.lines.begin(), referenceMemo.lines.end()));
    EXPECT_EQ(Memo().front(), "Opening ASE");
    EXPECT_EQ(Panels(), Texts(reference.counters));
}

TEST_F(Logic, file_named_on_the_command_line_is_picked_or_previewed_at_start) {
    const std::string threeDo = (dir_ / "named.3DO").string();
    WriteFile(threeDo, "not really");
    Open({"tarvel", ExamplePath("village.ase")});
    StartAndWait();
    EXPECT_EQ(logic_->FileName(), ExamplePath("village.ase"));
    EXPECT_NE(logic_->Imported(), nullptr);
    EXPECT_EQ(prompts_->openAsked, 0);
    EXPECT_EQ(view_->openedThreeDo, "");

    Open({"tarvel", threeDo});
    StartAndWait();
    EXPECT_EQ(view_->openedThreeDo, threeDo);
    EXPECT_EQ(logic_->Imported(), nullptr);
}

TEST_F(Logic, cancelled_pick_resets_the_counters_and_keeps_the_scene) {
    Open();
    Pick(ExamplePath("village.ase"));
    Save("first.3do");
    const int32_t polys = logic_->Imported()->polys.Count();
    Pick(std::nullopt);
    EXPECT_EQ(Panels(), (std::vector<std::string>{"0 (max. 0)", "0/0", "0", "0", "0"}));
    EXPECT_EQ(logic_->Log().counters, Counters{});
    ASSERT_NE(logic_->Imported(), nullptr);
    EXPECT_EQ(logic_->Imported()->polys.Count(), polys);
    EXPECT_EQ(Memo().back(), "Opening ASE");
}

TEST_F(Logic, pick_of_a_missing_file_keeps_the_scene) {
    Open();
    Pick(ExamplePath("village.ase"));
    Pick((dir_ / "gone.ase").string());
    ASSERT_NE(logic_->Imported(), nullptr);
    EXPECT_EQ(Memo().back(), "Error opening file: '" + (dir_ / "gone.ase").string() + "'");
}

TEST_F(Logic, bsp_before_any_pick_only_shows_two_dots) {
    Open();
    logic_->BspClicked();
    EXPECT_FALSE(logic_->Busy());
    EXPECT_EQ(Panels(), (std::vector<std::string>{"..", "..", "0", "0", "0"}));
    EXPECT_TRUE(Memo().empty());
    EXPECT_EQ(prompts_->saveAsked, 0);
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(Logic, bsp_saves_the_same_bytes_as_the_headless_compile) {
    const testing::CliOutcome cli =
        testing::RunCli(dir_, "compile '" + ExamplePath("village.ase") + "' -o cli.3do");
    ASSERT_EQ(cli.status, 0) << cli.err;
    Open();
    Pick(ExamplePath("village.ase"));
    const std::string path = Save("window.3do");
    EXPECT_EQ(logic_->LastReport().status, ConvertStatus::Saved);
    EXPECT_EQ(ReadFile(path), ReadFile(dir_ / "cli.3do"));
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(view_->status, "flat lists: none");
    // The panels end on the values of the last counter change.
    EXPECT_EQ(Panels(), Texts(logic_->Log().counters));
    EXPECT_GT(logic_->Log().counters.nodeCount, 0);
}

TEST_F(Logic, second_run_continues_the_counters_and_writes_the_same_file) {
    Open();
    Pick(ExamplePath("village.ase"));
    const std::string first = Save("first.3do");
    const Counters once = logic_->Log().counters;
    const std::string second = Save("second.3do");
    const Counters twice = logic_->Log().counters;
    EXPECT_EQ(twice.nodeCount, 2 * once.nodeCount);
    EXPECT_EQ(twice.splitPolys, 2 * once.splitPolys);
    EXPECT_EQ(twice.polysDone, 2 * once.polysDone);
    EXPECT_EQ(twice.maxDepth, once.maxDepth);
    EXPECT_EQ(twice.inputPolys, once.inputPolys);
    EXPECT_EQ(ReadFile(first), ReadFile(second));
    EXPECT_EQ(Panels(), Texts(twice));
}

TEST_F(Logic, cancelled_save_asks_for_a_new_run_and_writes_nothing) {
    Open();
    Pick(ExamplePath("village.ase"));
    prompts_->saveAnswers.push_back(std::nullopt);
    logic_->BspClicked();
    WaitIdle();
    EXPECT_EQ(prompts_->messages, std::vector<std::string>{"3DO not saved.  Re-BSP to save.\n"});
    EXPECT_EQ(logic_->LastReport().status, ConvertStatus::Cancelled);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"tarvelout.txt"});
}

TEST_F(Logic, clear_log_empties_the_memo_but_not_the_log_file) {
    Open();
    Pick(ExamplePath("village.ase"));
    Save("out.3do");
    const std::string logged = ReadFile("tarvelout.txt");
    ASSERT_FALSE(logged.empty());
    logic_->ClearLogClicked();
    EXPECT_TRUE(Memo().empty());
    EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
}

// Stop while a pick or a build runs: the work ends at its next check, with no
// save dialog, nothing written and an old output untouched; the memo says
// so, the panels keep the counters, and the buttons come back.
TEST_F(Logic, stop_ends_the_work_and_writes_nothing) {
    WriteFile("track.ase", RaceTrack(21000));
    WriteFile("out.3do", "previous file");
    Open();
    {
        const StopAtLine stop(*logic_, *view_, "Parsing file...");
        Pick("track.ase");
        EXPECT_EQ(stop.presses, 1);
    }
    EXPECT_EQ(logic_->Imported(), nullptr);
    EXPECT_EQ(Memo().back(), kStoppedLine);
    Pick("track.ase");
    ASSERT_NE(logic_->Imported(), nullptr);
    ASSERT_GT(logic_->Imported()->polys.Count(), kDebugLogWarningPolys);
    logic_->ClearLogClicked();
    prompts_->saveAnswers.push_back((dir_ / "out.3do").string());
    {
        const StopAtLine stop(*logic_, *view_, "BSPing first node...");
        logic_->BspClicked();
        WaitIdle();
        EXPECT_EQ(stop.presses, 1);
        EXPECT_TRUE(stop.stopEnabled);
        EXPECT_FALSE(stop.debugLogEnabled);
    }
    EXPECT_EQ(logic_->LastReport().status, ConvertStatus::Stopped);
    EXPECT_EQ(prompts_->saveAsked, 0);
    EXPECT_TRUE(prompts_->messages.empty());
    const std::vector<std::string> memo = Memo();
    ASSERT_FALSE(memo.empty());
    // The debug log is on and the scene is large: the build says so first.
    EXPECT_EQ(memo.front(), kDebugLogWarning);
    EXPECT_EQ(memo.back(), kStoppedLine);
    EXPECT_EQ(ReadFile("out.3do"), "previous file");
    EXPECT_EQ(Panels(), Texts(logic_->Log().counters));
    EXPECT_EQ(logic_->Log().counters.inputPolys, logic_->Imported()->polys.Count());
    for (const Control control : {Control::Pick, Control::Bsp, Control::DebugLog}) {
        EXPECT_TRUE(view_->enabled[control]) << static_cast<int>(control);
    }
    EXPECT_FALSE(view_->enabled[Control::Stop]);
    EXPECT_EQ(FilesIn(dir_), (std::vector<std::string>{"out.3do", "tarvelout.txt", "track.ase"}));
}

// Unchecked, the build takes the fast path and nothing reaches the log file,
// yet the memo, the counters and the file are those of a checked build. The
// choice is remembered, and checking the box again empties the log file.
TEST_F(Logic, debug_log_box_changes_nothing_but_the_log) {
    WriteFile("track.ase", RaceTrack(3000));
    struct Outcome {
        std::vector<std::string> memo;
        Counters counters;
        std::string bytes;
    };
    const auto build = [this](const std::string& scene) {
        Pick(scene);
        logic_->ClearLogClicked();
        const std::string path = Save("out.3do");
        EXPECT_EQ(logic_->LastReport().status, ConvertStatus::Saved);
        return Outcome{Memo(), logic_->Log().counters, ReadFile(path)};
    };
    std::string logged;
    for (const std::string& scene : {ExamplePath("village.ase"), std::string("track.ase")}) {
        SCOPED_TRACE(scene);
        remembered_ = true;
        Open();
        ASSERT_TRUE(logic_->DebugLogOn());
        const Outcome checked = build(scene);
        logged = ReadFile("tarvelout.txt");
        EXPECT_FALSE(logged.empty());
        logic_->DebugLogToggled(false);
        ASSERT_FALSE(logic_->DebugLogOn());
        EXPECT_EQ(logic_->Log().logFile, nullptr);
        EXPECT_EQ(logic_->Log().console, nullptr);
        const Outcome unchecked = build(scene);
        EXPECT_EQ(unchecked.memo, checked.memo);
        EXPECT_EQ(unchecked.counters, checked.counters);
        EXPECT_EQ(unchecked.bytes, checked.bytes);
        EXPECT_FALSE(unchecked.bytes.empty());
        EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
    }
    // The next start remembers the box and leaves the log file as it is.
    Open();
    EXPECT_FALSE(view_->debugLogChecked);
    EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
    logic_->DebugLogToggled(true);
    EXPECT_TRUE(logic_->DebugLogOn());
    EXPECT_EQ(remembered_, true);
    EXPECT_NE(logic_->Log().logFile, nullptr);
    EXPECT_NE(logic_->Log().console, nullptr);
    EXPECT_EQ(ReadFile("tarvelout.txt"), "");
    logic_->Log().console = nullptr;
}

}  // namespace
}  // namespace tarvel::window
