#include "window/window_thread.h"

#include <utility>

namespace tarvel::window {

WindowThread::WindowThread(std::function<void()> wake)
    : wake_(std::move(wake)), id_(std::this_thread::get_id()) {}

bool WindowThread::Call(const std::function<void()>& call) {
    if (OnWindowThread()) {
        call();
        return true;
    }
    Request request{&call};
    {
        std::lock_guard lock(mutex_);
        if (shutdown_) {
            return false;
        }
        pending_.push_back(&request);
    }
    Wake();
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&request] { return request.done; });
    return request.ran;
}

void WindowThread::Wake() {
    if (!wakePending_.exchange(true)) {
        wake_();
    }
}

void WindowThread::RunPending() {
    for (;;) {
        Request* request = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return;
            }
            request = pending_.front();
            pending_.pop_front();
        }
        // Unlocked: a dialog runs a loop of its own, which may drain again.
        (*request->call)();
        std::lock_guard lock(mutex_);
        request->done = true;
        request->ran = true;
        answered_.notify_all();
    }
}

void WindowThread::Shutdown() {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
    for (Request* request : pending_) {
        request->done = true;
    }
    pending_.clear();
    answered_.notify_all();
}

}  // namespace tarvel::window
