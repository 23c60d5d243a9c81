#include "window/window_sinks.h"

#include <array>
#include <string>

namespace tarvel::window {

WindowSinks::WindowSinks(WindowView& view, Prompts& prompts, WindowThread& thread)
    : view_(view), prompts_(prompts), thread_(thread) {}

void WindowSinks::Refresh() {
    ShowMemoLines();
    ShowCounters();
}

void WindowSinks::ClearMemo() {
    queue_.Clear();
    view_.ClearMemo();
}

void WindowSinks::ShowMemoLines() {
    const MemoQueue::Batch batch = queue_.Take();
    if (batch.deleteFirst > 0) {
        view_.DeleteFirstMemoLines(batch.deleteFirst);
    }
    if (!batch.lines.empty()) {
        view_.AppendMemoLines(batch.lines);
    }
}

void WindowSinks::ShowCounters() {
    const std::optional<Counters> counters = mailbox_.Take();
    if (!counters) {
        return;
    }
    const std::array<std::string, kPanelCount> texts = PanelTexts(*counters);
    for (int i = 0; i < kPanelCount; ++i) {
        view_.SetPanelText(static_cast<Panel>(i), texts[static_cast<std::size_t>(i)]);
    }
}

void WindowSinks::MemoAdapter::AppendLine(std::string_view line) {
    sinks_.queue_.AppendLine(line);
    if (sinks_.thread_.OnWindowThread()) {
        sinks_.ShowMemoLines();
    }
}

void WindowSinks::MemoAdapter::DeleteFirstLine() {
    sinks_.queue_.DeleteFirstLine();
    if (sinks_.thread_.OnWindowThread()) {
        sinks_.ShowMemoLines();
    }
}

void WindowSinks::CounterAdapter::CountersChanged(const Counters& counters) {
    sinks_.mailbox_.CountersChanged(counters);
    if (sinks_.thread_.OnWindowThread()) {
        sinks_.ShowCounters();
    }
}

void WindowSinks::MessageBoxAdapter::ShowMessage(std::string_view text) {
    const std::string message(text);
    sinks_.thread_.Call([this, &message] {
        // Lines logged before the box should be visible while it is open.
        sinks_.Refresh();
        sinks_.prompts_.ShowMessage(message);
    });
}

}  // namespace tarvel::window
