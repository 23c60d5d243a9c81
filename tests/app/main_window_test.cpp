#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/counter_mailbox.h"
#include "bench/generated_import.h"
#include "run_process.h"
#include "scene_generator/race_scene.h"
#include "window_fixture.h"

namespace tarvel::app {
namespace {

// A race track: clipper walls, textures, a material of sub-materials.
std::string RaceTrack(int64_t triangles) {
    return scenegen::testing::AseText(scenegen::GenerateRaceScene(triangles, 5));
}

// Presses Stop the moment the work logs `line`, from the work's own thread,
// as a person would while it runs: the work goes on only once the click is
// done.
class StopAtLine final : public MemoSink {
  public:
    StopAtLine(TForm1& form, std::string line)
        : form_(form), inner_(*form.Log().memo), line_(std::move(line)) {
        form.Log().memo = this;
    }
    ~StopAtLine() override { form_.Log().memo = &inner_; }

    void AppendLine(std::string_view text) override {
        inner_.AppendLine(text);
        if (text != line_ || QThread::currentThread() == form_.thread()) {
            return;
        }
        QMetaObject::invokeMethod(
            &form_,
            [this] {
                auto* stop = form_.findChild<QPushButton*>("ButtonStop");
                stopEnabled = stop->isEnabled();
                debugLogEnabled = form_.findChild<QCheckBox*>("DebugLog")->isEnabled();
                stop->click();
                ++presses;
            },
            Qt::BlockingQueuedConnection);
    }
    int LineCount() const override { return inner_.LineCount(); }
    void DeleteFirstLine() override { inner_.DeleteFirstLine(); }

    int presses = 0;
    bool stopEnabled = false;
    bool debugLogEnabled = true;

