#pragma once

// The scene the importer helper sends back over its pipe, and the byte form
// it travels in. The helper runs a third-party library on untrusted files, so
// the parent trusts nothing it receives: DecodeScene checks every count
// against the bytes that remain and every index against its list before a
// single record is used.
//
// Layout, all integers little-endian uint32, all floats IEEE single:
//   "TVSCENE1"
//   up axis (0: z-up, 1: y-up)
//   material count, then per material: r, g, b, name length, name bytes
//   object count, then per object:
//     material index (0xFFFFFFFF: none)
//     vertex count, then x, y, z per vertex
//     uv count (0 or the vertex count), then u, v per vertex
//     triangle count, then three vertex indices per triangle
//   "END."
// A helper that fails sends "TVERROR1", a length and that many bytes of text.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ase/scene.h"

namespace tarvel::import {

enum class UpAxis : uint32_t { Z = 0, Y = 1 };

inline constexpr uint32_t kNoMaterial = 0xFFFFFFFFu;
// Longer texture or material names are cut by the helper; the parent rejects
// them, so a hostile count cannot make it allocate much.
inline constexpr uint32_t kMaxWireName = 4096;

struct WireMaterial {
    Colour colour;
    std::string bitmap;  // already chosen: texture file name, material name or "clipper"
};

struct WireObject {
    uint32_t material = kNoMaterial;
    std::vector<std::array<float, 3>> positions;  // world space
    std::vector<std::array<float, 2>> uvs;        // empty or one per position
    std::vector<std::array<uint32_t, 3>> triangles;
};

struct WireScene {
    UpAxis up = UpAxis::Z;
    std::vector<WireMaterial> materials;
    std::vector<WireObject> objects;
};

std::string EncodeScene(const WireScene& scene);
std::string EncodeFailure(std::string_view message);

// What the helper's output says: a scene, the helper's own failure message,
// or neither (then `malformed` says what is wrong with the bytes).
struct DecodedOutput {
    std::optional<WireScene> scene;
    std::optional<std::string> failure;
    std::string malformed;
};

DecodedOutput DecodeOutput(std::string_view bytes);

}  // namespace tarvel::import
