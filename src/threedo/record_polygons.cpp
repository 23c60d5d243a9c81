#include "threedo/record_polygons.h"

#include <unordered_map>

namespace tarvel {

namespace {

bool IsPlaneNode(int32_t type) {
    return type == 6 || type == 0xB || type == 9 || type == 8;
}

class Walk {
  public:
    explicit Walk(const ThreeDoFile& file) {
        mesh_.points.reserve(static_cast<std::size_t>(file.vertices.count()));
        for (int32_t i = 0; i < file.vertices.count(); ++i) {
            const Zertex* v = file.vertices.entryAt(i);
            mesh_.points.push_back({v->c1, v->c2, v->c3});
        }
    }

    RecordMesh Run(const Node* root) {
        if (root != nullptr) {
            pending_.push_back({root, -1, -1});
        }
        std::vector<const Node*> children;
        while (!pending_.empty()) {
            const Item item = pending_.back();
            pending_.pop_back();
            const Item inner = Visit(item);
            children.clear();
            AppendChildrenInOrder(*item.node, children);
            for (auto child = children.rbegin(); child != children.rend(); ++child) {
                pending_.push_back({*child, inner.texture, inner.planeNode});
            }
        }
        return std::move(mesh_);
    }

  private:
    // A node with what lies above it: the texture and the plane node its
    // polygons inherit.
    struct Item {
        const Node* node;
        int32_t texture;
        int32_t planeNode;
    };

    // What the node's children inherit.
    Item Visit(const Item& item) {
        Item inner = item;
        if (const auto* texture = dynamic_cast<const Node5*>(item.node)) {
            inner.texture = texture->name ? TextureIndex(*texture->name) : -1;
        } else if (IsPlaneNode(item.node->type)) {
            inner.planeNode = mesh_.planeNodes++;
        } else if (const auto* polygon = dynamic_cast<const NodeTextured*>(item.node)) {
            AddPolygon(*polygon, item);
        }
        return inner;
    }

    int32_t TextureIndex(const std::string& name) {
        if (name.empty()) {
            return -1;
        }
        const auto [at, added] =
            textureIndex_.try_emplace(name, static_cast<int32_t>(mesh_.textures.size()));
        if (added) {
            mesh_.textures.push_back(name);
        }
        return at->second;
    }

    void AddPolygon(const NodeTextured& node, const Item& item) {
        RecordPolygon polygon;
        polygon.type = static_cast<uint32_t>(node.type);
        polygon.col = node.col;
        polygon.texture = item.texture;
        polygon.planeNode = item.planeNode;
        polygon.corners.reserve(node.corners.size());
        for (const NodeTextured::Corner& c : node.corners) {
            if (c.vtx < 0 || static_cast<std::size_t>(c.vtx) >= mesh_.points.size()) {
                return;
            }
            polygon.corners.push_back(
                RecordCorner{c.vtx, c.tx, c.ty, node.HasCornerColours() ? c.col : node.col});
        }
        if (polygon.corners.size() >= 3) {
            mesh_.polygons.push_back(std::move(polygon));
        }
    }

    RecordMesh mesh_;
    std::vector<Item> pending_;
    std::unordered_map<std::string, int32_t> textureIndex_;
};

}  // namespace

RecordMesh RecordMeshOf(const ThreeDoFile& file) {
    return Walk(file).Run(file.root.get());
}

}  // namespace tarvel