  private:
    TForm1& form_;
    MemoSink& inner_;
    std::string line_;
};

TEST_F(Window, shows_its_widgets_where_the_layout_puts_them) {
    Open();
    QApplication::processEvents();
    EXPECT_EQ(form_->windowTitle(), "Tarvel");
    EXPECT_EQ(form_->size(), QSize(825, 446));
    EXPECT_EQ(form_->pos(), QPoint(132, 117));
    struct Expected {
        const char* name;
        QRect geometry;
        const char* caption;
    };
    const Expected table[] = {
        {"Button1", {40, 32, 137, 25}, "&Pick ASE file..."},
        {"Button2", {40, 72, 137, 25}, "&BSP && save as 3DO..."},
        {"Button3", {624, 72, 81, 25}, "&About..."},
        {"Button4", {720, 72, 73, 25}, "&Quit"},
        {"Button5", {720, 104, 73, 25}, "Clear Log"},
        {"ButtonStop", {40, 112, 137, 25}, "&Stop"},
        {"DebugLog", {720, 168, 97, 17}, "&Debug log"},
        {"Panel_Depth", {392, 24, 185, 25}, "0"},
        {"Panel_Polys", {392, 56, 185, 25}, "0"},
        {"Panel_Splits", {392, 88, 185, 25}, "0"},
        {"Panel_ListSize", {392, 120, 185, 25}, "0"},
        {"Panel_Nodes", {392, 152, 185, 25}, "0"},
        {"Image1", {616, 8, 189, 52}, ""},
        {"Label1", {}, "Current depth:"},
        {"Label2", {}, "Polys done/input polys:"},
    };
    for (const Expected& e : table) {
        QWidget& widget = Widget(e.name);
        if (!e.geometry.isNull()) {
            EXPECT_EQ(widget.geometry(), e.geometry) << e.name;
        }
        const QVariant text = widget.property("text");
        EXPECT_EQ(text.toString().toStdString(), e.caption) << e.name;
    }
    for (const char* panel :
         {"Panel_Depth", "Panel_Polys", "Panel_Splits", "Panel_ListSize", "Panel_Nodes"}) {
        EXPECT_EQ(Widget<QLabel>(panel).frameShadow(), QFrame::Sunken) << panel;
    }
    EXPECT_EQ(Widget<QLabel>("Image1").pixmap().size(), QSize(189, 52));
    EXPECT_EQ(Widget("Memo1").geometry(), QRect(0, 192, 825, 235));
    EXPECT_EQ(Widget<QStatusBar>("StatusBar1").height(), 19);
    // Stop only while a pick or a build runs; the debug log on at first start.
    EXPECT_FALSE(Widget("ButtonStop").isEnabled());
    EXPECT_TRUE(Widget<QCheckBox>("DebugLog").isChecked());
    EXPECT_TRUE(form_->DebugLogOn());
}

TEST_F(Window, memo_is_fixed_pitch_unwrapped_and_grows_with_the_window) {
    Open();
    auto& memo = Widget<QPlainTextEdit>("Memo1");
    const QFontMetrics metrics(memo.font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    EXPECT_EQ(memo.font().pixelSize(), 12);
    EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    form_->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(memo.geometry(), QRect(0, 192, 1000, 600 - 192 - 19));
    EXPECT_EQ(Widget("Button4").geometry(), QRect(720, 72, 73, 25));
}

TEST_F(Window, dialogs_carry_the_filters_and_options) {
    Open();
    auto& open = Widget<QFileDialog>("OpenDialog1");
    const QStringList filters = open.nameFilters();
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], "ASCII Scene Export (*.ase)");
    EXPECT_TRUE(filters[1].startsWith("All scenes (*.ase *.3d *.3ds "));
    for (const char* pattern : {" *.obj ", " *.gltf ", " *.glb ", " *.fbx ", " *.dae ", " *.ac "}) {
        EXPECT_TRUE(filters[1].contains(pattern)) << pattern;
    }
    EXPECT_EQ(filters[2], "All Files (*.*)");
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
    auto& save = Widget<QFileDialog>("SaveDialog1");
    EXPECT_EQ(save.nameFilters(), QStringList({"3DO object file (*.3do)", "All files (*.*)"}));
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(save.defaultSuffix().isEmpty());
    EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST_F(Window, about_box_is_modal_shows_its_text_and_is_gone_once_closed) {
    Open();
    bool checked = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "TOKRightDlg");
        EXPECT_EQ(dialog->size(), QSize(408, 233));
        EXPECT_TRUE(dialog->windowTitle().isEmpty());
        auto* label = dialog->findChild<QLabel*>("Label1");
        auto* image = dialog->findChild<QLabel*>("Image1");
        auto* bevel = dialog->findChild<QFrame*>("Bevel1");
        auto* ok = dialog->findChild<QPushButton*>("OKBtn");
        if (label == nullptr || image == nullptr || bevel == nullptr || ok == nullptr) {
            dialog->reject();
            FAIL() << "a widget of the About box is missing";
        }
        EXPECT_EQ(label->text().toStdString(),
                  "Tarvel takes an .ASE file from 3DStudio Max (any version) and converts it to "
                  ".3DO.  To use, click the Pick ASE file button, then the BSP&Save as 3DO "
                  "button.  Please see readme.txt for more information. ");
        EXPECT_TRUE(label->wordWrap());
        EXPECT_EQ(label->geometry(), QRect(28, 88, 351, 52));
        EXPECT_EQ(image->geometry(), QRect(109, 16, 189, 52));
        EXPECT_EQ(image->pixmap().size(), QSize(189, 52));
        EXPECT_EQ(bevel->geometry(), QRect(8, 8, 393, 217));
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_EQ(ok->geometry(), QRect(167, 184, 75, 25));
        EXPECT_TRUE(ok->isDefault());
        checked = true;
        ok->click();
    });
    form_->Button3Click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(form_->findChild<QDialog*>("TOKRightDlg"), nullptr);
}

TEST_F(Window, start_empties_the_log_file) {
    WriteFile("tarvelout.txt", "from the run before");
    Open();
    EXPECT_EQ(ReadFile("tarvelout.txt"), "");
    EXPECT_TRUE(MemoLines().empty());
}

