#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "log/sinks.h"

namespace tarvel::cli {

// The counters of one running compile, written by its thread and read by the
// progress display at any time. Each field is exact; a snapshot taken while
// the compile runs may mix fields of neighbouring updates, which a display
// can live with.
class LiveCounters final : public CounterSink {
  public:
    void CountersChanged(const Counters& counters) override;
    Counters Snapshot() const;

  private:
    std::atomic<int32_t> depth_{0}, maxDepth_{0}, polysDone_{0}, inputPolys_{0}, splitPolys_{0},
        listSize_{0}, nodeCount_{0};
};

// "name depth 12 polys 3400/9000 nodes 812"
std::string ProgressItem(const std::string& name, const Counters& counters);

// Cuts text to at most width bytes without splitting a UTF-8 character.
std::string FitToWidth(std::string text, std::size_t width);

// Calls draw about ten times a second on a thread of its own until stopped
// (or destroyed), and once at once.
class ProgressTicker {
  public:
    explicit ProgressTicker(std::function<void()> draw);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

    void Stop();

  private:
    void Run();

    std::function<void()> draw_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tarvel::cli
