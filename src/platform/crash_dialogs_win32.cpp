#include "platform/crash_dialogs.h"

#include <windows.h>

namespace tarvel {

void SilenceCrashDialogs() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

}  // namespace tarvel