TEST_F(Window, log_file_that_cannot_be_made_is_reported_and_the_window_works_on) {
    fs::create_directory("tarvelout.txt");
    Open();
    EXPECT_EQ(MemoLines(), std::vector<std::string>{"Could not create log file 'tarvelout.txt'."});
    Pick(ExamplePath("village.ase"));
    EXPECT_NE(form_->Imported(), nullptr);
}

TEST_F(Window, pick_shows_the_parse_in_the_memo_and_the_polygon_count) {
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
    EXPECT_EQ(form_->FileName(), ExamplePath("village.ase"));
    ASSERT_NE(form_->Imported(), nullptr);
    EXPECT_EQ(form_->Imported()->polys.Count(), expected->polys.Count());
    EXPECT_EQ(form_->Log().counters.inputPolys, expected->polys.Count());
    EXPECT_EQ(MemoLines(),
              std::vector<std::string>(referenceMemo.lines.begin(), referenceMemo.lines.end()));
    EXPECT_EQ(MemoLines().front(), "Opening ASE");
    EXPECT_EQ(PanelTextsShown(), AsVector(PanelTexts(reference.counters)));
}

TEST_F(Window, cancelled_pick_resets_the_counters_and_keeps_the_scene) {
    Open();
    Pick(ExamplePath("village.ase"));
    Save("first.3do");
    const int32_t polys = form_->Imported()->polys.Count();
    Pick(std::nullopt);
    EXPECT_EQ(PanelTextsShown(), (std::vector<std::string>{"0 (max. 0)", "0/0", "0", "0", "0"}));
    EXPECT_EQ(form_->Log().counters, Counters{});
    ASSERT_NE(form_->Imported(), nullptr);
    EXPECT_EQ(form_->Imported()->polys.Count(), polys);
    EXPECT_EQ(MemoLines().back(), "Opening ASE");
}

TEST_F(Window, pick_of_a_missing_file_keeps_the_scene) {
    Open();
    Pick(ExamplePath("village.ase"));
    Pick((dir_ / "gone.ase").string());
    ASSERT_NE(form_->Imported(), nullptr);
    EXPECT_EQ(MemoLines().back(), "Error opening file: '" + (dir_ / "gone.ase").string() + "'");
}

TEST_F(Window, bsp_before_any_pick_only_shows_two_dots) {
    Open();
    form_->Button2Click();
    EXPECT_EQ(PanelTextsShown(), (std::vector<std::string>{"..", "..", "0", "0", "0"}));
    EXPECT_TRUE(MemoLines().empty());
    EXPECT_EQ(prompts_->saveAsked, 0);
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(Window, bsp_saves_the_same_bytes_as_the_headless_compile) {
    ASSERT_TRUE(CompileWithCli(ExamplePath("village.ase"), dir_ / "cli.3do"));
    Open();
    Pick(ExamplePath("village.ase"));
    const std::string path = Save("window.3do");
    EXPECT_EQ(form_->LastReport().status, ConvertStatus::Saved);
    EXPECT_EQ(ReadFile(path), ReadFile(dir_ / "cli.3do"));
    EXPECT_TRUE(prompts_->messages.empty());
    // The panels end on the values of the last counter change.
    EXPECT_EQ(PanelTextsShown(), AsVector(PanelTexts(form_->Log().counters)));
    EXPECT_GT(form_->Log().counters.nodeCount, 0);
}

TEST_F(Window, second_run_continues_the_counters_and_writes_the_same_file) {
    Open();
    Pick(ExamplePath("village.ase"));
    const std::string first = Save("first.3do");
    const Counters once = form_->Log().counters;
    const std::string second = Save("second.3do");
    const Counters twice = form_->Log().counters;
    EXPECT_EQ(twice.nodeCount, 2 * once.nodeCount);
    EXPECT_EQ(twice.splitPolys, 2 * once.splitPolys);
    EXPECT_EQ(twice.polysDone, 2 * once.polysDone);
    EXPECT_EQ(twice.maxDepth, once.maxDepth);
    EXPECT_EQ(twice.inputPolys, once.inputPolys);
    EXPECT_EQ(ReadFile(first), ReadFile(second));
    EXPECT_EQ(PanelTextsShown(), AsVector(PanelTexts(twice)));
}

TEST_F(Window, cancelled_save_asks_for_a_new_run_and_writes_nothing) {
    Open();
    Pick(ExamplePath("village.ase"));
    prompts_->saveAnswers.push_back(std::nullopt);
    form_->Button2Click();
    EXPECT_EQ(prompts_->messages, std::vector<std::string>{"3DO not saved.  Re-BSP to save.\n"});
    EXPECT_EQ(form_->LastReport().status, ConvertStatus::Cancelled);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().filename(), "tarvelout.txt");
    }
}

