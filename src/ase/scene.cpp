#include "ase/scene.h"

#include "log/log.h"

namespace tarvel {

void GeomObject::SetMaterialRef(int32_t ref) {
    for (Face& face : faces) {
        face.materialRef = ref;
    }
}

void GeomObject::SetWireframeColour(float r, float g, float b) {
    for (Face& face : faces) {
        face.colour = Colour{r, g, b};
    }
}

const Vertex* GeomObject::VertexAt(int32_t i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= vertices.size()) {
        return nullptr;
    }
    return &vertices[static_cast<std::size_t>(i)];
}

const TVertex* GeomObject::TVertexAt(int32_t i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= tverts.size()) {
        return nullptr;
    }
    return &tverts[static_cast<std::size_t>(i)];
}

void GeomObject::Compile() {
    if (tfaces.empty() || tverts.empty()) {
        return;
    }
    for (std::size_t i = 0; i < faces.size() && i < tfaces.size(); ++i) {
        const TFace& tface = tfaces[i];
        const int32_t corners[3] = {tface.a, tface.b, tface.c};
        for (int k = 0; k < 3; ++k) {
            if (const TVertex* tv = TVertexAt(corners[k])) {
                faces[i].uv[k] = TexCoord{tv->u, tv->v};
            }
        }
    }
}

void Scene::Compile() {
    for (GeomObject& geom : geoms) {
        geom.Compile();
    }
}

const Material* Cupboard::FindMaterial(int32_t id, int32_t submtlid) const {
    for (const Material& m : materials) {
        if (m.id == id && m.submtlid == submtlid) {
            return &m;
        }
    }
    for (const Material& m : materials) {
        if (m.id == id) {
            return &m;
        }
    }
    return nullptr;
}

std::string Cupboard::FindBitmapName(int32_t id, int32_t submtlid) const {
    const Material* m = FindMaterial(id, submtlid);
    return m != nullptr ? m->bmpname : std::string();
}

std::string FixBitmapName(const std::string& bmpname) {
    const std::size_t slash = bmpname.rfind('\\');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = bmpname.find('.', start);
    return bmpname.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

void Cupboard::FixBitmapNames() {
    for (Material& m : materials) {
        LogMemo("Current bmpname: " + m.bmpname);
        if (!m.bmpname.empty()) {
            m.bmpname = FixBitmapName(m.bmpname);
        }
        LogMemo("after fixing: " + m.bmpname);
    }
}

void Cupboard::Dump() const {
    LogMemoF("%d materials", Count());
    for (const Material& m : materials) {
        LogMemoF("Material id %4d, submtlid %4d, colour (%6.4f, %6.4f, %6.4f), bmpname: '%s'", m.id,
                 m.submtlid, m.colour.r, m.colour.g, m.colour.b, m.bmpname.c_str());
    }
}

}  // namespace tarvel
