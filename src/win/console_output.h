#pragma once

// A GUI program has no console of its own: what it prints for "-h" and "-b"
// goes to the console it was started from, or to wherever its standard
// output was redirected.

namespace tarvel::win {

// Before anything is written to standard output.
void ConnectStandardOutput();

}  // namespace tarvel::win
