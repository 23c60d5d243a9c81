#include "bsp/search/poly_bvh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <utility>

namespace tarvel {

namespace {

Box BoxOf(const Poly& poly) {
    Box box;
    box.lo[0] = box.lo[1] = box.lo[2] = INFINITY;
    box.hi[0] = box.hi[1] = box.hi[2] = -INFINITY;
    for (const APoint& p : poly.points) {
        const double xyz[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
            box.finite = box.finite && std::isfinite(xyz[k]);
            box.lo[k] = std::min(box.lo[k], xyz[k]);
            box.hi[k] = std::max(box.hi[k], xyz[k]);
        }
    }
    return box;
}

std::vector<Box> BoxesOf(const std::vector<Poly>& polys) {
    std::vector<Box> boxes;
    boxes.reserve(polys.size());
    for (const Poly& poly : polys) {
        boxes.push_back(BoxOf(poly));
    }
    return boxes;
}

void Grow(Box& into, const Box& other) {
    into.finite = into.finite && other.finite;
    for (int k = 0; k < 3; ++k) {
        into.lo[k] = std::min(into.lo[k], other.lo[k]);
        into.hi[k] = std::max(into.hi[k], other.hi[k]);
    }
}

// The box and the cornerless count of the node's range of `order`.
void CoverRange(PolyBvh::Node& node, const std::vector<int32_t>& order,
                const std::vector<Poly>& polys, const std::vector<Box>& boxes) {
    node.box = boxes[static_cast<std::size_t>(order[static_cast<std::size_t>(node.first)])];
    for (int32_t i = 0; i < node.count; ++i) {
        const auto index =
            static_cast<std::size_t>(order[static_cast<std::size_t>(node.first + i)]);
        Grow(node.box, boxes[index]);
        node.cornerless += polys[index].points.empty() ? 1 : 0;
    }
}

// The same box and count from the corners the hierarchy stores, which lie
// together leaf by leaf: no pass over the polygons themselves.
void CoverCorners(PolyBvh::Node& node, const PolyBvh& bvh) {
    Box& box = node.box;
    box.lo[0] = box.lo[1] = box.lo[2] = INFINITY;
    box.hi[0] = box.hi[1] = box.hi[2] = -INFINITY;
    const auto first = static_cast<std::size_t>(node.first);
    const auto last = first + static_cast<std::size_t>(node.count);
    const float* const coords[3] = {bvh.x.data(), bvh.y.data(), bvh.z.data()};
    const auto begin = static_cast<std::size_t>(bvh.cornerStart[first]);
    const auto end = static_cast<std::size_t>(bvh.cornerStart[last]);
    for (int k = 0; k < 3; ++k) {
        for (std::size_t i = begin; i < end; ++i) {
            const double value = coords[k][i];
            box.finite = box.finite && std::isfinite(value);
            box.lo[k] = std::min(box.lo[k], value);
            box.hi[k] = std::max(box.hi[k], value);
        }
    }
    for (std::size_t i = first; i < last; ++i) {
        node.cornerless += bvh.cornerStart[i] == bvh.cornerStart[i + 1] ? 1 : 0;
    }
}

int LongestAxis(const Box& box) {
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis]) {
            axis = k;
        }
    }
    return axis;
}

// Halves the range around the median of the box centres on the axis.
void SplitRange(std::vector<int32_t>& order, const std::vector<Box>& boxes, int32_t first,
                int32_t count, int axis) {
    auto begin = order.begin() + first;
    std::nth_element(begin, begin + count / 2, begin + count, [&](int32_t x, int32_t y) {
        const Box& bx = boxes[static_cast<std::size_t>(x)];
        const Box& by = boxes[static_cast<std::size_t>(y)];
        // NaN-free ordering key: non-finite boxes sort by index.
        const double kx = bx.finite ? bx.lo[axis] + bx.hi[axis] : 0.0;
        const double ky = by.finite ? by.lo[axis] + by.hi[axis] : 0.0;
        return kx < ky || (kx == ky && x < y);
    });
}

void BuildNodes(PolyBvh& bvh, const std::vector<Poly>& polys, const std::vector<Box>& boxes) {
    struct Pending {
        int32_t node, first, count;
    };
    std::vector<Pending> work{{0, 0, static_cast<int32_t>(polys.size())}};
    bvh.nodes.emplace_back();
    while (!work.empty()) {
        const Pending job = work.back();
        work.pop_back();
        PolyBvh::Node node;
        node.first = job.first;
        node.count = job.count;
        CoverRange(node, bvh.order, polys, boxes);
        if (job.count > kBvhLeafSize) {
            SplitRange(bvh.order, boxes, job.first, job.count, LongestAxis(node.box));
            node.left = static_cast<int32_t>(bvh.nodes.size());
            node.right = node.left + 1;
            bvh.nodes.emplace_back();
            bvh.nodes.emplace_back();
            const int32_t half = job.count / 2;
            work.push_back({node.left, job.first, half});
            work.push_back({node.right, job.first + half, job.count - half});
        }
        bvh.nodes[static_cast<std::size_t>(job.node)] = node;
    }
}