TEST_F(Window, clear_log_empties_the_memo_but_not_the_log_file) {
    Open();
    Pick(ExamplePath("village.ase"));
    Save("out.3do");
    const std::string logged = ReadFile("tarvelout.txt");
    ASSERT_FALSE(logged.empty());
    form_->Button5Click();
    EXPECT_TRUE(MemoLines().empty());
    EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
}

// Quit while the work runs stops it: the window goes at once and nothing is
// written.
TEST_F(Window, refuses_a_second_start_while_the_work_runs_and_quit_stops_it) {
    Open();
    Pick(ExamplePath("village.ase"));
    WriteFile("out.3do", "previous file");
    bool busy = false;
    bool pickEnabled = true;
    bool bspEnabled = true;
    bool stopEnabled = false;
    bool debugLogEnabled = true;
    bool visibleAfterQuit = true;
    std::string nodesShown;
    prompts_->onSave = [&] {
        busy = form_->Busy();
        pickEnabled = Widget("Button1").isEnabled();
        bspEnabled = Widget("Button2").isEnabled();
        stopEnabled = Widget("ButtonStop").isEnabled();
        debugLogEnabled = Widget("DebugLog").isEnabled();
        nodesShown = Panel("Panel_Nodes");
        form_->Button1Click();
        form_->Button2Click();
        form_->Button4Click();
        visibleAfterQuit = form_->isVisible();
    };
    // In the program's own event loop, which must end once the work has.
    QTimer::singleShot(0, [this] { Save("out.3do"); });
    QTimer::singleShot(120000, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(pickEnabled);
    EXPECT_FALSE(bspEnabled);
    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(debugLogEnabled);
    // Before asking, the window shows where the build ended.
    EXPECT_EQ(nodesShown, std::to_string(form_->Log().counters.nodeCount));
    EXPECT_EQ(prompts_->openAsked, 1);
    EXPECT_EQ(prompts_->saveAsked, 1);
    EXPECT_FALSE(visibleAfterQuit);
    EXPECT_EQ(form_->LastReport().status, ConvertStatus::Stopped);
    EXPECT_EQ(ReadFile("out.3do"), "previous file");
    EXPECT_EQ(MemoLines().back(), kStoppedLine);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(Widget("Button1").isEnabled());
    EXPECT_FALSE(Widget("ButtonStop").isEnabled());
}

// Stop while a pick or a build runs: the work ends at its next check, with no
// save dialog, nothing written and an old output untouched; the memo says
// so, the panels keep the counters, and the buttons come back.
TEST_F(Window, stop_ends_the_work_and_writes_nothing) {
    WriteFile("track.ase", RaceTrack(21000));
    WriteFile("out.3do", "previous file");
    Open();
    {
        const StopAtLine stop(*form_, "Parsing file...");
        Pick("track.ase");
        EXPECT_EQ(stop.presses, 1);
    }
    EXPECT_EQ(form_->Imported(), nullptr);
    EXPECT_EQ(MemoLines().back(), kStoppedLine);
    Pick("track.ase");
    ASSERT_NE(form_->Imported(), nullptr);
    ASSERT_GT(form_->Imported()->polys.Count(), kDebugLogWarningPolys);
    form_->Button5Click();
    prompts_->saveAnswers.push_back((dir_ / "out.3do").string());
    {
        const StopAtLine stop(*form_, "BSPing first node...");
        form_->Button2Click();
        EXPECT_EQ(stop.presses, 1);
        EXPECT_TRUE(stop.stopEnabled);
        EXPECT_FALSE(stop.debugLogEnabled);
    }
    EXPECT_EQ(form_->LastReport().status, ConvertStatus::Stopped);
    EXPECT_EQ(prompts_->saveAsked, 0);
    EXPECT_TRUE(prompts_->messages.empty());
    const std::vector<std::string> memo = MemoLines();
    ASSERT_FALSE(memo.empty());
    // The debug log is on and the scene is large: the build says so first.
    EXPECT_EQ(memo.front(), kDebugLogWarning);
    EXPECT_EQ(memo.back(), kStoppedLine);
    EXPECT_EQ(ReadFile("out.3do"), "previous file");
    EXPECT_EQ(PanelTextsShown(), AsVector(PanelTexts(form_->Log().counters)));
    EXPECT_EQ(form_->Log().counters.inputPolys, form_->Imported()->polys.Count());
    for (const char* name : {"Button1", "Button2", "DebugLog"}) {
        EXPECT_TRUE(Widget(name).isEnabled()) << name;
    }
    EXPECT_FALSE(Widget("ButtonStop").isEnabled());
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_)) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"out.3do", "tarvelout.txt", "track.ase"}));
}

