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
#include <QTimer>

#include <gtest/gtest.h>

#include "window_fixture.h"

namespace tarvel::app {
namespace {

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

}  // namespace
}  // namespace tarvel::app
