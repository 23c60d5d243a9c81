#pragma once

// A window without a toolkit: keeps what the logic shows, and runs the
// window thread's queue (the wake-ups, calls from other threads) whenever
// a test lets its loop run.

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "window/window_logic.h"
#include "window/window_view.h"

namespace tarvel::window {

class FakeView final : public WindowView {
  public:
    // What a run before left of the check box; nullopt: a first start.
    explicit FakeView(std::optional<bool>& remembered) : remembered_(remembered) {}

    void Attach(WindowLogic& logic) { logic_ = &logic; }

    void SetPanelText(Panel panel, const std::string& text) override {
        panels[static_cast<std::size_t>(panel)] = text;
    }
    void AppendMemoLines(const std::vector<std::string>& lines) override {
        memo.insert(memo.end(), lines.begin(), lines.end());
    }
    void DeleteFirstMemoLines(int count) override {
        ASSERT_LE(count, static_cast<int>(memo.size()));
        memo.erase(memo.begin(), memo.begin() + count);
    }
    void ClearMemo() override { memo.clear(); }
    void SetEnabled(Control control, bool on) override { enabled[control] = on; }
    void SetDebugLogChecked(bool checked) override { debugLogChecked = checked; }
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowPreviewScene(std::shared_ptr<const PreviewScene>) override {}
    void ShowPreviewRun(std::shared_ptr<const PreviewRun>) override {}
    void OpenThreeDoFile(const std::string& path) override { openedThreeDo = path; }
    void HideWindow() override { visible = false; }
    void CloseWindow() override {
        if (logic_->CloseRequested()) {
            visible = false;
            closed = true;
        }
    }
    void UnattendedRunEnded(bool saved) override { unattendedSaved = saved; }
    bool RememberedDebugLog() override { return remembered_.value_or(true); }
    void RememberDebugLog(bool on) override { remembered_ = on; }
    void WakeWindowThread() override {
        Post([this] { logic_->Drain(); });
    }

    // Any thread: runs call on the window thread and waits for it.
    void CallOnWindowThread(const std::function<void()>& call) {
        bool done = false;
        Post([&] {
            call();
            std::lock_guard lock(mutex_);
            done = true;
            ranCall_.notify_all();
        });
        std::unique_lock lock(mutex_);
        ranCall_.wait(lock, [&] { return done; });
    }

    // The window's loop, until the logic is idle; false when it never is.
    bool RunUntilIdle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        while (logic_->Busy()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                    return false;
                }
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            task();
        }
        return true;
    }

    std::array<std::string, kPanelCount> panels{"0", "0", "0", "0", "0"};
    std::deque<std::string> memo;
    std::map<Control, bool> enabled;
    bool debugLogChecked = false;
    std::string status;
    bool visible = true;
    bool closed = false;
    std::optional<bool> unattendedSaved;
    std::string openedThreeDo;

  private:
    void Post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
        posted_.notify_all();
    }

    std::optional<bool>& remembered_;
    WindowLogic* logic_ = nullptr;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable ranCall_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace tarvel::window
