#include "threedo/nodes.h"

namespace tarvel {

void Node::ReleaseChildren(std::vector<std::unique_ptr<Node>>& out) {
    for (std::unique_ptr<Node>* slot : {&a, &b, &c, &d}) {
        if (*slot) {
            out.push_back(std::move(*slot));
        }
    }
}

void Node4::ReleaseChildren(std::vector<std::unique_ptr<Node>>& out) {
    Node::ReleaseChildren(out);
    for (ChildRecord& record : children) {
        if (record.node) {
            out.push_back(std::move(record.node));
        }
    }
}

void Node11::ReleaseChildren(std::vector<std::unique_ptr<Node>>& out) {
    Node::ReleaseChildren(out);
    for (Pair& pair : pairs) {
        if (pair.node) {
            out.push_back(std::move(pair.node));
        }
    }
}

void AppendChildrenInOrder(const Node& node, std::vector<const Node*>& out) {
    for (const Node* slot : {node.a.get(), node.b.get(), node.c.get(), node.d.get()}) {
        if (slot != nullptr) {
            out.push_back(slot);
        }
    }
    if (const auto* group = dynamic_cast<const Node4*>(&node)) {
        for (const Node4::ChildRecord& record : group->children) {
            if (record.node) {
                out.push_back(record.node.get());
            }
        }
    } else if (const auto* keyed = dynamic_cast<const Node11*>(&node)) {
        for (const Node11::Pair& pair : keyed->pairs) {
            if (pair.node) {
                out.push_back(pair.node.get());
            }
        }
    }
}

Node::~Node() {
    // A node's own lists are destroyed by its class before this runs; every
    // node taken from the worklist is emptied first, so nothing recurses.
    std::vector<std::unique_ptr<Node>> pending;
    Node::ReleaseChildren(pending);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        node->ReleaseChildren(pending);
    }
}

}  // namespace tarvel
