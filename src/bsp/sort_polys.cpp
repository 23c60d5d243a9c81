#include <algorithm>
#include <memory>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/split_poly.h"
#include "log/fast_format.h"
#include "log/log.h"

namespace tarvel {

namespace {

PolyList& ListOf(std::unique_ptr<PolyList>& list) {
    if (!list) {
        list = std::make_unique<PolyList>();
    }
    return *list;
}

PolyList& ListOf(std::unique_ptr<BSPNode>& child) {
    if (!child) {
        child = std::make_unique<BSPNode>();
    }
    return child->polys;
}

void AddDone(int32_t placed) {
    ProgressCounters().polysDone += placed;
    UpdateCounters();
}

// A crossing polygon is cut; a piece of two points or fewer has no area and
// is dropped.
void Split(BSPNode& node, const Poly& poly, const Cupboard* materials) {
    Poly front, back;
    ProgressCounters().splitPolys += 1;
    UpdateCounters();
    SplitPoly(poly, node.plane, front, back);
    if (front.points.size() > 2) {
        ListOf(node.infront).Add(std::move(front), materials);
    }
    if (back.points.size() > 2) {
        ListOf(node.inback).Add(std::move(back), materials);
    }
}

// Hands the polygon to the list its side calls for: a copy, or the polygon
// itself when the node's list is not needed afterwards.
void Place(BSPNode& node, Poly& poly, int32_t side, const Cupboard* materials,
           PolyHandoff handoff) {
    const auto hand = [&](PolyList& list) {
        if (handoff == PolyHandoff::Move) {
            list.AddMarked(std::move(poly));
        } else {
            list.Add(poly, materials);
        }
    };
    switch (side) {
        case xdInFront:
            hand(ListOf(node.infront));
            break;
        case xdInBack:
            hand(ListOf(node.inback));
            break;
        case xdOnFront:
            AddDone(1);
            hand(ListOf(node.onfront));
            break;
        case xdOnBack:
            AddDone(1);
            hand(ListOf(node.onback));
            break;
        case xdOnEither:
            AddDone(2);
            ListOf(node.onfront).Add(poly, materials);
            hand(ListOf(node.onback));
            break;
        default:
            Split(node, poly, materials);
            break;
    }
}

// A lone polygon off its node's plane (only a degenerate plane allows that)
// is kept in the on-plane list of its side rather than handed to a child that
// would hold it alone again. False when the general sort must take it.
bool PlaceLonePoly(BSPNode& node, const Cupboard* materials) {
    const Poly& poly = node.polys.items.front();
    const int32_t side = PolySide(node.plane, poly);
    if (side != xdInFront && side != xdInBack) {
        return false;
    }
    AddDone(1);
    ListOf(side == xdInFront ? node.onfront : node.onback).Add(poly, materials);
    return true;
}

// Room for the polygons a child will surely get (pieces may be dropped, and
// a child is made only for a polygon it gets), so that a long list is not
// moved again and again as it grows.
void ReserveChildren(BSPNode& node, std::span<const int32_t> sides) {
    const auto count = [&](int32_t side) {
        return static_cast<std::size_t>(std::count(sides.begin(), sides.end(), side));
    };
    if (const std::size_t front = count(xdInFront); front > 0) {
        ListOf(node.infront).items.reserve(front);
    }
    if (const std::size_t back = count(xdInBack); back > 0) {
        ListOf(node.inback).items.reserve(back);
    }
}

void DumpSorted(const BSPNode& node) {
    if (!LogFileActive()) {
        return;
    }
    LogFileText("The polylists/bspnodes after sorting contain:\n");
    LogFileText("--BSPNode::infront---\n");
    if (node.infront) {
        node.infront->polys.Dump();
    }
    LogFileText("--BSPNode::inback----\n");
    if (node.inback) {
        node.inback->polys.Dump();
    }
    LogFileText("--PolyList::onfront--\n");
    if (node.onfront) {
        node.onfront->Dump();
    }
    LogFileText("--PolyList::onback---\n");
    if (node.onback) {
        node.onback->Dump();
    }
}

}  // namespace

void SortPolys(BSPNode& node, const Cupboard* materials, PolyHandoff handoff,
               std::span<const int32_t> sides) {
    std::vector<Poly>& polys = node.polys.items;
    if (polys.empty()) {
        return;
    }
    if (polys.size() == 1 && PlaceLonePoly(node, materials)) {
        return;
    }
    if (!sides.empty()) {
        ReserveChildren(node, sides);
    }
    for (std::size_t k = 0; k < polys.size(); ++k) {
        const int32_t side = sides.empty() ? PolySide(node.plane, polys[k]) : sides[k];
        LogFileWrite([k, side](std::string& out) {
            out.append("Side of poly [");
            AppendInt(out, static_cast<int>(k), 5);
            out.append("]: ");
            AppendInt(out, side, 0);
            out.append(" (");
            out.append(SideName(side));
            out.append(")\n");
        });
        Place(node, polys[k], side, materials, handoff);
    }
    DumpSorted(node);
}

}  // namespace tarvel
