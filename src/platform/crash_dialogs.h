#pragma once

// A helper process that crashes must end quietly, for its parent to report:
// no error box, no crash-report window waiting for a click.

namespace tarvel {

void SilenceCrashDialogs();

}  // namespace tarvel
