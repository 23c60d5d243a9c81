#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMetaObject>
#include <QMimeData>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "app/about_dialog.h"
#include "app/dialog_prompts.h"
#include "app/logo.h"
#include "app/preview_drop.h"
#include "app/preview_window.h"
#include "import/scene_formats.h"
#include "ui_main_window.h"

namespace tarvel::app {

namespace {

QFont WindowFont() {
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// Judged by the glyphs: some monospaced families do not call themselves so.
bool HasEvenGlyphs(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QChar('W'));
    return metrics.horizontalAdvance(QChar('i')) == width &&
           metrics.horizontalAdvance(QChar('.')) == width;
}

QFont MemoFont() {
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    if (!HasEvenGlyphs(font)) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPixelSize(12);
    }
    return font;
}

// The one local scene file of a drag, if that is what it carries.
std::optional<std::string> DroppedSceneFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = mime->urls().front();
    const std::string path = url.toLocalFile().toStdString();
    if (!url.isLocalFile() || !import::HasSceneExtension(path)) {
        return std::nullopt;
    }
    return path;
}

// The label positions were laid out for narrower glyphs than most systems
// have: a caption that does not fit grows away from its panel.
void FitLabel(QLabel& label) {
    const int needed = label.sizeHint().width();
    QRect box = label.geometry();
    if (needed <= box.width()) {
        return;
    }
    if (label.alignment() & Qt::AlignHCenter) {
        box.adjust(-(needed - box.width()) / 2, 0, 0, 0);
        box.setWidth(needed);
    } else {
        box.setLeft(box.right() + 1 - needed);
    }
    label.setGeometry(box);
}

int MemoLines(const QPlainTextEdit& memo) {
    const QTextDocument& doc = *memo.document();
    // An empty document still holds one empty block.
    return doc.isEmpty() ? 0 : doc.blockCount();
}

}  // namespace

TForm1::TForm1(std::vector<std::string> args, std::unique_ptr<window::Prompts> prompts,
               QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()) {
    SetUpWidgets();
    prompts_ = prompts ? std::move(prompts)
                       : std::make_unique<DialogPrompts>(*this, *openDialog_, *saveDialog_);
    logic_ = std::make_unique<window::WindowLogic>(static_cast<window::WindowView&>(*this),
                                                   *prompts_, args);
    if (!logic_->StartupExitStatus()) {
        QTimer::singleShot(0, this, [this] { logic_->Start(); });
    }
}

TForm1::~TForm1() {
    // The work may still want this window; it is stopped and waited for
    // while the widgets are all there.
    logic_.reset();
}

