#pragma once

// The memo, counter and message-box sinks of the main window. Lines and
// counters written on the work's thread wait in a queue and a mailbox until
// the window's thread shows them (Refresh, about 30 times a second); written
// on the window's thread they show at once. A message box blocks the work
// until the person has closed it, as it blocks the core anyway.

#include "log/sinks.h"
#include "window/counter_mailbox.h"
#include "window/memo_queue.h"
#include "window/prompts.h"
#include "window/window_thread.h"
#include "window/window_view.h"

namespace tarvel::window {

class WindowSinks {
  public:
    WindowSinks(WindowView& view, Prompts& prompts, WindowThread& thread);
    WindowSinks(const WindowSinks&) = delete;
    WindowSinks& operator=(const WindowSinks&) = delete;

    MemoSink& memo() { return memoSink_; }
    CounterSink& counters() { return counterSink_; }
    MessageBoxSink& messageBox() { return messageBoxSink_; }

    // Window thread: shows the pending memo lines and the latest counters,
    // if any came since the last call.
    void Refresh();
    void ClearMemo();

  private:
    void ShowMemoLines();
    void ShowCounters();

    class MemoAdapter final : public MemoSink {
      public:
        explicit MemoAdapter(WindowSinks& sinks) : sinks_(sinks) {}
        void AppendLine(std::string_view line) override;
        int LineCount() const override { return sinks_.queue_.LineCount(); }
        void DeleteFirstLine() override;

      private:
        WindowSinks& sinks_;
    };

    class CounterAdapter final : public CounterSink {
      public:
        explicit CounterAdapter(WindowSinks& sinks) : sinks_(sinks) {}
        void CountersChanged(const Counters& counters) override;

      private:
        WindowSinks& sinks_;
    };

    class MessageBoxAdapter final : public MessageBoxSink {
      public:
        explicit MessageBoxAdapter(WindowSinks& sinks) : sinks_(sinks) {}
        void ShowMessage(std::string_view text) override;

      private:
        WindowSinks& sinks_;
    };

    WindowView& view_;
    Prompts& prompts_;
    WindowThread& thread_;
    MemoQueue queue_;
    CounterMailbox mailbox_;
    MemoAdapter memoSink_{*this};
    CounterAdapter counterSink_{*this};
    MessageBoxAdapter messageBoxSink_{*this};
};

}  // namespace tarvel::window
