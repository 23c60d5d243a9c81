#pragma once

// The window's thread as the work sees it. The work runs on a thread of its
// own, but a save dialog and a message box belong to the window: the work
// posts such a call, wakes the window's thread and waits for the answer;
// the window's thread runs it when the view has it drain. Wakes are
// coalesced, so a busy window never has more than one drain queued.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvel::window {

class WindowThread {
  public:
    // The thread that makes this is the window's; wake asks it to drain.
    explicit WindowThread(std::function<void()> wake);
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    bool OnWindowThread() const { return std::this_thread::get_id() == id_; }

    // Runs call on the window's thread and waits for it; at once when already
    // there. False, without running it, once the window is going.
    bool Call(const std::function<void()>& call);

    // Any thread: asks for a drain unless one is asked for already.
    void Wake();
    // Window thread, at the start of a drain: the next Wake asks again.
    void Woken() { wakePending_.store(false); }
    // Window thread: runs the calls waiting, in order.
    void RunPending();
    // The window is going: calls waiting and to come return unrun.
    void Shutdown();

  private:
    struct Request {
        const std::function<void()>* call;
        bool done = false;
        bool ran = false;
    };

    std::function<void()> wake_;
    std::thread::id id_;
    std::atomic<bool> wakePending_{false};
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<Request*> pending_;
    bool shutdown_ = false;
};

}  // namespace tarvel::window
