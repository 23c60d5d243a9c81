#include "driver/large_stack.h"

#include <pthread.h>

#include <exception>

#include "log/log.h"

namespace tarvel {

namespace {

struct Job {
    const std::function<void()>* work;
    LogContext* context;
    std::exception_ptr error;
};

void* RunJob(void* arg) {
    Job& job = *static_cast<Job*>(arg);
    ScopedLogContext scope(*job.context);
    try {
        (*job.work)();
    } catch (...) {
        job.error = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void RunOnLargeStack(const std::function<void()>& work, std::size_t stackBytes) {
    Job job{&work, &CurrentLog(), nullptr};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    const int started = pthread_create(&thread, &attr, &RunJob, &job);
    pthread_attr_destroy(&attr);
    if (started != 0) {
        // No thread to be had: run here, on the caller's stack.
        work();
        return;
    }
    pthread_join(thread, nullptr);
    if (job.error) {
        std::rethrow_exception(job.error);
    }
}

}  // namespace tarvel
