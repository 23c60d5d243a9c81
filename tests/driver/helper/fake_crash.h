#pragma once

namespace tarvel::testing {

// Ends the program as a fault would, the way this system reports one to the
// parent; shows nothing on the screen.
[[noreturn]] void Crash();

}  // namespace tarvel::testing
