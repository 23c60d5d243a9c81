#pragma once

// The generated scene before it becomes ASE text: materials and mesh objects
// in double precision, with the same cross-references (positions in lists)
// that the exporter writes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarvel::scenegen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
// The zero vector stays zero rather than becoming NaN.
inline Vec3 Normalize(Vec3 a) {
    const double len = Length(a);
    return len > 0.0 ? a * (1.0 / len) : Vec3{};
}

struct Vec2 {
    double u = 0, v = 0;
};

struct MeshFace {
    int32_t a = 0, b = 0, c = 0;           // positions in vertices
    int32_t ta = 0, tb = 0, tc = 0;        // positions in tverts
    bool ab = true, bc = true, ca = true;  // edge visibility
    int32_t smoothing = 1;
    int32_t mtlid = 0;
};

class MeshObject {
  public:
    MeshObject(std::string objectName, int32_t material, Vec3 wire)
        : name(std::move(objectName)), materialRef(material), wireColour(wire) {}

    int32_t AddVertex(Vec3 p);
    int32_t AddTVert(Vec2 t);
    void AddTriangle(const MeshFace& face) { faces.push_back(face); }
    // Corners in order p00, p10, p11, p01: the face normal is
    // (p10 - p00) x (p01 - p00). The shared diagonal p00-p11 is hidden, as an
    // exporter writes a quad.
    void AddQuad(const int32_t (&v)[4], const int32_t (&t)[4], int32_t smoothing, int32_t mtlid);

    std::string name;
    int32_t materialRef;
    Vec3 wireColour;
    std::vector<Vec3> vertices;
    std::vector<Vec2> tverts;
    std::vector<MeshFace> faces;
};

struct MaterialDef {
    std::string name;
    std::string bitmap;  // path as the exporter writes it; empty: no map
    Vec3 diffuse;
    std::vector<MaterialDef> subMaterials;
};

struct GeneratedScene {
    std::string fileName;  // for the SCENE block
    std::string comment;
    std::vector<MaterialDef> materials;
    std::vector<MeshObject> objects;

    std::size_t TriangleCount() const;
    std::size_t VertexCount() const;
};

}  // namespace tarvel::scenegen
