#include "bsp/search/parallel_planes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <unordered_map>

#include "bsp/parallel/share_out.h"
#include "bsp/side_test.h"

namespace tarvel {

// A node's box as the families measure it.
struct NodeExtent {
    double centre[3];
    double half[3];
    double size;  // the largest coordinate's magnitude
};

namespace {

// Normals fall into cells this fine in each component; the first plane of a
// cell is its family's reference.
constexpr double kNormalCells = 1024;
// A member's distances may stray from the reference's projections by at
// most this much of the node's size: more, and too many polygons would lie
// too close to call.
constexpr double kWidestStray = 1.0 / 4096;
// Fewer members sharing an offset than this do not pay for a pass over the
// polygons.
constexpr std::size_t kLeastMembers = 8;
// A family whose members leave more polygons open than this each, on
// average, is given up: testing so many one by one costs as much as walking
// the members.
constexpr std::size_t kMostOpenPerMember = 512;
// Nor are more open polygons than this kept for all the families of a node
// together, whatever the node's size.
constexpr std::size_t kMostOpen = std::size_t{1} << 25;

NodeExtent ExtentOf(const Box& box) {
    NodeExtent e{};
    for (int k = 0; k < 3; ++k) {
        e.centre[k] = (box.lo[k] + box.hi[k]) / 2;
        e.half[k] = (box.hi[k] - box.lo[k]) / 2;
        e.size = std::max({e.size, std::fabs(box.lo[k]), std::fabs(box.hi[k])});
    }
    return e;
}

using CellKey = std::array<int64_t, 3>;

struct CellHash {
    std::size_t operator()(const CellKey& key) const {
        uint64_t hash = 0;
        for (const int64_t word : key) {
            hash = (hash ^ static_cast<uint64_t>(word)) * 0x9E3779B97F4A7C15ull;
        }
        return static_cast<std::size_t>(hash >> 16);
    }
};

// A finite plane with a normal of about unit length: any other is walked
// on its own.
bool Usable(const Plane& p) {
    return std::isfinite(p.d) && std::fabs(p.a) <= 2 && std::fabs(p.b) <= 2 && std::fabs(p.c) <= 2;
}

CellKey Cell(const Plane& p) {
    return {std::llround(p.a * kNormalCells), std::llround(p.b * kNormalCells),
            std::llround(p.c * kNormalCells)};
}

// How far a plane's distance to a point of the box may be from the
// reference normal's projection of the point plus the plane's own offset.
double Stray(const double reference[3], const Plane& p, const NodeExtent& e) {
    const double dn[3] = {p.a - reference[0], p.b - reference[1], p.c - reference[2]};
    double atCentre = 0, spread = 0;
    for (int k = 0; k < 3; ++k) {
        atCentre += dn[k] * e.centre[k];
        spread += std::fabs(dn[k]) * e.half[k];
    }
    return std::fabs(atCentre) + spread;
}

// The first of the sorted values in [begin, end) above v, as upper_bound
// finds it, but without branches: the polygons of a leaf fall unpredictably
// among the members, and mispredicted steps were most of a pass.
const double* FirstAbove(const double* begin, const double* end, double v) {
    std::ptrdiff_t len = end - begin;
    if (len == 0) {
        return begin;
    }
    while (len > 1) {
        const std::ptrdiff_t half = len / 2;
        begin = !(v < begin[half]) ? begin + half : begin;
        len -= half;
    }
    return begin + (!(v < *begin) ? 1 : 0);
}

}  // namespace

// Sorted offsets with a bucket index over them, so that finding where a
// value falls costs a short search instead of one over all members.
class ParallelPlanes::KeyIndex {
  public:
    explicit KeyIndex(const std::vector<double>& keys) : keys_(keys) {
        const std::size_t buckets = 2 * keys.size();
        first_ = keys.front();
        const double span = keys.back() - first_;
        scale_ = span > 0 ? static_cast<double>(buckets) / span : 0;
        last_ = static_cast<int64_t>(buckets) - 1;
        start_.assign(buckets + 1, 0);
        for (const double key : keys) {
            ++start_[static_cast<std::size_t>(Bucket(key)) + 1];
        }
        for (std::size_t b = 1; b < start_.size(); ++b) {
            start_[b] += start_[b - 1];
        }
    }

    // The first key above v.
    std::size_t Above(double v) const {
        const auto [begin, end] = Range(v);
        return static_cast<std::size_t>(FirstAbove(begin, end, v) - keys_.data());
    }
    // The first key at or above v.
    std::size_t AtOrAbove(double v) const {
        const auto [begin, end] = Range(v);
        return static_cast<std::size_t>(std::lower_bound(begin, end, v) - keys_.data());
    }

