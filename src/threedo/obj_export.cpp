#include "threedo/obj_export.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/printf_format.h"
#include "threedo/atomic_file.h"

namespace tarvel {

namespace {

// Appends printf-style; nine significant digits give every float back exactly.
void Append(std::string& out, const char* format, ...) TARVEL_PRINTF(2, 3);
void Append(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) {
        out.append(line, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 1));
    }
}

// Material names are single words in an OBJ: blanks become underscores, and
// a name already taken gets a number.
class MaterialNames {
  public:
    std::string Take(const std::string& wanted) {
        std::string base = wanted.empty() ? "unnamed" : wanted;
        for (char& c : base) {
            if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                c = '_';
            }
        }
        std::string name = base;
        for (int n = 2; !used_.insert(name).second; ++n) {
            name = base + "_" + std::to_string(n);
        }
        return name;
    }

  private:
    std::set<std::string> used_;
};

struct Material {
    std::string name;
    uint32_t col = 0;
    std::string map;  // empty for a colour-only material
};

// The materials in order of first use and, per polygon, its material's index.
class MaterialTable {
  public:
    MaterialTable(const RecordMesh& mesh, const std::string& extension) {
        std::vector<int32_t> ofTexture(mesh.textures.size(), -1);
        std::map<uint32_t, int32_t> ofColour;
        for (const RecordPolygon& polygon : mesh.polygons) {
            int32_t* slot = polygon.texture >= 0
                                ? &ofTexture[static_cast<std::size_t>(polygon.texture)]
                                : &ofColour.try_emplace(polygon.col, -1).first->second;
            if (*slot < 0) {
                *slot = static_cast<int32_t>(materials.size());
                materials.push_back(polygon.texture >= 0 ? Textured(mesh, polygon, extension)
                                                         : ColourOnly(polygon.col));
            }
            ofPolygon.push_back(*slot);
        }
    }

    std::vector<Material> materials;
    std::vector<int32_t> ofPolygon;

  private:
    Material Textured(const RecordMesh& mesh, const RecordPolygon& polygon,
                      const std::string& extension) {
        const std::string& texture = mesh.textures[static_cast<std::size_t>(polygon.texture)];
        return Material{names_.Take(texture), polygon.col,
                        extension.empty() ? texture : texture + "." + extension};
    }
    Material ColourOnly(uint32_t col) {
        char name[32];
        std::snprintf(name, sizeof name, "colour_%08X", col);
        return Material{names_.Take(name), col, {}};
    }

    MaterialNames names_;
};

std::string MakeMtl(const std::vector<Material>& materials) {
    std::string mtl = "# material library written by tarvel-cli export\n";
    for (const Material& m : materials) {
        // Red lies in the lowest byte of the colour word.
        Append(mtl, "\nnewmtl %s\nKd %.6g %.6g %.6g\n", m.name.c_str(), (m.col & 0xFFu) / 255.0,
               ((m.col >> 8) & 0xFFu) / 255.0, ((m.col >> 16) & 0xFFu) / 255.0);
        if (!m.map.empty()) {
            mtl += "map_Kd " + m.map + "\n";
        }
    }
    return mtl;
}

void AppendPoints(std::string& obj, const RecordMesh& mesh, UpAxis up) {
    for (const auto& [x, y, z] : mesh.points) {
        if (up == UpAxis::Y) {
            Append(obj, "v %.9g %.9g %.9g\n", x, z, -y);
        } else {
            Append(obj, "v %.9g %.9g %.9g\n", x, y, z);
        }
    }
}

// The file keeps ty counted down from the top of the image, an OBJ counts
// v up from the bottom: v = 1 - ty, the same place on a repeating texture.
void AppendTextureCoordinates(std::string& obj, const RecordMesh& mesh) {
    for (const RecordPolygon& polygon : mesh.polygons) {
        for (const RecordCorner& c : polygon.corners) {
            Append(obj, "vt %.9g %.9g\n", c.tx, 1.0 - c.ty);
        }
    }
}

void AppendFaces(std::string& obj, const RecordMesh& mesh, const MaterialTable& table) {
    int32_t current = -1;
    std::size_t vt = 1;
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i) {
        const int32_t material = table.ofPolygon[i];
        if (material != current) {
            current = material;
            obj += "usemtl " + table.materials[static_cast<std::size_t>(material)].name + "\n";
        }
        obj += "f";
        for (const RecordCorner& c : mesh.polygons[i].corners) {
            Append(obj, " %d/%zu", c.vtx + 1, vt++);
        }
        obj += "\n";
    }
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

ObjText MakeObj(const RecordMesh& mesh, const std::string& mtlFileName, const ObjOptions& options) {
    const MaterialTable table(mesh, options.textureExtension);
    ObjText text;
    text.obj = "# written by tarvel-cli export\nmtllib " + mtlFileName + "\n";
    AppendPoints(text.obj, mesh, options.up);
    AppendTextureCoordinates(text.obj, mesh);
    AppendFaces(text.obj, mesh, table);
    text.mtl = MakeMtl(table.materials);
    text.faces = static_cast<int32_t>(mesh.polygons.size());
    text.materials = static_cast<int32_t>(table.materials.size());
    return text;
}

std::string SaveObj(const ObjText& text, const std::string& objPath, const std::string& mtlPath) {
    for (const auto& [path, content] : {std::pair{&mtlPath, &text.mtl}, {&objPath, &text.obj}}) {
        AtomicFile file;
        if (!file.Open(*path) || !file.Commit(Bytes(*content))) {
            return "'" + *path + "': " + file.error();
        }
    }
    return {};
}

}  // namespace tarvel
