#pragma once

#include <cstddef>
#include <vector>

#include "render/colour.h"

namespace tarvel::render {

// The picture and its depth buffer. Depth holds 1/z (larger is nearer), so
// a cleared buffer of zeros is "infinitely far".
struct FrameBuffer {
    int width = 0;
    int height = 0;
    std::vector<Rgba> colour;
    std::vector<float> depth;

    // Keeps the allocation when the size does not change.
    void Resize(int w, int h) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        colour.resize(n);
        depth.resize(n);
    }
    Rgba At(int x, int y) const {
        return colour[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

}  // namespace tarvel::render
