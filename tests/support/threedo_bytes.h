#pragma once

// Hand-assembled 3DO files for the reading tests: records are laid out word
// by word here, independently of the node classes' own writers.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarvel::testing {

inline uint32_t FloatBits(float value) {
    return std::bit_cast<uint32_t>(value);
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFFu));
    }
}

inline void PatchU32(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFFu);
    }
}

inline uint32_t GetU32(const std::vector<uint8_t>& in, std::size_t at) {
    return static_cast<uint32_t>(in[at]) | static_cast<uint32_t>(in[at + 1]) << 8 |
           static_cast<uint32_t>(in[at + 2]) << 16 | static_cast<uint32_t>(in[at + 3]) << 24;
}

// The PRIM data: the root word, then records appended one after another.
class PrimBuilder {
  public:
    PrimBuilder() { PutU32(data, 0); }
    // Appends a record; returns its offset.
    uint32_t Record(std::initializer_list<uint32_t> words) {
        const auto offset = static_cast<uint32_t>(data.size());
        for (uint32_t word : words) {
            PutU32(data, word);
        }
        return offset;
    }
    void Root(uint32_t offset) { PatchU32(data, 0, offset); }
    std::vector<uint8_t> data;
};

struct FileParts {
    std::vector<std::vector<float>> vertices;  // x, y, z
    std::vector<std::vector<float>> planes;    // a, b, c, d
    std::vector<std::string> names;
    std::vector<uint8_t> prim;  // root word included
};

// Section file positions of an assembled file.
struct Layout {
    std::size_t xyzs, plan, strn, prim;
};

inline Layout LayoutOf(const FileParts& parts) {
    Layout layout{};
    layout.xyzs = 12;
    layout.plan = layout.xyzs + 12 + 16 * parts.vertices.size();
    std::size_t strnData = 1;
    for (const std::string& name : parts.names) {
        strnData += name.size() + 1;
    }
    layout.strn = layout.plan + 12 + 16 * parts.planes.size();
    layout.prim = layout.strn + 12 + (strnData + 3) / 4 * 4;
    return layout;
}

inline std::vector<uint8_t> Assemble(const FileParts& parts) {
    std::vector<uint8_t> out;
    PutU32(out, 0x33444F34);
    PutU32(out, 1);
    PutU32(out, 0);  // patched below
    PutU32(out, 0x58595A53);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(16 * parts.vertices.size()));
    for (const std::vector<float>& v : parts.vertices) {
        PutU32(out, FloatBits(0.0f));
        for (float c : v) {
            PutU32(out, FloatBits(c));
        }
    }
    PutU32(out, 0x504C414E);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(16 * parts.planes.size()));
    for (const std::vector<float>& p : parts.planes) {
        for (float c : p) {
            PutU32(out, FloatBits(c));
        }
    }
    std::vector<uint8_t> strn;
    for (const std::string& name : parts.names) {
        strn.insert(strn.end(), name.begin(), name.end());
        strn.push_back(0);
    }
    strn.push_back(0x7F);
    PutU32(out, 0x5354524E);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(strn.size()));
    out.insert(out.end(), strn.begin(), strn.end());
    while (strn.size() % 4 != 0) {
        strn.push_back(0x20);
        out.push_back(0x20);
    }
    PutU32(out, 0x5052494D);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(parts.prim.size()));
    out.insert(out.end(), parts.prim.begin(), parts.prim.end());
    PatchU32(out, 8, static_cast<uint32_t>(out.size() - 12));
    return out;
}

// One textured triangle under a texture node under a Node6: the Node81F at
// PRIM offset 4 (52 bytes), the Node5 at 56 (kind 5, texture "abc"), the
// Node6 at 76 (plane 0), the root. 220 bytes in all.
inline FileParts TriangleInNode6() {
    FileParts parts;
    parts.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    parts.planes = {{0, 0, 1, 0}};
    parts.names = {"abc"};
    PrimBuilder prim;
    const uint32_t polygon =
        prim.Record({0x81F, 0, 0xFF808080, 3, FloatBits(0.0f), FloatBits(0.75f), FloatBits(1.0f),
                     FloatBits(0.5f), FloatBits(0.25f), FloatBits(0.0f), 0, 1, 2});
    const uint32_t texture = prim.Record({5, polygon, 5, 0, 7});
    prim.Root(prim.Record({6, 0, texture}));
    parts.prim = prim.data;
    return parts;
}

}  // namespace tarvel::testing
