#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMimeData>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

#include "app/about_dialog.h"
#include "app/background_job.h"
#include "app/logo.h"
#include "app/preview_drop.h"
#include "app/preview_window.h"
#include "import/scene_formats.h"
#include "log/thread_budget.h"
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

}  // namespace

TForm1::TForm1(std::vector<std::string> args, std::unique_ptr<Prompts> prompts, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()), budget_(MachineCores()) {
    SetUpWidgets();
    // Nothing is loaded yet: the file name, scene, cupboard and poly list
    // start empty as members.
    prompts_ = prompts ? std::move(prompts)
                       : std::make_unique<DialogPrompts>(*this, *openDialog_, *saveDialog_);
    SetUpSinks();
    ScopedLogContext scope(context_);
    // "-b" keeps the log on whatever the box says, so that a script gets the
    // same on every machine; the box shows it, but that is not remembered.
    const QSettings settings(kSettingsOrganization, kSettingsApplication);
    const bool debugLog =
        AsksForUnattended(args) || settings.value(kDebugLogSetting, true).toBool();
    {
        const QSignalBlocker quiet(ui_->DebugLog);
        ui_->DebugLog->setChecked(debugLog);
    }
    if (debugLog) {
        OpenLogFile();
    }
    // The switches print on standard output even with the log off.
    CommandLineResult commandLine = EvaluateCommandLine(args);
    FlushLog();
    SetDebugLog(debugLog);
    startupExit_ = commandLine.exitStatus;
    unattended_ = std::move(commandLine.unattended);
    if (unattended_ && !startupExit_) {
        QTimer::singleShot(0, this, &TForm1::RunUnattended);
    }
}

TForm1::~TForm1() = default;

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
        this, [this](const std::string& path) { OpenThreeDo(path); }, [this] { return busy_; }));
}

void TForm1::SetUpSinks() {
    sinks_ = std::make_unique<WindowSinks>(
        *this, *ui_->Memo1,
        std::array<QLabel*, 5>{ui_->Panel_Depth, ui_->Panel_Polys, ui_->Panel_Splits,
                               ui_->Panel_ListSize, ui_->Panel_Nodes},
        *prompts_);
    context_.memo = &sinks_->memo();
    context_.counterSink = &sinks_->counters();
    context_.messageBox = &sinks_->messageBox();
    console_.Attach(stdout);
    context_.console = &console_;
    context_.stop = &stop_;
    context_.budget = &budget_;
}

void TForm1::OpenLogFile() {
    if (logFile_.Open(kLogFileName)) {
        context_.logFile = &logFile_;
    } else {
        // The rest of the program writes on; its log-file lines are dropped.
        LogMemoF("Could not create log file '%s'.", kLogFileName);
    }
}

// On: the log file, once OpenLogFile has emptied and opened it, takes the
// debug log, the dumps reach standard output, and the build counts every
// side for them. Off: nothing reaches either, and the build takes the
// headless tool's fast path (splitter search, conversion following the build).
void TForm1::SetDebugLog(bool on) {
    debugLog_ = on;
    if (on) {
        context_.console = &console_;
        return;
    }
    FlushLog();
    context_.logFile = nullptr;
    context_.console = nullptr;
    logFile_.Close();
}

void TForm1::DebugLogToggled(bool on) {
    if (busy_ || on == debugLog_) {
        return;
    }
    QSettings(kSettingsOrganization, kSettingsApplication).setValue(kDebugLogSetting, on);
    ScopedLogContext scope(context_);
    if (on) {
        OpenLogFile();
    }
    SetDebugLog(on);
}

void TForm1::ButtonStopClick() {
    if (busy_) {
        stop_.store(true);
    }
}

void TForm1::FlushLog() {
    logFile_.Flush();
    console_.Flush();
}

void TForm1::Button1Click() {
    if (busy_) {
        return;
    }
    ScopedLogContext scope(context_);
    BeginPick();
    const std::optional<std::string> path = prompts_->ChooseAseFile();
    if (path) {
        ImportFile(*path);
    }
    CloseIfAsked();
}

void TForm1::Button2Click() {
    if (busy_) {
        return;
    }
    if (debugLog_ && imported_ && imported_->polys.Count() > kDebugLogWarningPolys) {
        ScopedLogContext scope(context_);
        LogMemo(kDebugLogWarning);
    }
    Convert([this]() -> std::optional<std::string> {
        std::optional<std::string> path;
        RunOnThreadOf(*this, [this, &path] {
            // Show the finished build before asking where to save it.
            sinks_->Refresh();
            path = prompts_->Choose3doFile();
        });
        return path;
    });
    CloseIfAsked();
}

void TForm1::Button3Click() {
    TOKRightDlg dialog(this);
    dialog.exec();
}

void TForm1::Button4Click() {
    close();
}

void TForm1::Button5Click() {
    sinks_->ClearMemo();
}

