#include "driver/large_stack.h"

#include <exception>

#include "log/log.h"
#include "platform/sized_thread.h"

namespace tarvel {

namespace {

struct Job {
    const std::function<void()>* work;
    LogContext* context;
    std::exception_ptr error;
};

void RunJob(void* arg) {
    Job& job = *static_cast<Job*>(arg);
    ScopedLogContext scope(*job.context);
    try {
        (*job.work)();
    } catch (...) {
        job.error = std::current_exception();
    }
}

}  // namespace

void RunOnLargeStack(const std::function<void()>& work, std::size_t stackBytes) {
    Job job{&work, &CurrentLog(), nullptr};
    if (!RunOnThreadWithStack(&RunJob, &job, stackBytes)) {
        // No thread to be had: run here, on the caller's stack.
        work();
        return;
    }
    if (job.error) {
        std::rethrow_exception(job.error);
    }
}

}  // namespace tarvel
