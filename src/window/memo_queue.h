#pragma once

// Memo lines written by the worker thread, waiting for the window. The
// worker never waits for the user-interface thread to show a line; the
// window takes what is pending a few dozen times a second. LineCount and
// DeleteFirstLine answer for the memo as it will look once everything
// pending is shown, which is what the parser's trim needs.

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "log/sinks.h"

namespace tarvel::window {

class MemoQueue final : public MemoSink {
  public:
    void AppendLine(std::string_view line) override;
    int LineCount() const override;
    void DeleteFirstLine() override;

    // What the memo widget has not seen yet: first drop its first
    // deleteFirst lines, then append the lines in order.
    struct Batch {
        int deleteFirst = 0;
        std::vector<std::string> lines;
        bool Empty() const { return deleteFirst == 0 && lines.empty(); }
    };
    Batch Take();

    // The widget was emptied: nothing shown, nothing pending.
    void Clear();

  private:
    mutable std::mutex mutex_;
    int shown_ = 0;  // lines in the widget once pendingDeletes_ are applied
    int pendingDeletes_ = 0;
    std::deque<std::string> pending_;
};

}  // namespace tarvel::window
