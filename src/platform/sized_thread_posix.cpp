#include "platform/sized_thread.h"

#include <pthread.h>

namespace tarvel {

namespace {

struct Call {
    void (*body)(void*);
    void* arg;
};

void* Enter(void* call) {
    const Call& c = *static_cast<Call*>(call);
    c.body(c.arg);
    return nullptr;
}

}  // namespace

bool RunOnThreadWithStack(void (*body)(void*), void* arg, std::size_t stackBytes) {
    Call call{body, arg};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    const int started = pthread_create(&thread, &attr, &Enter, &call);
    pthread_attr_destroy(&attr);
    if (started != 0) {
        return false;
    }
    pthread_join(thread, nullptr);
    return true;
}

}  // namespace tarvel
