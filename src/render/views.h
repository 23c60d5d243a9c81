#pragma once

#include <optional>
#include <string_view>

#include "render/camera.h"

namespace tarvel::render {

// "iso", "top", "front", "side" (the right side), and the other axis views by
// name; nullopt for anything else.
std::optional<ViewAxis> ParseViewName(std::string_view name);

}  // namespace tarvel::render
