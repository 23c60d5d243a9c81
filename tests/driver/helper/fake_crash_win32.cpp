#include <windows.h>

#include <cstdlib>

#include "driver/helper/fake_crash.h"
#include "platform/crash_dialogs.h"

namespace tarvel::testing {

void Crash() {
    SilenceCrashDialogs();
    ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort();
}

}  // namespace tarvel::testing
