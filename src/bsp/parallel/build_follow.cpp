#include "bsp/parallel/build_follow.h"

namespace tarvel {

void BuildFollow::Publish(BSPNode& node) const {
    node.parts = PartsOf(node);
    node.published.store(true);
    if (awaited_.load() == &node) {
        Wake();
    }
}

void BuildFollow::Finish() const {
    Wake();
}

void BuildFollow::Abandon() {
    abandoned_.store(true, std::memory_order_release);
    Wake();
}

void BuildFollow::Wake() const {
    wakes_.fetch_add(1, std::memory_order_release);
    wakes_.notify_all();
}

void BuildFollow::Await(const BSPNode& node) const {
    if (node.published.load(std::memory_order_acquire)) {
        return;
    }
    // Sequentially consistent: either the build sees awaited_ set after it
    // published the node, or this thread sees the node published below.
    awaited_.store(&node);
    while (true) {
        // A wake after this load ends the wait below at once.
        const uint32_t seen = wakes_.load();
        if (node.published.load()) {
            return;
        }
        if (abandoned_.load(std::memory_order_acquire)) {
            throw BuildAbandoned();
        }
        wakes_.wait(seen, std::memory_order_acquire);
    }
}

}  // namespace tarvel
