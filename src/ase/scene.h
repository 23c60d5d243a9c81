#pragma once

// The scene model one parse produces: mesh objects (Scene) and materials
// (Cupboard), kept nearly as the ASE file gives them. Cross-references inside
// an object are positions in its lists, never the numbers the file writes.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel {

struct Colour {
    float r = 1.0f, g = 1.0f, b = 1.0f;
};

struct Vertex {
    int32_t index = 0;
    float x = 0, y = 0, z = 0;
};

struct TVertex {
    int32_t index = 0;
    float u = 0, v = 0, w = 0;
};

struct TFace {
    int32_t index = 0;
    int32_t a = -1, b = -1, c = -1;  // positions in tverts
};

struct Normal {
    int32_t index = 0;
    float x = 1, y = 0, z = 0;
};

struct TexCoord {
    float u = 0, v = 0;
};

// Every face gets polyClass 3, the texture node's own default class.
inline constexpr int32_t kFacePolyClass = 3;

struct Face {
    int32_t index = 0;
    int32_t a = -1, b = -1, c = -1;  // positions in vertices
    int32_t smoothing = 0;
    int32_t mtlid = -1;
    int32_t polyClass = kFacePolyClass;
    TexCoord uv[3];
    int32_t materialRef = -1;
    Colour colour;
};

struct Material {
    int32_t id = -1;
    int32_t submtlid = -1;
    Colour colour;
    std::string bmpname;

    void SetBitmap(std::string text) { bmpname = std::move(text); }
};

class GeomObject {
  public:
    void AddVertex(const Vertex& v) { vertices.push_back(v); }
    void AddFace(const Face& f) { faces.push_back(f); }
    void AddTVertex(const TVertex& t) { tverts.push_back(t); }
    void AddTFace(const TFace& t) { tfaces.push_back(t); }
    void AddNormal(const Normal& n) { normals.push_back(n); }

    // Stamp the faces present now; faces added later keep the defaults.
    void SetMaterialRef(int32_t ref);
    void SetWireframeColour(float r, float g, float b);

    // The record at a position, or null when out of range.
    const Vertex* VertexAt(int32_t i) const;
    const TVertex* TVertexAt(int32_t i) const;

    // Copies texture coordinates into the faces, pairing faces with texture
    // faces by position.
    void Compile();

    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<TVertex> tverts;
    std::vector<TFace> tfaces;
    std::vector<Normal> normals;
};

class Scene {
  public:
    void AddGeom(GeomObject geom) { geoms.push_back(std::move(geom)); }
    int32_t Count() const { return static_cast<int32_t>(geoms.size()); }
    const GeomObject& GeomAt(int32_t i) const { return geoms[static_cast<std::size_t>(i)]; }
    void Compile();

    std::vector<GeomObject> geoms;
};

class Cupboard {
  public:
    void Add(Material material) { materials.push_back(std::move(material)); }
    int32_t Count() const { return static_cast<int32_t>(materials.size()); }
    const Material& At(int32_t i) const { return materials[static_cast<std::size_t>(i)]; }

    // First the entry with both numbers equal, else the first with that id.
    const Material* FindMaterial(int32_t id, int32_t submtlid) const;
    // The bmpname of FindMaterial's entry, or "" when there is none.
    std::string FindBitmapName(int32_t id, int32_t submtlid) const;
    // Reduces every bmpname to the bare file name without extension.
    void FixBitmapNames();
    // The material list, into the memo.
    void Dump() const;

    std::vector<Material> materials;
};

// The bitmap-name rule: the part after the last backslash, up to the first
// full stop after it.
std::string FixBitmapName(const std::string& bmpname);

}  // namespace tarvel
