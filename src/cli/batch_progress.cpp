#include "cli/batch_progress.h"

#include <chrono>

#include "log/log.h"

namespace tarvel::cli {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr auto kRelaxed = std::memory_order_relaxed;
}  // namespace

void LiveCounters::CountersChanged(const Counters& c) {
    depth_.store(c.depth, kRelaxed);
    maxDepth_.store(c.maxDepth, kRelaxed);
    polysDone_.store(c.polysDone, kRelaxed);
    inputPolys_.store(c.inputPolys, kRelaxed);
    splitPolys_.store(c.splitPolys, kRelaxed);
    listSize_.store(c.listSize, kRelaxed);
    nodeCount_.store(c.nodeCount, kRelaxed);
}

Counters LiveCounters::Snapshot() const {
    Counters c;
    c.depth = depth_.load(kRelaxed);
    c.maxDepth = maxDepth_.load(kRelaxed);
    c.polysDone = polysDone_.load(kRelaxed);
    c.inputPolys = inputPolys_.load(kRelaxed);
    c.splitPolys = splitPolys_.load(kRelaxed);
    c.listSize = listSize_.load(kRelaxed);
    c.nodeCount = nodeCount_.load(kRelaxed);
    return c;
}

std::string ProgressItem(const std::string& name, const Counters& c) {
    return name + Format(" depth %d polys %d/%d nodes %d", c.depth, c.polysDone, c.inputPolys,
                         c.nodeCount);
}

std::string FitToWidth(std::string text, std::size_t width) {
    if (text.size() <= width) {
        return text;
    }
    std::size_t end = width;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

ProgressTicker::ProgressTicker(std::function<void()> draw)
    : draw_(std::move(draw)), thread_([this] { Run(); }) {}

ProgressTicker::~ProgressTicker() {
    Stop();
}

void ProgressTicker::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ProgressTicker::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        lock.unlock();
        draw_();
        lock.lock();
        wake_.wait_for(lock, kRedrawInterval, [this] { return stop_; });
    }
}

}  // namespace tarvel::cli