  private:
    // Monotone in v, so every key below v's bucket is below v and every
    // key above it is above. Truncating a positive value floors it, and
    // costs less than floor.
    int64_t Bucket(double v) const {
        const double b = (v - first_) * scale_;
        return !(b > 0) ? 0 : b >= static_cast<double>(last_) ? last_ : static_cast<int64_t>(b);
    }
    std::pair<const double*, const double*> Range(double v) const {
        const auto b = static_cast<std::size_t>(Bucket(v));
        return {keys_.data() + start_[b], keys_.data() + start_[b + 1]};
    }

    const std::vector<double>& keys_;
    double first_ = 0, scale_ = 0;
    int64_t last_ = 0;
    std::vector<std::ptrdiff_t> start_;
};

struct ParallelPlanes::Family {
    double normal[3] = {0, 0, 0};
    // How far any member's distance, as the point test computes it, may be
    // from the projection on `normal` plus the member's offset: the members'
    // stray and a wide margin for the rounding of both sums.
    double reach = 0;
    std::vector<int32_t> members;  // by offset, falling
    std::vector<double> keys;      // minus each member's offset, rising
    // Runs of members whose keys lie together: where each ends, its highest
    // key, and each member's run.
    std::vector<uint32_t> clusterEnd;
    std::vector<double> clusterTop;
    std::vector<uint32_t> clusterOf;
    std::vector<Standing> standings;
    // The polygons of every member's maybeFront, then of every maybeBack.
    std::vector<int32_t> maybe;
};

// What a pass gathers before it hands each member its standing; reused from
// one family to the next.
struct ParallelPlanes::Tally {
    // frontBelow[j]: polygons in front of members 0 .. j-1;
    // backFrom[j]: polygons behind members j .. count-1.
    std::vector<int32_t> frontBelow, backFrom;
    // Member and polygon.
    std::vector<std::pair<int32_t, int32_t>> maybeFront, maybeBack;
    std::vector<int32_t> stack;
};

ParallelPlanes::ParallelPlanes(const std::vector<Poly>& polys, const PolyBvh& bvh,
                               const std::vector<int32_t>& candidates)
    : polys_(polys), bvh_(bvh), familyOf_(polys.size(), -1), memberOf_(polys.size(), -1) {
    const Box& root = bvh.nodes.front().box;
    const NodeExtent extent = ExtentOf(root);
    if (!root.finite || !(extent.size > 0)) {
        return;
    }
    std::unordered_map<CellKey, std::vector<int32_t>, CellHash> cells;
    for (const int32_t i : candidates) {
        const Plane& plane = polys[static_cast<std::size_t>(i)].plane;
        if (Usable(plane)) {
            cells[Cell(plane)].push_back(i);
        }
    }
    for (auto& [cell, planes] : cells) {
        if (planes.size() >= kLeastMembers) {
            AddFamily(planes, extent);
        }
    }
}

// The planes of one cell, when enough of them share their plane, or nearly,
// with another of the cell: only those make the family's pass pay. A pass
// that projects the leaves for them costs little more for the planes alone
// at their offset, which join too: in a gear assembly, joining cost the
// passes less than walking those planes one by one had.
void ParallelPlanes::AddFamily(const std::vector<int32_t>& planes, const NodeExtent& extent) {
    // Candidates come in list order, so the reference does not depend on
    // how the table of cells iterates.
    const Plane& reference = polys_[static_cast<std::size_t>(planes.front())].plane;
    const double normal[3] = {reference.a, reference.b, reference.c};
    struct Keyed {
        double key;  // minus the offset
        double stray;
        int32_t index;
    };
    std::vector<Keyed> keyed;
    for (const int32_t i : planes) {
        const Plane& p = polys_[static_cast<std::size_t>(i)].plane;
        const double stray = Stray(normal, p, extent);
        if (stray <= extent.size * kWidestStray) {
            keyed.push_back({-static_cast<double>(p.d), stray, i});
        }
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& x, const Keyed& y) {
        return x.key < y.key || (x.key == y.key && x.index < y.index);
    });
    const double together = 2 * (kOnPlaneTolerance + extent.size * kWidestStray);
    const auto near = [&](std::size_t k, std::size_t other) {
        return other < keyed.size() && std::fabs(keyed[k].key - keyed[other].key) <= together;
    };
    auto family = std::make_unique<Family>();
    std::copy(normal, normal + 3, family->normal);
    double stray = 0, offsets = 0;
    std::size_t shared = 0;  // members that share their offset with another
    for (std::size_t k = 0; k < keyed.size(); ++k) {
        shared += near(k, k - 1) || near(k, k + 1) ? 1 : 0;
        if (!near(k, k - 1)) {
            family->clusterEnd.push_back(0);
            family->clusterTop.push_back(0);
        }
        stray = std::max(stray, keyed[k].stray);
        offsets = std::max(offsets, std::fabs(keyed[k].key));
        family->members.push_back(keyed[k].index);
        family->keys.push_back(keyed[k].key);
        family->clusterEnd.back() = static_cast<uint32_t>(family->members.size());
        family->clusterTop.back() = keyed[k].key;
        family->clusterOf.push_back(static_cast<uint32_t>(family->clusterEnd.size() - 1));
    }
    if (shared < kLeastMembers) {
        return;
    }
    double scale = 0;  // of every distance in the node, for the rounding margin
    for (int k = 0; k < 3; ++k) {
        scale += std::fabs(extent.centre[k]) + extent.half[k];
    }
    family->reach = stray * (1 + 1e-9) + (scale * 2 + offsets + stray) * 1e-10;
    const auto id = static_cast<int32_t>(families_.size());
    for (std::size_t m = 0; m < family->members.size(); ++m) {
        const auto i = static_cast<std::size_t>(family->members[m]);
        familyOf_[i] = id;
        memberOf_[i] = static_cast<int32_t>(m);
    }
    families_.push_back(std::move(family));
}

