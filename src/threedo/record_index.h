#pragma once

// The hash index behind a pool's searches: open addressing over record
// positions only. A lookup probes one array and compares keys through the
// pool's own records; the whole index is one allocation, so even a pool of
// a million records is freed at once.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvel {

class RecordIndex {
  public:
    // Components as bit patterns (see ZertexList).
    using Key = std::array<uint64_t, 4>;

    // The position stored under key, or -1. keyAt(position) gives the key of
    // a stored position.
    template <typename KeyAt>
    int32_t Find(const Key& key, const KeyAt& keyAt) const {
        if (slots_.empty()) {
            return -1;
        }
        for (std::size_t s = Hash(key) & Mask();; s = (s + 1) & Mask()) {
            const int32_t position = slots_[s];
            if (position < 0) {
                return -1;
            }
            if (keyAt(position) == key) {
                return position;
            }
        }
    }

    // Stores position under key unless the key is there already: the first
    // position added for a key stays, as the first match of a scan would.
    template <typename KeyAt>
    void AddIfAbsent(const Key& key, int32_t position, const KeyAt& keyAt) {
        if (2 * (used_ + 1) > slots_.size()) {
            Grow(keyAt);
        }
        std::size_t s = Hash(key) & Mask();
        for (; slots_[s] >= 0; s = (s + 1) & Mask()) {
            if (keyAt(slots_[s]) == key) {
                return;
            }
        }
        slots_[s] = position;
        ++used_;
    }

  private:
    static std::size_t Hash(const Key& key);
    std::size_t Mask() const { return slots_.size() - 1; }

    // Twice the room (a power of two, at least 16), every stored key placed
    // again; they are all distinct, so their order does not matter.
    template <typename KeyAt>
    void Grow(const KeyAt& keyAt) {
        std::vector<int32_t> old(std::max<std::size_t>(16, 2 * slots_.size()), -1);
        old.swap(slots_);
        for (const int32_t position : old) {
            if (position >= 0) {
                std::size_t s = Hash(keyAt(position)) & Mask();
                while (slots_[s] >= 0) {
                    s = (s + 1) & Mask();
                }
                slots_[s] = position;
            }
        }
    }

    std::vector<int32_t> slots_;  // positions; -1 for an empty slot
    std::size_t used_ = 0;
};

}  // namespace tarvel
