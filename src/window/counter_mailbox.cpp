#include "window/counter_mailbox.h"

#include "log/log.h"

namespace tarvel::window {

void CounterMailbox::CountersChanged(const Counters& counters) {
    std::lock_guard lock(mutex_);
    latest_ = counters;
    fresh_ = true;
}

std::optional<Counters> CounterMailbox::Take() {
    std::lock_guard lock(mutex_);
    if (!fresh_) {
        return std::nullopt;
    }
    fresh_ = false;
    return latest_;
}

std::array<std::string, 5> PanelTexts(const Counters& c) {
    return {Format("%d (max. %d)", c.depth, c.maxDepth), Format("%d/%d", c.polysDone, c.inputPolys),
            Format("%d", c.splitPolys), Format("%d", c.listSize), Format("%d", c.nodeCount)};
}

}  // namespace tarvel::window
