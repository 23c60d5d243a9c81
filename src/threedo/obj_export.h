#pragma once

// A 3DO file's polygons as a Wavefront OBJ with its material library: one
// face per polygon record in record order, with texture coordinates; one
// material per texture name (map_Kd: the name plus an extension) and one
// per colour word of the polygons without a texture.

#include <cstdint>
#include <string>

#include "threedo/record_polygons.h"

namespace tarvel {

enum class UpAxis { Z, Y };

struct ObjOptions {
    std::string textureExtension = "png";
    // Z keeps the coordinates as the file holds them; Y turns them for
    // modellers whose up axis is y: (x, y, z) becomes (x, z, -y).
    UpAxis up = UpAxis::Z;
};

struct ObjText {
    std::string obj;
    std::string mtl;
    int32_t faces = 0;
    int32_t materials = 0;
};

// mtlFileName is how the OBJ names its material library: the file name of
// the .mtl beside it.
ObjText MakeObj(const RecordMesh& mesh, const std::string& mtlFileName, const ObjOptions& options);

// Writes the .mtl, then the .obj, each replacing its file only once complete.
// Empty on success, otherwise what failed.
std::string SaveObj(const ObjText& text, const std::string& objPath, const std::string& mtlPath);

}  // namespace tarvel
