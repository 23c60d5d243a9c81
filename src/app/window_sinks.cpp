#include "app/window_sinks.h"

#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>

namespace tarvel::app {

namespace {

int MemoLines(const QPlainTextEdit& memo) {
    const QTextDocument& doc = *memo.document();
    // An empty document still holds one empty block.
    return doc.isEmpty() ? 0 : doc.blockCount();
}

void DeleteFirstLines(QPlainTextEdit& memo, int count) {
    if (count <= 0) {
        return;
    }
    if (count >= MemoLines(memo)) {
        memo.clear();
        return;
    }
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
    cursor.removeSelectedText();
}

}  // namespace

void RunOnThreadOf(QObject& owner, const std::function<void()>& call) {
    if (QThread::currentThread() == owner.thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(&owner, call, Qt::BlockingQueuedConnection);
}

WindowSinks::WindowSinks(QObject& owner, QPlainTextEdit& memo, std::array<QLabel*, 5> panels,
                         Prompts& prompts)
    : owner_(owner), memoWidget_(memo), panels_(panels), prompts_(&prompts) {}

bool WindowSinks::OnOwnerThread() const {
    return QThread::currentThread() == owner_.thread();
}

void WindowSinks::Refresh() {
    ShowMemoLines();
    ShowCounters();
}

void WindowSinks::ClearMemo() {
    queue_.Clear();
    memoWidget_.clear();
}

void WindowSinks::ShowMemoLines() {
    MemoQueue::Batch batch = queue_.Take();
    if (batch.Empty()) {
        return;
    }
    DeleteFirstLines(memoWidget_, batch.deleteFirst);
    if (batch.lines.empty()) {
        return;
    }
    QString text;
    for (std::size_t i = 0; i < batch.lines.size(); ++i) {
        if (i > 0) {
            text += QChar('\n');
        }
        text += QString::fromStdString(batch.lines[i]);
    }
    // One call for the whole batch: appending line by line costs a layout each.
    memoWidget_.appendPlainText(text);
}

void WindowSinks::ShowCounters() {
    const std::optional<Counters> counters = mailbox_.Take();
    if (!counters) {
        return;
    }
    const std::array<std::string, 5> texts = PanelTexts(*counters);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->setText(QString::fromStdString(texts[i]));
    }
}

void WindowSinks::MemoAdapter::AppendLine(std::string_view line) {
    sinks_.queue_.AppendLine(line);
    if (sinks_.OnOwnerThread()) {
        sinks_.ShowMemoLines();
    }
}

void WindowSinks::MemoAdapter::DeleteFirstLine() {
    sinks_.queue_.DeleteFirstLine();
    if (sinks_.OnOwnerThread()) {
        sinks_.ShowMemoLines();
    }
}

void WindowSinks::CounterAdapter::CountersChanged(const Counters& counters) {
    sinks_.mailbox_.CountersChanged(counters);
    if (sinks_.OnOwnerThread()) {
        sinks_.ShowCounters();
    }
}

void WindowSinks::MessageBoxAdapter::ShowMessage(std::string_view text) {
    const std::string message(text);
    RunOnThreadOf(sinks_.owner_, [this, &message] {
        // Lines logged before the box should be visible while it is open.
        sinks_.Refresh();
        sinks_.prompts_->ShowMessage(message);
    });
}

}  // namespace tarvel::app
