#pragma once

// SplitMix64: tiny, fast and fully specified, so a seed gives the same stream
// everywhere (unlike the standard distributions, whose output the library
// chooses).

#include <cstdint>
#include <string_view>

namespace tarvel::scenegen {

class SplitMix64 {
  public:
    explicit SplitMix64(uint64_t seed) : state_(seed) {}

    // An independent stream per scene part, so that changing how many trees
    // one size gets leaves the track of that seed alone.
    SplitMix64(uint64_t seed, std::string_view part) : state_(seed) {
        for (char c : part) {
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        }
        Next();
    }

    uint64_t Next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1) from the top 53 bits.
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

    // Uniform integer in [lo, hi]; hi - lo is small, so the modulo bias is nil
    // for all purposes here.
    int32_t IntRange(int32_t lo, int32_t hi) {
        const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo) + 1;
        return static_cast<int32_t>(lo + static_cast<int64_t>(Next() % span));
    }

  private:
    uint64_t state_;
};

}  // namespace tarvel::scenegen