void TForm1::Button6Click() {
    if (!previewScene_) {
        return;
    }
    EnsurePreview();
    ShowPreview();
}

void TForm1::EnsurePreview() {
    if (preview_) {
        return;
    }
    preview_ = std::make_unique<PreviewWindow>(this);
    connect(preview_.get(), &PreviewWindow::FileRejected, this, [this](const QString& message) {
        ScopedLogContext scope(context_);
        LogMemo(message.toStdString());
        sinks_->Refresh();
    });
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
        preview_->SetScene(previewScene_);
        preview_->SetRun(previewRun_);
    }
}

void TForm1::PickFile(const std::string& path) {
    if (busy_) {
        return;
    }
    ScopedLogContext scope(context_);
    BeginPick(path);
    ImportFile(path);
    CloseIfAsked();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && DroppedSceneFile(event->mimeData())) {
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

bool TForm1::ImportFile(const std::string& path) {
    ScopedLogContext scope(context_);
    fileName_ = path;
    std::optional<ImportedScene> result;
    RunWork([&result, &path] { result = ImportScene(path); });
    if (!result) {
        return false;
    }
    imported_ = std::move(result);
    previewScene_ = MakePreviewScene(*imported_);
    previewRun_.reset();
    ui_->Button6->setEnabled(true);
    ShowPreviewData();
    return true;
}

void TForm1::Convert(const ChooseSavePath& chooseSavePath) {
    ScopedLogContext scope(context_);
    ui_->Panel_Depth->setText("..");
    ui_->Panel_Polys->setText("..");
    if (!imported_) {
        lastReport_ = ConvertReport{};
        return;
    }
    auto run = std::make_shared<PreviewRun>();
    ConvertOptions options;
    options.plan = PlanBuild({.logFile = debugLog_,
                              .consoleDumps = debugLog_,
                              .readsTree = true,
                              .threads = budget_.threads()});
    options.afterBuild = [&run](const BSPNode& root) { run->tree = render::TakeBspSnapshot(root); };
    lastReport_ = ConvertReport{};
    statusBar()->clearMessage();
    RunWork([this, &chooseSavePath, &options] {
        lastReport_ =
            RunConversion(&imported_->polys, &imported_->cupboard, chooseSavePath, options);
    });
    if (lastReport_.status != ConvertStatus::NoPolyList) {
        statusBar()->showMessage(QString::fromStdString(FlatListsLine(lastReport_.flatLists)));
    }
    run->counters = context_.counters;
    run->saved = lastReport_.status == ConvertStatus::Saved;
    run->bytesWritten = lastReport_.bytesWritten;
    run->path = run->saved ? lastReport_.path : std::string();
    previewRun_ = std::move(run);
    if (preview_) {
        preview_->SetRun(previewRun_);
    }
}

void TForm1::RunUnattended() {
    const UnattendedJob job = *unattended_;
    bool saved = false;
    if (ImportFile(job.input) && !closeWhenIdle_) {
        Convert([&job] { return std::optional<std::string>(job.output); });
        saved = lastReport_.status == ConvertStatus::Saved;
    }
    if (!saved) {
        exitStatus_ = kExitFailed;
    }
    emit UnattendedFinished(saved);
    if (saved) {
        Button4Click();
    }
    CloseIfAsked();
}

void TForm1::RunWork(const std::function<void()>& work) {
    stop_.store(false);
    SetBusy(true);
    // One work at a time: its thread is one of the budget's, and the helpers
    // a compile starts share the rest.
    const auto holding = [this, &work] {
        const ThreadBudget::Grant own = budget_.Acquire();
        work();
    };
    const std::optional<std::string> failure =
        RunInBackground(context_, holding, [this] { sinks_->Refresh(); });
    FlushLog();
    // Whatever came last is what the panels and the memo must end on.
    sinks_->Refresh();
    SetBusy(false);
    if (failure) {
        prompts_->ShowMessage(*failure);
    }
}

void TForm1::SetBusy(bool busy) {
    busy_ = busy;
    ui_->Button1->setEnabled(!busy);
    ui_->Button2->setEnabled(!busy);
    ui_->ButtonStop->setEnabled(busy);
    ui_->DebugLog->setEnabled(!busy);
}

void TForm1::CloseIfAsked() {
    if (!closeWhenIdle_ || busy_) {
        return;
    }
    closeWhenIdle_ = false;
    // A window that Quit has hidden no longer ends the program by closing,
    // as the last visible window does: end it here.
    const bool hiddenByQuit = !isVisible();
    if (close() && hiddenByQuit) {
        QCoreApplication::quit();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // Quit stops the work: the window goes at once, and the program ends
        // when the work has reached its next check (CloseIfAsked).
        stop_.store(true);
        closeWhenIdle_ = true;
        if (preview_) {
            preview_->hide();
        }
        hide();
        event->ignore();
        return;
    }
    FlushLog();
    context_.logFile = nullptr;
    logFile_.Close();
    event->accept();
}

}  // namespace tarvel::app
