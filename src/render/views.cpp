#include "render/views.h"

#include <array>
#include <utility>

namespace tarvel::render {

std::optional<ViewAxis> ParseViewName(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, ViewAxis>, 8> kNames{{
        {"iso", ViewAxis::Iso},
        {"top", ViewAxis::Top},
        {"bottom", ViewAxis::Bottom},
        {"front", ViewAxis::Front},
        {"back", ViewAxis::Back},
        {"side", ViewAxis::Right},
        {"right", ViewAxis::Right},
        {"left", ViewAxis::Left},
    }};
    for (const auto& [text, axis] : kNames) {
        if (text == name) {
            return axis;
        }
    }
    return std::nullopt;
}

}  // namespace tarvel::render