void TForm1::SetUpWidgets() {
    ui_->setupUi(this);
    setFont(WindowFont());
    move(132, 117);
    ui_->Memo1->setFont(MemoFont());
    ui_->Image1->setPixmap(DrawLogo());
    for (QLabel* label :
         {ui_->Label1, ui_->Label2, ui_->splitsLabel, ui_->listSizeLabel, ui_->nodesLabel}) {
        FitLabel(*label);
    }
    panels_ = {ui_->Panel_Depth, ui_->Panel_Polys, ui_->Panel_Splits, ui_->Panel_ListSize,
               ui_->Panel_Nodes};
    openDialog_ = std::make_unique<QFileDialog>(this);
    ConfigureOpenDialog(*openDialog_);
    saveDialog_ = std::make_unique<QFileDialog>(this);
    ConfigureSaveDialog(*saveDialog_);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui_->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui_->Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(ui_->Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(ui_->Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(ui_->ButtonStop, &QPushButton::clicked, this, &TForm1::ButtonStopClick);
    connect(ui_->DebugLog, &QCheckBox::toggled, this, &TForm1::DebugLogToggled);
    setAcceptDrops(true);
    installEventFilter(new ThreeDoDrop(
        this, [this](const std::string& path) { OpenThreeDo(path); },
        [this] { return !logic_->AcceptsDrops(); }));
}

void TForm1::Button1Click() {
    logic_->PickClicked();
}

void TForm1::Button2Click() {
    logic_->BspClicked();
}

void TForm1::Button3Click() {
    TOKRightDlg dialog(this);
    dialog.exec();
}

void TForm1::Button4Click() {
    close();
}

void TForm1::Button5Click() {
    logic_->ClearLogClicked();
}

void TForm1::Button6Click() {
    if (!logic_->PickPreview()) {
        return;
    }
    EnsurePreview();
    ShowPreview();
}

void TForm1::ButtonStopClick() {
    logic_->StopClicked();
}

void TForm1::DebugLogToggled(bool on) {
    logic_->DebugLogToggled(on);
}

void TForm1::PickFile(const std::string& path) {
    logic_->PickFile(path);
}

void TForm1::EnsurePreview() {
    if (preview_) {
        return;
    }
    preview_ = std::make_unique<PreviewWindow>(this);
    connect(preview_.get(), &PreviewWindow::FileRejected, this,
            [this](const QString& message) { logic_->AddMemoLine(message.toStdString()); });
    ShowPreviewData();
}

void TForm1::ShowPreview() {
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

void TForm1::OpenThreeDo(const std::string& path) {
    EnsurePreview();
    if (preview_->OpenFile(path)) {
        ShowPreview();
    }
}

void TForm1::ShowPreviewData() {
    if (preview_) {
        preview_->SetScene(logic_->PickPreview());
        preview_->SetRun(logic_->RunPreview());
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (logic_->AcceptsDrops() && DroppedSceneFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path = DroppedSceneFile(event->mimeData());
    if (!path) {
        return;
    }
    event->acceptProposedAction();
    PickFile(*path);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (logic_->CloseRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::SetPanelText(window::Panel panel, const std::string& text) {
    panels_[static_cast<std::size_t>(panel)]->setText(QString::fromStdString(text));
}

void TForm1::AppendMemoLines(const std::vector<std::string>& lines) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += QChar('\n');
        }
        text += QString::fromStdString(lines[i]);
    }
    // One call for the whole batch: appending line by line costs a layout each.
    ui_->Memo1->appendPlainText(text);
}

void TForm1::DeleteFirstMemoLines(int count) {
    QPlainTextEdit& memo = *ui_->Memo1;
    if (count >= MemoLines(memo)) {
        memo.clear();
        return;
    }
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
    cursor.removeSelectedText();
}

void TForm1::ClearMemo() {
    ui_->Memo1->clear();
}

void TForm1::SetEnabled(window::Control control, bool enabled) {
    QWidget* widgets[] = {ui_->Button1, ui_->Button2, ui_->ButtonStop, ui_->DebugLog, ui_->Button6};
    widgets[static_cast<std::size_t>(control)]->setEnabled(enabled);
}

void TForm1::SetDebugLogChecked(bool checked) {
    const QSignalBlocker quiet(ui_->DebugLog);
    ui_->DebugLog->setChecked(checked);
}

void TForm1::SetStatusText(const std::string& text) {
    if (text.empty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(QString::fromStdString(text));
    }
}

void TForm1::ShowPreviewScene(std::shared_ptr<const window::PreviewScene> scene) {
    if (preview_) {
        preview_->SetScene(std::move(scene));
        preview_->SetRun(nullptr);
    }
}

void TForm1::ShowPreviewRun(std::shared_ptr<const window::PreviewRun> run) {
    if (preview_) {
        preview_->SetRun(std::move(run));
    }
}

void TForm1::OpenThreeDoFile(const std::string& path) {
    OpenThreeDo(path);
}

void TForm1::UnattendedRunEnded(bool saved) {
    emit UnattendedFinished(saved);
}

void TForm1::HideWindow() {
    if (preview_) {
        preview_->hide();
    }
    hide();
}

void TForm1::CloseWindow() {
    // A window that Quit has hidden no longer ends the program by closing,
    // as the last visible window does: end it here.
    const bool hiddenByQuit = !isVisible();
    if (close() && hiddenByQuit) {
        QCoreApplication::quit();
    }
}

bool TForm1::RememberedDebugLog() {
    return QSettings(kSettingsOrganization, kSettingsApplication)
        .value(kDebugLogSetting, true)
        .toBool();
}

void TForm1::RememberDebugLog(bool on) {
    QSettings(kSettingsOrganization, kSettingsApplication).setValue(kDebugLogSetting, on);
}

void TForm1::WakeWindowThread() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (logic_) {
                logic_->Drain();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace tarvel::app
