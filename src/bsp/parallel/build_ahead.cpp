#include "bsp/parallel/build_ahead.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "log/log.h"
#include "log/sinks.h"

namespace tarvel {

namespace {

// The memo lines and message boxes of a subtree built ahead, in the order
// they came.
class RecordedLines final : public MemoSink, public MessageBoxSink {
  public:
    explicit RecordedLines(std::vector<BuiltAhead::Line>& lines) : lines_(lines) {}

    void AppendLine(std::string_view line) override {
        lines_.push_back(BuiltAhead::Line{false, std::string(line)});
    }
    int LineCount() const override { return static_cast<int>(lines_.size()); }
    // The owner's memo trims itself when the lines are said there.
    void DeleteFirstLine() override {}
    void ShowMessage(std::string_view text) override {
        lines_.push_back(BuiltAhead::Line{true, std::string(text)});
    }

  private:
    std::vector<BuiltAhead::Line>& lines_;
};

}  // namespace

BuildAhead::Queue::Queue(BuildAhead& crew, int thread, Job* building)
    : crew_(crew), thread_(thread), building_(building) {
    const std::lock_guard lock(crew_.mutex_);
    crew_.open_[thread].push_back(this);
    if (building_ != nullptr) {
        building_->queue = this;
    }
}

BuildAhead::Queue::~Queue() {
    crew_.Close(*this);
}

void BuildAhead::Close(Queue& queue) {
    const std::lock_guard lock(mutex_);
    std::vector<Queue*>& open = open_[queue.thread_];
    // The innermost, unless a throw unwinds several.
    const auto it = std::find(open.rbegin(), open.rend(), &queue);
    open.erase(std::next(it).base());
    if (queue.building_ != nullptr) {
        queue.building_->queue = nullptr;
    }
    // Left only when the subtree's build threw: nobody takes them now.
    for (const Job* job : queue.waiting_) {
        jobs_.erase(job->node);
    }
}

BuildAhead::BuildAhead(BuildSubtree build, ThreadBudget* budget)
    : build_(std::move(build)),
      budget_(budget),
      userStop_(CurrentLog().stop),
      helper_([this] { Run(); }) {}

BuildAhead::~BuildAhead() {
    abandoned_.store(true);
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    helper_.join();
}

BuildAhead::Queue BuildAhead::OpenTree() {
    return Queue(*this, kBuildThread, nullptr);
}

void BuildAhead::Queue::Submit(BSPNode& node, PrevCounts prev, std::vector<SearchMemo> memos) {
    {
        const std::lock_guard lock(crew_.mutex_);
        Job& job = crew_.jobs_[&node];
        job = Job{};
        job.node = &node;
        job.start = Start{prev, std::move(memos)};
        waiting_.push_back(&job);
        ++crew_.submitted_;
    }
    crew_.changed_.notify_all();
}

std::optional<BuiltAhead> BuildAhead::Queue::Take(BSPNode& node) {
    std::unique_lock lock(crew_.mutex_);
    const auto it = crew_.jobs_.find(&node);
    if (it == crew_.jobs_.end()) {
        return std::nullopt;
    }
    // Jobs are erased only by their owner, here, so the reference stays.
    Job& job = it->second;
    if (job.thread < 0) {
        // Usually the latest queued: search from the end.
        waiting_.erase(std::next(std::find(waiting_.rbegin(), waiting_.rend(), &job)).base());
        crew_.jobs_.erase(it);
        return std::nullopt;
    }
    while (!job.done) {
        if (Job* inside = crew_.Steal(job.thread, &job, std::numeric_limits<std::size_t>::max())) {
            crew_.Work(lock, thread_, *inside);
        } else {
            crew_.changed_.wait(lock);
        }
    }
    Job taken = std::move(job);
    crew_.jobs_.erase(&node);
    crew_.ahead_ -= taken.ahead;
    lock.unlock();
    if (taken.ahead > 0) {
        // Room for the helper to take on more.
        crew_.changed_.notify_all();
    }
    if (taken.error) {
        std::rethrow_exception(taken.error);
    }
    return std::move(taken.built);
}

BuildAhead::Job* BuildAhead::Steal(int thread, const Job* building, std::size_t most) {
    const std::vector<Queue*>& open = open_[thread];
    auto from = open.begin();
    if (building != nullptr) {
        from = std::find(open.begin(), open.end(), building->queue);
    }
    for (auto it = from; it != open.end(); ++it) {
        std::deque<Job*>& waiting = (*it)->waiting_;
        const auto fits = std::find_if(waiting.begin(), waiting.end(),
                                       [most](const Job* job) { return Fits(job, most); });
        if (fits != waiting.end()) {
            Job* job = *fits;
            waiting.erase(fits);
            return job;
        }
    }
    return nullptr;
}

void BuildAhead::Run() {
    std::unique_lock lock(mutex_);
    const auto room = [this] { return kMaxAheadPolys - std::min(ahead_, kMaxAheadPolys); };
    // Whether Steal would find one. The latest queued are the smallest.
    const auto queued = [&] {
        const std::size_t most = room();
        for (const Queue* queue : open_[kBuildThread]) {
            const auto& waiting = queue->waiting_;
            if (std::any_of(waiting.rbegin(), waiting.rend(),
                            [most](const Job* job) { return Fits(job, most); })) {
                return true;
            }
        }
        return false;
    };
    // Whether the helper was refused a thread, and at which submission.
    bool refused = false;
    std::size_t refusedAt = 0;
    while (true) {
        changed_.wait(
            lock, [&] { return stopping_ || (queued() && (!refused || refusedAt != submitted_)); });
        if (stopping_) {
            return;
        }
        // Held while the build has nodes queued: its own shared-out loops
        // get the thread back once the helper has nothing left to build.
        ThreadBudget::Grant thread;
        if (budget_ != nullptr) {
            thread = budget_->TryAcquire(1);
            refused = thread.count() == 0;
            refusedAt = submitted_;
            if (refused) {
                continue;
            }
        }
        while (!stopping_) {
            Job* job = Steal(kBuildThread, nullptr, room());
            if (job == nullptr) {
                break;
            }
            job->ahead = job->node->polys.items.size();
            ahead_ += job->ahead;
            Work(lock, kHelperThread, *job);
        }
    }
}

void BuildAhead::Work(std::unique_lock<std::mutex>& lock, int thread, Job& job) {
    job.thread = thread;
    lock.unlock();
    BuildOne(thread, job);
    lock.lock();
    job.done = true;
    changed_.notify_all();
}

// Until the job is done only this thread touches its node and its record.
void BuildAhead::BuildOne(int thread, Job& job) {
    Queue queue(*this, thread, &job);
    BuiltAhead& built = job.built;
    RecordedLines lines(built.lines);
    LogContext held;
    held.memo = &lines;
    held.messageBox = &lines;
    held.stop = userStop_;
    held.abandoned = &abandoned_;
    held.budget = budget_;
    try {
        const ScopedLogContext scope(held);
        built.flats = build_(*job.node, job.start, queue, built.finished);
    } catch (...) {
        job.error = std::current_exception();
    }
    built.counters = held.counters;
}

}  // namespace tarvel
