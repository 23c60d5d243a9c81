#include "platform/crash_dialogs.h"

namespace tarvel {

// Nothing here shows a dialog when a process crashes.
void SilenceCrashDialogs() {}

}  // namespace tarvel