// The ranks' order, and among equal ranks (pieces of one polygon) the list's:
// a stable radix sort, linear and free of recursion (deep trees are built on
// small stacks).
void OrderByRank(PolyBvh& bvh, const std::vector<int32_t>& ranks) {
    constexpr int kDigitBits = 11;
    constexpr int32_t kDigits = 1 << kDigitBits;
    const auto rankOf = [&ranks](int32_t i) { return ranks[static_cast<std::size_t>(i)]; };
    std::vector<int32_t> order(ranks.size()), sorted(ranks.size());
    std::iota(order.begin(), order.end(), 0);
    const int32_t maxRank = ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
    std::vector<int32_t> start(kDigits + 1);
    for (int shift = 0; shift < 31 && (maxRank >> shift) != 0; shift += kDigitBits) {
        const auto digit = [&](int32_t i) {
            return static_cast<std::size_t>((rankOf(i) >> shift) & (kDigits - 1));
        };
        std::fill(start.begin(), start.end(), 0);
        for (const int32_t i : order) {
            ++start[digit(i) + 1];
        }
        for (std::size_t d = 1; d < start.size(); ++d) {
            start[d] += start[d - 1];
        }
        for (const int32_t i : order) {
            sorted[static_cast<std::size_t>(start[digit(i)]++)] = i;
        }
        order.swap(sorted);
    }
    bvh.order = std::move(order);
}

// Nodes over `order` and its stored corners, each range halved; the boxes
// are merged from the leaves up, children having been added after their
// parents.
void BuildNodesInOrder(PolyBvh& bvh) {
    std::vector<int32_t> work{0};
    bvh.nodes.emplace_back();
    bvh.nodes[0].count = static_cast<int32_t>(bvh.order.size());
    while (!work.empty()) {
        const auto index = static_cast<std::size_t>(work.back());
        work.pop_back();
        const int32_t first = bvh.nodes[index].first, count = bvh.nodes[index].count;
        if (count <= kBvhLeafSize) {
            continue;
        }
        const auto left = static_cast<int32_t>(bvh.nodes.size());
        bvh.nodes[index].left = left;
        bvh.nodes[index].right = left + 1;
        PolyBvh::Node child;
        child.first = first;
        child.count = count / 2;
        bvh.nodes.push_back(child);
        child.first = first + count / 2;
        child.count = count - count / 2;
        bvh.nodes.push_back(child);
        work.push_back(left);
        work.push_back(left + 1);
    }
    for (std::size_t k = bvh.nodes.size(); k-- > 0;) {
        PolyBvh::Node& node = bvh.nodes[k];
        if (node.left >= 0) {
            const PolyBvh::Node& l = bvh.nodes[static_cast<std::size_t>(node.left)];
            const PolyBvh::Node& r = bvh.nodes[static_cast<std::size_t>(node.right)];
            node.box = l.box;
            Grow(node.box, r.box);
            node.cornerless = l.cornerless + r.cornerless;
            continue;
        }
        CoverCorners(node, bvh);
    }
}

void StoreCorners(PolyBvh& bvh, const std::vector<Poly>& polys) {
    bvh.cornerStart.reserve(polys.size() + 1);
    std::size_t corners = 0;
    for (const Poly& poly : polys) {
        corners += poly.points.size();
    }
    bvh.x.reserve(corners);
    bvh.y.reserve(corners);
    bvh.z.reserve(corners);
    for (const int32_t index : bvh.order) {
        bvh.cornerStart.push_back(static_cast<int32_t>(bvh.x.size()));
        for (const APoint& p : polys[static_cast<std::size_t>(index)].points) {
            bvh.x.push_back(p.x);
            bvh.y.push_back(p.y);
            bvh.z.push_back(p.z);
        }
    }
    bvh.cornerStart.push_back(static_cast<int32_t>(bvh.x.size()));
}

}  // namespace

PolyBvh BuildPolyBvh(const std::vector<Poly>& polys, SearchCache* cache) {
    PolyBvh bvh;
    std::vector<int32_t> ranks;
    if (cache != nullptr) {
        ranks.reserve(polys.size());
        for (const Poly& poly : polys) {
            ranks.push_back((*cache)[poly].spatialRank);
        }
    }
    const bool ranked = cache != nullptr && std::all_of(ranks.begin(), ranks.end(),
                                                        [](int32_t rank) { return rank >= 0; });
    if (ranked) {
        OrderByRank(bvh, ranks);
        StoreCorners(bvh, polys);
        BuildNodesInOrder(bvh);
        bvh.ranks = std::move(ranks);
        return bvh;
    }
    bvh.order.resize(polys.size());
    std::iota(bvh.order.begin(), bvh.order.end(), 0);
    BuildNodes(bvh, polys, BoxesOf(polys));
    for (std::size_t i = 0; cache != nullptr && i < bvh.order.size(); ++i) {
        const auto index = static_cast<std::size_t>(bvh.order[i]);
        ranks[index] = static_cast<int32_t>(i);
        (*cache)[polys[index]].spatialRank = ranks[index];
    }
    StoreCorners(bvh, polys);
    bvh.ranks = std::move(ranks);
    return bvh;
}

PolyBvh FlatPolyBvh(const std::vector<Poly>& polys) {
    const std::vector<Box> boxes = BoxesOf(polys);
    PolyBvh bvh;
    bvh.order.resize(polys.size());
    std::iota(bvh.order.begin(), bvh.order.end(), 0);
    PolyBvh::Node& root = bvh.nodes.emplace_back();
    root.count = static_cast<int32_t>(polys.size());
    CoverRange(root, bvh.order, polys, boxes);
    StoreCorners(bvh, polys);
    return bvh;
}

}  // namespace tarvel
