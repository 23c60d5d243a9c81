#include <algorithm>
#include <memory>
#include <optional>
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

// The child list for xdInFront or xdInBack.
PolyList& ChildList(BSPNode& node, Side side) {
    return ListOf(side == Side::xdInFront ? node.infront : node.inback);
}

void AddDone(int32_t placed) {
    ProgressCounters().polysDone += placed;
    UpdateCounters();
}

// The child of a moving sort that takes the node's own buffer over: the one
// that gets the most polygons whole, so that they stay where they are instead
// of being moved one by one into a list that grows as it goes. Its polygons
// gather at the front of the buffer in the order of the sort; a source
// polygon gives a child at most one, so the writing never overtakes the
// reading.
struct Keeper {
    std::optional<Side> side;  // xdInFront or xdInBack; none for no keeper
    std::vector<Poly> buffer;
    std::size_t kept = 0;

    void Keep(Poly&& poly) {
        Poly& slot = buffer[kept++];
        if (&slot != &poly) {
            slot = std::move(poly);
        }
    }
};

// Hands a polygon or a piece to a child. `marked` says that its clipper mark
// was already set against the same materials.
void Give(BSPNode& node, Side side, Poly&& poly, bool marked, const Cupboard* materials,
          Keeper& keeper) {
    if (side == keeper.side) {
        if (!marked) {
            MarkClipper(poly, materials);
        }
        keeper.Keep(std::move(poly));
        return;
    }
    PolyList& list = ChildList(node, side);
    if (marked) {
        list.AddMarked(std::move(poly));
    } else {
        list.Add(std::move(poly), materials);
    }
}

// A crossing polygon is cut; a piece of two points or fewer has no area and
// is dropped.
void Split(BSPNode& node, const Poly& poly, const Cupboard* materials, Keeper& keeper,
           SearchCache* cache) {
    Poly front, back;
    ProgressCounters().splitPolys += 1;
    UpdateCounters();
    SplitPoly(poly, node.plane, front, back);
    if (front.points.size() > 2) {
        if (cache != nullptr) {
            cache->EnterPiece(front, poly);
        }
        Give(node, Side::xdInFront, std::move(front), false, materials, keeper);
    }
    if (back.points.size() > 2) {
        if (cache != nullptr) {
            cache->EnterPiece(back, poly);
        }
        Give(node, Side::xdInBack, std::move(back), false, materials, keeper);
    }
}

// Hands the polygon to the list its side calls for: a copy, or the polygon
// itself when the node's list is not needed afterwards.
void Place(BSPNode& node, Poly& poly, Side side, const Cupboard* materials, PolyHandoff handoff,
           Keeper& keeper, SearchCache* cache) {
    const bool move = handoff == PolyHandoff::Move;
    const auto hand = [&](PolyList& list) {
        if (move) {
            list.AddMarked(std::move(poly));
        } else {
            list.Add(poly, materials);
        }
    };
    switch (side) {
        case Side::xdInFront:
        case Side::xdInBack:
            Give(node, side, move ? std::move(poly) : Poly(poly), move, materials, keeper);
            break;
        case Side::xdOnFront:
            AddDone(1);
            hand(ListOf(node.onfront));
            break;
        case Side::xdOnBack:
            AddDone(1);
            hand(ListOf(node.onback));
            break;
        case Side::xdOnEither:
            AddDone(2);
            ListOf(node.onfront).Add(poly, materials);
            hand(ListOf(node.onback));
            break;
        default:
            Split(node, poly, materials, keeper, cache);
            break;
    }
}

// A lone polygon off its node's plane (only a degenerate plane allows that)
// is kept in the on-plane list of its side rather than handed to a child that
// would hold it alone again. False when the general sort must take it.
bool PlaceLonePoly(BSPNode& node, const Cupboard* materials) {
    const Poly& poly = node.polys.items.front();
    const Side side = PolySide(node.plane, poly);
    if (side != Side::xdInFront && side != Side::xdInBack) {
        return false;
    }
    AddDone(1);
    ListOf(side == Side::xdInFront ? node.onfront : node.onback).Add(poly, materials);
    return true;
}

// How many polygons each child gets whole: what it will surely hold.
struct WholeCounts {
    std::size_t front = 0, back = 0;
};

WholeCounts WholeCountsOf(std::span<const Side> sides) {
    WholeCounts counts;
    for (const Side side : sides) {
        counts.front += side == Side::xdInFront ? 1 : 0;
        counts.back += side == Side::xdInBack ? 1 : 0;
    }
    return counts;
}

// The child that gets the most polygons whole, when that is at least half of
// them: a buffer at most twice the size of its list is worth keeping.
std::optional<Side> KeeperSide(const WholeCounts& whole, std::size_t polys) {
    const Side side = whole.front >= whole.back ? Side::xdInFront : Side::xdInBack;
    if (2 * std::max(whole.front, whole.back) >= polys) {
        return side;
    }
    return std::nullopt;
}

// Room for the polygons a child will surely get (pieces may be dropped, and
// a child is made only for a polygon it gets), so that a long list is not
// moved again and again as it grows. The keeper has its room already.
void ReserveChildren(BSPNode& node, const WholeCounts& whole, std::optional<Side> keeperSide) {
    for (const auto& [side, count] :
         {std::pair{Side::xdInFront, whole.front}, {Side::xdInBack, whole.back}}) {
        if (side != keeperSide && count > 0) {
            ChildList(node, side).items.reserve(count);
        }
    }
}

std::vector<Side> SidesOf(const std::vector<Poly>& polys, const Plane& plane) {
    std::vector<Side> sides(polys.size());
    for (std::size_t k = 0; k < polys.size(); ++k) {
        sides[k] = PolySide(plane, polys[k]);
    }
    return sides;
}

void LogSide(std::size_t k, Side side) {
    LogFileWrite([k, side](std::string& out) {
        out.append("Side of poly [");
        AppendInt(out, static_cast<int>(k), 5);
        out.append("]: ");
        AppendInt(out, static_cast<int32_t>(side), 0);
        out.append(" (");
        out.append(SideName(side));
        out.append(")\n");
    });
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
               std::span<const Side> sides, SearchCache* cache) {
    if (node.polys.items.empty()) {
        return;
    }
    if (node.polys.items.size() == 1 && PlaceLonePoly(node, materials)) {
        return;
    }
    std::vector<Side> computed;
    if (handoff == PolyHandoff::Move && sides.empty()) {
        computed = SidesOf(node.polys.items, node.plane);
        sides = computed;
    }
    Keeper keeper;
    if (!sides.empty()) {
        const WholeCounts whole = WholeCountsOf(sides);
        if (handoff == PolyHandoff::Move) {
            keeper.side = KeeperSide(whole, sides.size());
        }
        ReserveChildren(node, whole, keeper.side);
    }
    if (keeper.side.has_value()) {
        keeper.buffer = node.polys.TakeItems();
    }
    std::vector<Poly>& polys = keeper.side.has_value() ? keeper.buffer : node.polys.items;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        const Side side = sides.empty() ? PolySide(node.plane, polys[k]) : sides[k];
        LogSide(k, side);
        Place(node, polys[k], side, materials, handoff, keeper, cache);
    }
    if (keeper.side.has_value()) {
        keeper.buffer.erase(keeper.buffer.begin() + static_cast<std::ptrdiff_t>(keeper.kept),
                            keeper.buffer.end());
        ChildList(node, *keeper.side).items = std::move(keeper.buffer);
    }
    DumpSorted(node);
}

}  // namespace tarvel
