#include <windows.h>

#include <cstdlib>

#include "driver/helper/fake_crash.h"

namespace tarvel::testing {

// Seen from the parent, a crashed process is one that ended with the
// exception's code. Ended so directly: a real fault under wine would first
// try to start wine's debugger, which takes longer than the tests' limits.
void Crash() {
    ::TerminateProcess(::GetCurrentProcess(), EXCEPTION_ACCESS_VIOLATION);
    std::abort();
}

}  // namespace tarvel::testing
