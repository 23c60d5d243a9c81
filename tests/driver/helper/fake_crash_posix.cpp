#include <csignal>
#include <cstdlib>

#include "driver/helper/fake_crash.h"

namespace tarvel::testing {

// A sanitizer's own handler would turn the signal into a report and exit 1.
void Crash() {
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
    std::abort();
}

}  // namespace tarvel::testing
