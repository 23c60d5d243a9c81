#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "log/counters.h"

namespace tarvel {

// Where memo lines go: the desktop app's Memo1, standard error in the
// headless tool, a vector in tests. The parser trims the memo to its last
// lines, so a sink must be able to count and drop its first line.
class MemoSink {
  public:
    virtual ~MemoSink() = default;
    virtual void AppendLine(std::string_view line) = 0;
    virtual int LineCount() const = 0;
    virtual void DeleteFirstLine() = 0;
};

// A byte stream: the log file or standard output.
class TextSink {
  public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view text) = 0;
    virtual void Flush() {}
};

// Called after every counter change; a front end decides how often it shows them.
class CounterSink {
  public:
    virtual ~CounterSink() = default;
    virtual void CountersChanged(const Counters& counters) = 0;
};

// The modal message box. The core waits for it to return, then goes on.
class MessageBoxSink {
  public:
    virtual ~MessageBoxSink() = default;
    virtual void ShowMessage(std::string_view text) = 0;
};

// Memo lines kept in memory (tests, and front ends that show them later).
class VectorMemoSink final : public MemoSink {
  public:
    void AppendLine(std::string_view line) override { lines.emplace_back(line); }
    int LineCount() const override { return static_cast<int>(lines.size()); }
    void DeleteFirstLine() override;

    std::deque<std::string> lines;
};

// Text kept in memory.
class StringTextSink final : public TextSink {
  public:
    void Write(std::string_view text) override { text_.append(text); }
    const std::string& text() const { return text_; }
    void Clear() { text_.clear(); }

  private:
    std::string text_;
};

// Message boxes remembered in order (tests, and the headless tool's report).
class RecordingMessageBoxSink final : public MessageBoxSink {
  public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

}  // namespace tarvel
