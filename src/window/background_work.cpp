#include "window/background_work.h"

#include <exception>
#include <system_error>
#include <utility>

#include "driver/large_stack.h"

namespace tarvel::window {

namespace {

std::optional<std::string> RunCatching(LogContext& context, const std::function<void()>& work) {
    ScopedLogContext scope(context);
    try {
        RunOnLargeStack(work);
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return std::string("Unknown error");
    }
    return std::nullopt;
}

}  // namespace

BackgroundWork::BackgroundWork(LogContext& context, std::function<void()> work,
                               std::function<void()> tick)
    : context_(context), work_(std::move(work)), tick_(std::move(tick)) {
    try {
        worker_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to be had: do the work here, without live progress.
        Run();
        return;
    }
    try {
        ticker_ = std::thread([this] { Tick(); });
    } catch (const std::system_error&) {
        // The panels then catch up when the work ends.
    }
}

BackgroundWork::~BackgroundWork() {
    Join();
}

void BackgroundWork::Run() {
    std::optional<std::string> failure = RunCatching(context_, work_);
    {
        std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
        finished_ = true;
    }
    ended_.notify_all();
    tick_();
}

void BackgroundWork::Tick() {
    std::unique_lock lock(mutex_);
    while (!ended_.wait_for(lock, kRefreshInterval, [this] { return finished_; })) {
        lock.unlock();
        tick_();
        lock.lock();
    }
}

bool BackgroundWork::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

std::optional<std::string> BackgroundWork::Join() {
    if (worker_.joinable()) {
        worker_.join();
    }
    if (ticker_.joinable()) {
        ticker_.join();
    }
    std::lock_guard lock(mutex_);
    return failure_;
}

}  // namespace tarvel::window
