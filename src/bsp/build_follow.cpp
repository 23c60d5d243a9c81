#include "bsp/build_follow.h"

#include <chrono>
#include <thread>

namespace tarvel {

void BuildFollow::Publish(BSPNode& node) const {
    node.parts = PartsOf(node);
    node.published.store(true, std::memory_order_release);
}

void BuildFollow::Abandon() {
    abandoned_.store(true, std::memory_order_release);
}

void BuildFollow::Await(const BSPNode& node) const {
    // The follower converts a node in a fraction of the time the build takes
    // to make it, so it catches up often. Sleeping a millisecond each time
    // lets the build run ahead by some dozens of nodes, instead of waking the
    // follower for every one.
    while (!node.published.load(std::memory_order_acquire)) {
        if (abandoned_.load(std::memory_order_acquire)) {
            throw BuildAbandoned();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace tarvel
