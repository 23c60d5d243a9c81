#include "window/memo_queue.h"

namespace tarvel::window {

void MemoQueue::AppendLine(std::string_view line) {
    std::lock_guard lock(mutex_);
    pending_.emplace_back(line);
}

int MemoQueue::LineCount() const {
    std::lock_guard lock(mutex_);
    return shown_ + static_cast<int>(pending_.size());
}

void MemoQueue::DeleteFirstLine() {
    std::lock_guard lock(mutex_);
    if (shown_ > 0) {
        --shown_;
        ++pendingDeletes_;
    } else if (!pending_.empty()) {
        // Never shown: the widget need not hear of it.
        pending_.pop_front();
    }
}

MemoQueue::Batch MemoQueue::Take() {
    std::lock_guard lock(mutex_);
    Batch batch;
    batch.deleteFirst = pendingDeletes_;
    batch.lines.assign(std::make_move_iterator(pending_.begin()),
                       std::make_move_iterator(pending_.end()));
    shown_ += static_cast<int>(pending_.size());
    pendingDeletes_ = 0;
    pending_.clear();
    return batch;
}

void MemoQueue::Clear() {
    std::lock_guard lock(mutex_);
    shown_ = 0;
    pendingDeletes_ = 0;
    pending_.clear();
}

}  // namespace tarvel::window
