#include "render/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/utf8_path.h"

namespace tarvel::render {

std::string WritePng(const std::string& path, const FrameBuffer& picture) {
    if (picture.width <= 0 || picture.height <= 0) {
        return "empty picture";
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    // The pixel words hold R, G, B, A in memory order on the little-endian
    // hosts the project builds for.
    // Opened here rather than by the library, which would take the name in
    // the ANSI code page on Windows.
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    const int ok = png_image_write_to_stdio(&image, file, 0, picture.colour.data(),
                                            static_cast<png_int_32>(picture.width * 4), nullptr);
    const bool closed = std::fclose(file) == 0;
    if (ok == 0 || !closed) {
        std::string message = ok == 0 ? image.message : "could not write the PNG";
        png_image_free(&image);
        std::error_code ignored;
        std::filesystem::remove(PathFromUtf8(path), ignored);  // no half a picture left behind
        return message.empty() ? "could not write the PNG" : message;
    }
    return {};
}

}  // namespace tarvel::render
