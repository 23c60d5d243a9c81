#include "platform/sized_thread.h"

#include <windows.h>

namespace tarvel {

namespace {

struct Call {
    void (*body)(void*);
    void* arg;
};

DWORD WINAPI Enter(void* call) {
    const Call& c = *static_cast<Call*>(call);
    c.body(c.arg);
    return 0;
}

}  // namespace

// The size is reserved address space, committed page by page as the stack
// grows: without the flag Windows would commit all of it at the start.
bool RunOnThreadWithStack(void (*body)(void*), void* arg, std::size_t stackBytes) {
    Call call{body, arg};
    const HANDLE thread = ::CreateThread(nullptr, stackBytes, &Enter, &call,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        return false;
    }
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return true;
}

}  // namespace tarvel