// Unchecked, the build takes the fast path and nothing reaches the log file,
// yet the memo, the counters and the file are those of a checked build. The
// choice is remembered, and checking the box again empties the log file.
TEST_F(Window, debug_log_box_changes_nothing_but_the_log) {
    WriteFile("track.ase", RaceTrack(3000));
    struct Outcome {
        std::vector<std::string> memo;
        Counters counters;
        std::string bytes;
    };
    const auto build = [this](const std::string& scene) {
        Pick(scene);
        form_->Button5Click();
        const std::string path = Save("out.3do");
        EXPECT_EQ(form_->LastReport().status, ConvertStatus::Saved);
        return Outcome{MemoLines(), form_->Log().counters, ReadFile(path)};
    };
    std::string logged;
    for (const std::string& scene : {ExamplePath("village.ase"), std::string("track.ase")}) {
        SCOPED_TRACE(scene);
        RememberDebugLog(true);
        Open();
        ASSERT_TRUE(form_->DebugLogOn());
        const Outcome checked = build(scene);
        logged = ReadFile("tarvelout.txt");
        EXPECT_FALSE(logged.empty());
        Widget<QCheckBox>("DebugLog").click();
        ASSERT_FALSE(form_->DebugLogOn());
        EXPECT_EQ(form_->Log().logFile, nullptr);
        EXPECT_EQ(form_->Log().console, nullptr);
        const Outcome unchecked = build(scene);
        EXPECT_EQ(unchecked.memo, checked.memo);
        EXPECT_EQ(unchecked.counters, checked.counters);
        EXPECT_EQ(unchecked.bytes, checked.bytes);
        EXPECT_FALSE(unchecked.bytes.empty());
        EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
    }
    // The next start remembers the box and leaves the log file as it is.
    Open();
    EXPECT_FALSE(Widget<QCheckBox>("DebugLog").isChecked());
    EXPECT_EQ(ReadFile("tarvelout.txt"), logged);
    Widget<QCheckBox>("DebugLog").click();
    EXPECT_TRUE(form_->DebugLogOn());
    EXPECT_NE(form_->Log().logFile, nullptr);
    EXPECT_NE(form_->Log().console, nullptr);
    EXPECT_EQ(ReadFile("tarvelout.txt"), "");
    form_->Log().console = nullptr;
}

}  // namespace
}  // namespace tarvel::app
