#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "cli/cli_log.h"

namespace tarvel::cli {

// Standard error and standard output shared by the compiles of a batch. Every
// write is of whole lines under one lock, so lines of different files never
// mix; the progress line, when there is one, is taken off before any other
// line is written and drawn again by the next Progress call.
class BatchTerminal {
  public:
    // showProgress: standard error is a terminal that can take a redrawn line.
    explicit BatchTerminal(bool showProgress) : showProgress_(showProgress) {}

    bool showsProgress() const { return showProgress_; }

    void ErrorLine(std::string_view line);
    // Whole lines for standard output: spooled console dumps, then the
    // file's summary, as one block.
    void Output(std::FILE* spool, std::string_view lines);

    // Draws text over the previous progress line.
    void Progress(std::string_view text);
    void ClearProgress();

  private:
    void ClearProgressLocked();

    std::mutex mutex_;
    const bool showProgress_;
    bool drawn_ = false;
};

// Memo lines and message boxes of one file of the batch, each line on
// standard error after a prefix naming the file.
class PrefixedMemoSink final : public LineMemoSink {
  public:
    PrefixedMemoSink(BatchTerminal& terminal, std::string prefix)
        : terminal_(terminal), prefix_(std::move(prefix)) {}

  protected:
    void WriteLine(std::string_view line) override;

  private:
    BatchTerminal& terminal_;
    std::string prefix_;
};

}  // namespace tarvel::cli
