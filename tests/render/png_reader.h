#pragma once

// Decodes a PNG with libpng for the tests that check what was written.

#include <png.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvel::render::testing {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgba;
};

inline std::optional<Decoded> ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    Decoded out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.resize(static_cast<std::size_t>(out.width) * out.height);
    if (png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    return out;
}

}  // namespace tarvel::render::testing
