#pragma once

// The long work of a click (parse, BSP build, conversion, save) on a thread
// of its own, so that the window's thread stays free to paint and to answer
// Stop and Quit. The work gets a stack sized for the recursive walks over a
// degenerate tree, and the window's log context.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "log/log.h"

namespace tarvel::window {

// About 30 refreshes a second.
inline constexpr std::chrono::milliseconds kRefreshInterval{33};

class BackgroundWork {
  public:
    // Starts work. tick is called, from other threads, about every
    // kRefreshInterval while it runs and once when it has ended.
    BackgroundWork(LogContext& context, std::function<void()> work, std::function<void()> tick);
    // Waits for the work.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    bool Finished() const;
    // Waits for the work; the text of an exception that escaped it, if any.
    std::optional<std::string> Join();

  private:
    void Run();
    void Tick();

    LogContext& context_;
    std::function<void()> work_;
    std::function<void()> tick_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = false;
    std::optional<std::string> failure_;
    std::thread worker_;
    std::thread ticker_;
};

}  // namespace tarvel::window
