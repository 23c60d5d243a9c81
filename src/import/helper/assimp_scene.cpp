#include "import/helper/assimp_scene.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>
#include <vector>

#include "import/scene_formats.h"
#include "import/scene_placement.h"

namespace tarvel::import {

namespace {

// The last part of a path, whichever separator the modeller wrote.
std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool TexturePath(const aiMaterial& material, std::string& path) {
    aiString text;
    for (const aiTextureType type : {aiTextureType_DIFFUSE, aiTextureType_BASE_COLOR}) {
        if (material.GetTextureCount(type) > 0 &&
            material.GetTexture(type, 0, &text) == aiReturn_SUCCESS) {
            path = text.C_Str();
            return true;
        }
    }
    return false;
}

// The texture's file name, or the material's name for a texture embedded
// without one; "clipper" for an untextured material of that name.
std::string BitmapName(const aiScene& scene, const aiMaterial& material) {
    aiString nameText;
    material.Get(AI_MATKEY_NAME, nameText);
    const std::string name = nameText.C_Str();
    std::string path;
    if (!TexturePath(material, path)) {
        return Lower(name) == "clipper" ? "clipper" : std::string();
    }
    if (const aiTexture* embedded = scene.GetEmbeddedTexture(path.c_str())) {
        path = embedded->mFilename.C_Str();
    } else if (!path.empty() && path.front() == '*') {
        path.clear();  // a reference to an embedded texture that is missing
    }
    const std::string file = FileName(path);
    return file.empty() ? name : file;
}

WireMaterial MapMaterial(const aiScene& scene, const aiMaterial& material) {
    WireMaterial out;
    aiColor4D colour;
    if (material.Get(AI_MATKEY_COLOR_DIFFUSE, colour) == aiReturn_SUCCESS ||
        material.Get(AI_MATKEY_BASE_COLOR, colour) == aiReturn_SUCCESS) {
        out.colour = Colour{colour.r, colour.g, colour.b};
    }
    out.bitmap = BitmapName(scene, material);
    return out;
}

struct Transform {
    aiMatrix4x4 m;
    bool identity = true;

    std::array<float, 3> Apply(const aiVector3D& v) const {
        if (identity) {
            return {v.x, v.y, v.z};
        }
        const double x = v.x, y = v.y, z = v.z;
        return {NarrowCoordinate(m.a1 * x + m.a2 * y + m.a3 * z + m.a4),
                NarrowCoordinate(m.b1 * x + m.b2 * y + m.b3 * z + m.b4),
                NarrowCoordinate(m.c1 * x + m.c2 * y + m.c3 * z + m.c4)};
    }

    // A mirroring transform turns the corners' order around, and with it the
    // facing; swapping two corners restores it.
    bool Mirrors() const { return !identity && m.Determinant() < 0; }
};

WireObject MapMesh(const aiMesh& mesh, const Transform& world, unsigned materialCount) {
    WireObject object;
    object.material = mesh.mMaterialIndex < materialCount ? mesh.mMaterialIndex : kNoMaterial;
    object.positions.reserve(mesh.mNumVertices);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        object.positions.push_back(world.Apply(mesh.mVertices[i]));
    }
    if (mesh.HasTextureCoords(0)) {
        object.uvs.reserve(mesh.mNumVertices);
        for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
            object.uvs.push_back({mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y});
        }
    }
    const bool mirrors = world.Mirrors();
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        // Lines and points have no place in a BSP of polygons.
        if (face.mNumIndices != 3 || face.mIndices == nullptr ||
            std::max({face.mIndices[0], face.mIndices[1], face.mIndices[2]}) >= mesh.mNumVertices) {
            continue;
        }
        std::array<uint32_t, 3> corners{face.mIndices[0], face.mIndices[1], face.mIndices[2]};
        if (mirrors) {
            std::swap(corners[1], corners[2]);
        }
        object.triangles.push_back(corners);
    }
    return object;
}

// The file's up axis: the metadata where the format keeps it (FBX), z for
// STL, whose files come from z-up tools, else y, the library's own
// convention, to which its readers of z-up formats (3DS, COLLADA) turn them.
UpAxis FileUpAxis(const aiScene& scene, const std::string& path) {
    int32_t axis = 1;
    if (scene.mMetaData != nullptr && scene.mMetaData->Get("UpAxis", axis)) {
        return axis == 2 ? UpAxis::Z : UpAxis::Y;
    }
    return FileExtension(path) == "stl" ? UpAxis::Z : UpAxis::Y;
}

}  // namespace

WireScene MapScene(const aiScene& scene, const std::string& path) {
    WireScene out;
    out.up = FileUpAxis(scene, path);
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        out.materials.push_back(MapMaterial(scene, *scene.mMaterials[i]));
    }
    if (scene.mRootNode == nullptr) {
        return out;
    }
    // Depth first in file order, without recursion: a hostile hierarchy may
    // be as deep as it likes.
    std::vector<std::pair<const aiNode*, Transform>> pending{{scene.mRootNode, Transform{}}};
    while (!pending.empty()) {
        auto [node, parent] = pending.back();
        pending.pop_back();
        Transform world = parent;
        if (!node->mTransformation.IsIdentity()) {
            world.m = parent.m * node->mTransformation;
            world.identity = false;
        }
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            if (node->mMeshes[i] < scene.mNumMeshes) {
                out.objects.push_back(
                    MapMesh(*scene.mMeshes[node->mMeshes[i]], world, scene.mNumMaterials));
            }
        }
        for (unsigned i = node->mNumChildren; i-- > 0;) {
            pending.emplace_back(node->mChildren[i], world);
        }
    }
    return out;
}

}  // namespace tarvel::import
