#pragma once

// What the window remembers between runs, under
// HKEY_CURRENT_USER\Software\Tarvel.

namespace tarvel::win {

// fallback when the value was never written or cannot be read.
bool RememberedFlag(const wchar_t* name, bool fallback);
// A failed write only costs the next start its memory.
void RememberFlag(const wchar_t* name, bool on);

}  // namespace tarvel::win
