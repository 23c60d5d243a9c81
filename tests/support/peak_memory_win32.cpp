#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "support/peak_memory.h"

namespace tarvel::testing {

long PeakResidentMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<long>(counters.PeakWorkingSetSize >> 20);
}

}  // namespace tarvel::testing
