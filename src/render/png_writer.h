#pragma once

#include <string>

#include "render/frame_buffer.h"

namespace tarvel::render {

// Writes the picture as an 8-bit RGBA PNG. An empty result means success,
// otherwise it says what failed.
std::string WritePng(const std::string& path, const FrameBuffer& picture);

}  // namespace tarvel::render