void ParallelPlanes::PassAll(unsigned threads) {
    std::atomic<std::size_t> next{0};
    const auto work = [&](std::size_t, std::size_t) {
        Tally tally;
        for (std::size_t f = next++; f < families_.size(); f = next++) {
            if (!Pass(*families_[f], tally)) {
                Disband(*families_[f]);
            }
        }
    };
    ShareOut(families_.size() > 1 ? threads : 1, work);
}

ParallelPlanes::~ParallelPlanes() = default;

const ParallelPlanes::Standing& ParallelPlanes::Of(int32_t index) const {
    const auto k = static_cast<std::size_t>(index);
    const Family& family = *families_[static_cast<std::size_t>(familyOf_[k])];
    return family.standings[static_cast<std::size_t>(memberOf_[k])];
}

ParallelPlanes::FrontBack ParallelPlanes::Count(int32_t index) const {
    const Standing& standing = Of(index);
    const Plane& plane = polys_[static_cast<std::size_t>(index)].plane;
    FrontBack counts{standing.front, standing.back};
    for (const int32_t k : standing.maybeFront) {
        counts.front += PolySide(plane, polys_[static_cast<std::size_t>(k)]) == Side::xdInFront;
    }
    for (const int32_t k : standing.maybeBack) {
        counts.back += PolySide(plane, polys_[static_cast<std::size_t>(k)]) == Side::xdInBack;
    }
    return counts;
}

// Member m's distance to a corner is within reach of the projection p of
// the corner on the family's normal plus m's offset, p - keys[m]. A corner is
// surely in front of m's plane when p - keys[m] - reach reaches the
// tolerance, surely behind when p - keys[m] + reach reaches minus the
// tolerance. A polygon is in front when no corner is behind and one is in
// front: surely so when its lowest projection is surely in front, surely not
// when that one is surely behind. Behind is the same from the highest
// projection. A group of the hierarchy whose projections come no nearer than
// that to any member's plane is settled whole.
bool ParallelPlanes::Pass(Family& family, Tally& tally) {
    const std::size_t count = family.members.size();
    const KeyIndex index(family.keys);
    tally.frontBelow.assign(count + 1, 0);
    tally.backFrom.assign(count + 1, 0);
    tally.maybeFront.clear();
    tally.maybeBack.clear();
    const double clear = kOnPlaneTolerance + family.reach;
    const double* n = family.normal;
    // Thousands of members on one large flat face would each leave the whole
    // face open.
    const std::size_t open = kMostOpenPerMember * family.members.size();
    auto& stack = tally.stack;
    stack.assign(1, 0);
    while (!stack.empty()) {
        const PolyBvh::Node& node = bvh_.nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        double lo = 0, hi = 0;
        for (int k = 0; k < 3; ++k) {
            lo += n[k] * (n[k] >= 0 ? node.box.lo[k] : node.box.hi[k]);
            hi += n[k] * (n[k] >= 0 ? node.box.hi[k] : node.box.lo[k]);
        }
        const std::size_t j = index.Above(lo - clear);
        const std::size_t last = index.AtOrAbove(hi + clear);
        if (j == last) {
            tally.frontBelow[j] += node.count - node.cornerless;
            tally.backFrom[j] += node.count - node.cornerless;
        } else if (node.left >= 0) {
            stack.push_back(node.left);
            stack.push_back(node.right);
        } else {
            PassLeaf(node, family, j, last, tally);
            if (tally.maybeFront.size() + tally.maybeBack.size() > open) {
                return false;
            }
        }
    }
    const std::size_t kept = tally.maybeFront.size() + tally.maybeBack.size();
    if (kept_.fetch_add(kept) + kept > kMostOpen) {
        return false;
    }
    KeepTally(family, tally);
    return true;
}

