#include "threedo/node_lines.h"

#include <array>

#include "bsp/geometry.h"
#include "threedo/zertex_list.h"

// Routing line segments down the plane nodes: each plane node sorts the lines
// into one list per child slot, enters the end points of every list it passes
// on into the vertex pool, and hands each list to its child.

namespace tarvel {

namespace {

constexpr int kNoSlot = -1;

// Which slot takes the lines of each side; the on-plane lines may go to two.
struct Routing {
    int slots;
    int front;
    int back;  // kNoSlot: lines behind (and crossing ones) are dropped
    int on[2];
};

constexpr Routing kRouting6{1, 0, kNoSlot, {0, kNoSlot}};
constexpr Routing kRoutingB{2, 0, 1, {0, kNoSlot}};
constexpr Routing kRouting9{3, 0, 2, {1, kNoSlot}};
constexpr Routing kRouting8{4, 0, 3, {1, 2}};

using SlotLists = std::array<LineList, 4>;

void Put(SlotLists& lists, int slot, const LineSeg& line) {
    if (slot != kNoSlot) {
        lists[static_cast<std::size_t>(slot)].push_back(line);
    }
}

// Cuts the line at X = P1 + t * (P2 - P1). Each piece goes to the side its
// outer end lies on: a line running from behind to the front sends its P1
// piece behind, not in front.
void Split(const Plane& plane, const LineSeg& line, float t, const Routing& routing,
           SlotLists& lists) {
    const auto along = [t](float from, float to) {
        return static_cast<float>(double{from} + double{t} * (double{to} - double{from}));
    };
    LineSeg first = line;
    LineSeg second = line;
    first.x2 = second.x1 = along(line.x1, line.x2);
    first.y2 = second.y1 = along(line.y1, line.y2);
    first.z2 = second.z1 = along(line.z1, line.z2);
    const float d1 = PlaneDistance(plane, line.x1, line.y1, line.z1);
    const float d2 = PlaneDistance(plane, line.x2, line.y2, line.z2);
    const bool firstBehind = d1 < 0 || (d1 == 0 && d2 > 0);
    Put(lists, firstBehind ? routing.back : routing.front, first);
    Put(lists, firstBehind ? routing.front : routing.back, second);
}

void Route(const Plane& plane, const LineSeg& line, const Routing& routing, SlotLists& lists) {
    float t = 0;
    switch (SegmentSide(plane, line.x1, line.y1, line.z1, line.x2, line.y2, line.z2, t)) {
        case 0:  // parallel, off the plane: always the front
        case 2:
            Put(lists, routing.front, line);
            break;
        case 3:
            Put(lists, routing.back, line);
            break;
        case 4:
            Put(lists, routing.on[0], line);
            Put(lists, routing.on[1], line);
            break;
        case 1:
            if (routing.back != kNoSlot) {
                Split(plane, line, t, routing, lists);
            }
            break;
        default:
            break;
    }
}

void InsertIntoPlaneNode(PlaneNode& node, const Routing& routing, LineList& lines,
                         const ZertexList& planes, ZertexList& vertices) {
    // A plane index outside the pool names no plane to route by.
    const Zertex* record = planes.entryAt(node.plane);
    if (record == nullptr) {
        return;
    }
    // Pool records hold (d, a, b, c).
    const Plane plane{static_cast<float>(record->c1), static_cast<float>(record->c2),
                      static_cast<float>(record->c3), static_cast<float>(record->c0)};
    SlotLists lists;
    for (const LineSeg& line : lines) {
        Route(plane, line, routing, lists);
    }
    std::unique_ptr<Node>* children[4] = {&node.a, &node.b, &node.c, &node.d};
    for (int slot = 0; slot < routing.slots; ++slot) {
        LineList& list = lists[static_cast<std::size_t>(slot)];
        Node* child = children[slot]->get();
        if (list.empty() || child == nullptr) {
            continue;
        }
        for (LineSeg& line : list) {
            line.vertexA = vertices.addVertex(line.x1, line.y1, line.z1);
            line.vertexB = vertices.addVertex(line.x2, line.y2, line.z2);
        }
        child->InsertLines(list, planes, vertices);
    }
}

}  // namespace

void Node5::InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) {
    if (a) {
        a->InsertLines(lines, planes, vertices);
    }
}

void Node6::InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) {
    InsertIntoPlaneNode(*this, kRouting6, lines, planes, vertices);
}

void NodeB::InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) {
    InsertIntoPlaneNode(*this, kRoutingB, lines, planes, vertices);
}

void Node9::InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) {
    InsertIntoPlaneNode(*this, kRouting9, lines, planes, vertices);
}

void Node8::InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) {
    InsertIntoPlaneNode(*this, kRouting8, lines, planes, vertices);
}

}  // namespace tarvel
