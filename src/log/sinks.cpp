#include "log/sinks.h"

namespace tarvel {

void VectorMemoSink::DeleteFirstLine() {
    if (!lines.empty()) {
        lines.pop_front();
    }
}

}  // namespace tarvel