// Its members are walked one by one. Each family has its own members, so
// threads passing different families write apart.
void ParallelPlanes::Disband(Family& family) {
    for (const int32_t i : family.members) {
        familyOf_[static_cast<std::size_t>(i)] = -1;
    }
}

// Each member's counts from the running sums, and its maybe-polygons
// gathered member by member.
void ParallelPlanes::KeepTally(Family& family, Tally& tally) {
    const std::size_t count = family.members.size();
    family.standings.assign(count, Standing{});
    int32_t front = 0, back = 0;
    for (std::size_t j = count; j-- > 0;) {
        front += tally.frontBelow[j + 1];
        family.standings[j].front = front;
    }
    for (std::size_t j = 0; j < count; ++j) {
        back += tally.backFrom[j];
        family.standings[j].back = back;
    }
    const std::size_t fronts = tally.maybeFront.size();
    family.maybe.resize(fronts + tally.maybeBack.size());
    std::vector<std::size_t> start(count + 1);
    const auto gather = [&](const std::vector<std::pair<int32_t, int32_t>>& pairs, std::size_t base,
                            std::span<const int32_t> Standing::*field) {
        std::fill(start.begin(), start.end(), 0);
        for (const auto& [member, poly] : pairs) {
            ++start[static_cast<std::size_t>(member) + 1];
        }
        for (std::size_t m = 0; m < count; ++m) {
            start[m + 1] += start[m];
            family.standings[m].*
                field = {family.maybe.data() + base + start[m], start[m + 1] - start[m]};
        }
        for (const auto& [member, poly] : pairs) {
            family.maybe[base + start[static_cast<std::size_t>(member)]++] = poly;
        }
    };
    gather(tally.maybeFront, 0, &Standing::maybeFront);
    gather(tally.maybeBack, fronts, &Standing::maybeBack);
}

// The polygons of a leaf one by one, from their corners' projections. Only
// members from first to last may have their planes near the leaf.
void ParallelPlanes::PassLeaf(const PolyBvh::Node& leaf, const Family& family, std::size_t first,
                              std::size_t last, Tally& tally) const {
    const double clear = kOnPlaneTolerance + family.reach;
    const double n0 = family.normal[0], n1 = family.normal[1], n2 = family.normal[2];
    const std::vector<double>& keys = family.keys;
    const std::vector<double>& tops = family.clusterTop;
    const double* clustersFrom = tops.data() + family.clusterOf[first];
    const double* clustersTo = tops.data() + family.clusterOf[last - 1] + 1;
    // The first member from first whose key is above v, or last: found
    // among the clusters first, most polygons lying between them.
    const auto Above = [&](double v) {
        const double* cluster = FirstAbove(clustersFrom, clustersTo, v);
        if (cluster == clustersTo) {
            return last;
        }
        const auto c = static_cast<std::size_t>(cluster - tops.data());
        const std::size_t from =
            std::max<std::size_t>(first, c == 0 ? 0 : family.clusterEnd[c - 1]);
        if (keys[from] > v) {
            return from;
        }
        const std::size_t to = std::min<std::size_t>(last, family.clusterEnd[c]);
        return static_cast<std::size_t>(FirstAbove(keys.data() + from, keys.data() + to, v) -
                                        keys.data());
    };
    const auto begin = static_cast<std::size_t>(leaf.first);
    for (std::size_t i = begin; i < begin + static_cast<std::size_t>(leaf.count); ++i) {
        const auto from = static_cast<std::size_t>(bvh_.cornerStart[i]);
        const auto to = static_cast<std::size_t>(bvh_.cornerStart[i + 1]);
        if (from == to) {
            continue;  // crosses every plane
        }
        double lo = INFINITY, hi = -INFINITY;
        for (std::size_t k = from; k < to; ++k) {
            const double p = n0 * static_cast<double>(bvh_.x[k]) +
                             n1 * static_cast<double>(bvh_.y[k]) +
                             n2 * static_cast<double>(bvh_.z[k]);
            lo = std::min(lo, p);
            hi = std::max(hi, p);
        }
        const int32_t poly = bvh_.order[i];
        // Surely in front of the members below the first m, maybe of those
        // from there up to the first whose plane it is surely not in front of.
        std::size_t m = Above(lo - clear);
        ++tally.frontBelow[m];
        for (; m < last && keys[m] < lo + clear; ++m) {
            tally.maybeFront.emplace_back(static_cast<int32_t>(m), poly);
        }
        // Surely not behind the members below the next m, maybe behind those
        // from there up to the first it is surely behind (backFrom).
        m = Above(hi - clear);
        for (; m < last && keys[m] < hi + clear; ++m) {
            tally.maybeBack.emplace_back(static_cast<int32_t>(m), poly);
        }
        ++tally.backFrom[m];
    }
}

}  // namespace tarvel
