#pragma once

// The most memory this process has held at once, for tests that bound it.

namespace tarvel::testing {

// Peak resident set (working set on Windows) so far, in MiB.
long PeakResidentMiB();

}  // namespace tarvel::testing
