#pragma once

// The memo, counter and message-box sinks of the main window. The work runs
// on a worker thread (background_job.h): memo lines and counters are queued
// and shown by Refresh on the user-interface thread; a message box blocks the
// worker until the person has closed it, as it blocks the core anyway.

#include <array>
#include <functional>

#include "app/counter_mailbox.h"
#include "app/memo_queue.h"
#include "app/prompts.h"
#include "log/sinks.h"

class QLabel;
class QObject;
class QPlainTextEdit;

namespace tarvel::app {

// Runs call on the thread of owner and waits for it; runs it at once when
// already there.
void RunOnThreadOf(QObject& owner, const std::function<void()>& call);

class WindowSinks {
  public:
    // Panels in the order of PanelTexts.
    WindowSinks(QObject& owner, QPlainTextEdit& memo, std::array<QLabel*, 5> panels,
                Prompts& prompts);
    WindowSinks(const WindowSinks&) = delete;
    WindowSinks& operator=(const WindowSinks&) = delete;

    MemoSink& memo() { return memoSink_; }
    CounterSink& counters() { return counterSink_; }
    MessageBoxSink& messageBox() { return messageBoxSink_; }

    // User-interface thread: shows the pending memo lines and the latest
    // counters, if any came since the last call.
    void Refresh();
    void ClearMemo();
    void SetPrompts(Prompts& prompts) { prompts_ = &prompts; }

  private:
    bool OnOwnerThread() const;
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

    QObject& owner_;
    QPlainTextEdit& memoWidget_;
    std::array<QLabel*, 5> panels_;
    Prompts* prompts_;
    MemoQueue queue_;
    CounterMailbox mailbox_;
    MemoAdapter memoSink_{*this};
    CounterAdapter counterSink_{*this};
    MessageBoxAdapter messageBoxSink_{*this};
};

}  // namespace tarvel::app
