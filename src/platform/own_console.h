#pragma once

namespace tarvel {

// Started from the file manager, the tool has a console window of its own
// that closes the moment it exits, taking the message with it. There, this
// waits for a key; in a console shared with a shell (and on systems whose
// terminals outlive their programs) it returns at once.
void KeepOwnConsoleOpen();

}  // namespace tarvel
