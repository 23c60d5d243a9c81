#pragma once

// ASE texts no exporter writes: damaged, oddly encoded or built to make a
// parser allocate, loop or overflow. Every one is generated, none is stored.

#include <cstdint>
#include <random>
#include <string>

namespace tarvel::testing {

inline std::string Object(const std::string& vertices, const std::string& faces) {
    return "*GEOMOBJECT {\n\t*MESH {\n\t\t*MESH_VERTEX_LIST {\n" + vertices +
           "\t\t}\n\t\t*MESH_FACE_LIST {\n" + faces + "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
}

inline std::string Vertex(const std::string& index, const std::string& x, const std::string& y,
                          const std::string& z) {
    return "\t\t\t*MESH_VERTEX " + index + "\t" + x + "\t" + y + "\t" + z + "\n";
}

inline std::string Face(const std::string& index, const std::string& a, const std::string& b,
                        const std::string& c) {
    return "\t\t\t*MESH_FACE " + index + ": A: " + a + " B: " + b + " C: " + c +
           " AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\n";
}

// One triangle whose corners are the given coordinate text.
inline std::string TriangleAt(const std::string& big) {
    return Object(
        Vertex("0", "0", "0", "0") + Vertex("1", big, "0", "0") + Vertex("2", "0", big, "1"),
        Face("0", "0", "1", "2"));
}

inline std::string PlainTriangle() {
    return TriangleAt("1.0");
}

inline std::string MaterialWithBitmap(const std::string& bitmap) {
    return "*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n\t\t*MAP_DIFFUSE {\n"
           "\t\t\t*BITMAP \"" +
           bitmap + "\"\n\t\t}\n\t}\n}\n";
}

// Sub-materials inside sub-materials, depth levels down.
inline std::string NestedSubMaterials(int depth) {
    std::string text = "*MATERIAL_LIST {\n*MATERIAL_COUNT 1\n*MATERIAL 0 {\n";
    for (int i = 0; i < depth; ++i) {
        text += "*NUMSUBMTLS 1\n*SUBMATERIAL 0 {\n*MATERIAL_DIFFUSE 0.5 0.5 0.5\n";
    }
    text += "*BITMAP \"deep.tga\"\n";
    for (int i = 0; i < depth; ++i) {
        text += "}\n";
    }
    return text + "}\n}\n";
}

inline std::string Garbage(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

// Each character as UTF-16: little-endian, optionally after a byte-order mark,
// or big-endian.
inline std::string Utf16(const std::string& text, bool bigEndian, bool bom) {
    std::string out;
    if (bom) {
        out = bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    }
    for (char c : text) {
        if (bigEndian) {
            out += '\0';
        }
        out += c;
        if (!bigEndian) {
            out += '\0';
        }
    }
    return out;
}

}  // namespace tarvel::testing
