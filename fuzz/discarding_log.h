#pragma once

// A log for fuzzing: every sink is present, so the formatting behind each
// memo line, dump and message runs, but the text goes nowhere and a message
// box returns at once instead of waiting for someone to close it.

#include <string_view>

#include "log/log.h"

namespace tarvel::fuzz {

class DiscardingMemo final : public MemoSink {
  public:
    void AppendLine(std::string_view) override { ++lines_; }
    int LineCount() const override { return lines_; }
    void DeleteFirstLine() override {
        if (lines_ > 0) {
            --lines_;
        }
    }

  private:
    int lines_ = 0;
};

class DiscardingText final : public TextSink {
  public:
    void Write(std::string_view) override {}
};

class DiscardingMessageBox final : public MessageBoxSink {
  public:
    void ShowMessage(std::string_view) override {}
};

// Installs the discarding log on this thread for its lifetime.
class DiscardingLog {
  public:
    DiscardingLog() : scope_(Wire(context_, memo_, text_, box_)) {}

  private:
    static LogContext& Wire(LogContext& context, DiscardingMemo& memo, DiscardingText& text,
                            DiscardingMessageBox& box) {
        context.memo = &memo;
        context.logFile = &text;
        context.console = &text;
        context.messageBox = &box;
        return context;
    }

    DiscardingMemo memo_;
    DiscardingText text_;
    DiscardingMessageBox box_;
    LogContext context_;
    ScopedLogContext scope_;
};

}  // namespace tarvel::fuzz
