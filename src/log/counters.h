#pragma once

#include <cstdint>

namespace tarvel {

// The seven progress counters of one compile. They are signed 32-bit, like the
// panels that show them; the builder advances them and never resets them.
struct Counters {
    int32_t depth = 0;
    int32_t maxDepth = 0;
    int32_t polysDone = 0;
    int32_t inputPolys = 0;
    int32_t splitPolys = 0;
    int32_t listSize = 0;
    int32_t nodeCount = 0;

    void Reset() { *this = Counters{}; }
    bool operator==(const Counters&) const = default;
};

}  // namespace tarvel
