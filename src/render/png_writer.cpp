#include "render/png_writer.h"

#include <png.h>

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
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, picture.colour.data(),
                                           static_cast<png_int_32>(picture.width * 4), nullptr);
    if (ok == 0) {
        std::string message = image.message;
        png_image_free(&image);
        return message.empty() ? "could not write the PNG" : message;
    }
    return {};
}

}  // namespace tarvel::render
