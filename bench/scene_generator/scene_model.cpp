#include "scene_generator/scene_model.h"

#include <cassert>
#include <limits>

namespace tarvel::scenegen {

int32_t MeshObject::AddVertex(Vec3 p) {
    assert(vertices.size() < static_cast<std::size_t>(std::numeric_limits<int32_t>::max()));
    vertices.push_back(p);
    return static_cast<int32_t>(vertices.size() - 1);
}

int32_t MeshObject::AddTVert(Vec2 t) {
    assert(tverts.size() < static_cast<std::size_t>(std::numeric_limits<int32_t>::max()));
    tverts.push_back(t);
    return static_cast<int32_t>(tverts.size() - 1);
}

void MeshObject::AddQuad(const int32_t (&v)[4], const int32_t (&t)[4], int32_t smoothing,
                         int32_t mtlid) {
    faces.push_back({v[0], v[1], v[2], t[0], t[1], t[2], true, true, false, smoothing, mtlid});
    faces.push_back({v[0], v[2], v[3], t[0], t[2], t[3], false, true, true, smoothing, mtlid});
}

std::size_t GeneratedScene::TriangleCount() const {
    std::size_t n = 0;
    for (const MeshObject& object : objects) {
        n += object.faces.size();
    }
    return n;
}

std::size_t GeneratedScene::VertexCount() const {
    std::size_t n = 0;
    for (const MeshObject& object : objects) {
        n += object.vertices.size();
    }
    return n;
}

}  // namespace tarvel::scenegen
