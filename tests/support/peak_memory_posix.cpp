#include <sys/resource.h>

#include "support/peak_memory.h"

namespace tarvel::testing {

long PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // in KiB here
}

}  // namespace tarvel::testing
