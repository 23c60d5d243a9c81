#include "threedo/record_index.h"

namespace tarvel {

namespace {

uint64_t Mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

}  // namespace

std::size_t RecordIndex::Hash(const Key& key) {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (const uint64_t word : key) {
        h = Mix(h ^ word);
    }
    return static_cast<std::size_t>(h);
}

}  // namespace tarvel
