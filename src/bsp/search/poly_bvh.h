#pragma once

// A bounding-volume hierarchy over a node's polygons, so that a plane can
// decide whole groups of them at once, with the polygons' corners stored
// leaf by leaf for a tight per-corner pass over the groups it cannot decide.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/search_cache.h"

namespace tarvel {

struct Box {
    double lo[3] = {0, 0, 0};
    double hi[3] = {0, 0, 0};
    bool finite = true;
};

// Where a box lies against a plane, decided only when every point in it
// would get that side from the point test; Unknown otherwise.
enum class BoxSide { Front, Back, On, Unknown };

// Where boxes lie against one plane, with what depends on the plane alone
// worked out once: a walk tests many boxes against the same plane.
class BoxClassifier {
  public:
    explicit BoxClassifier(const Plane& plane)
        : n_{plane.a, plane.b, plane.c},
          absN_{std::fabs(n_[0]), std::fabs(n_[1]), std::fabs(n_[2])},
          d_(plane.d),
          absD_(std::fabs(d_)) {}

    BoxSide operator()(const Box& box) const {
        if (!box.finite) {
            return BoxSide::Unknown;
        }
        double lo = d_, hi = d_, scale = absD_;
        for (int k = 0; k < 3; ++k) {
            const double near = n_[k] >= 0 ? box.lo[k] : box.hi[k];
            const double far = n_[k] >= 0 ? box.hi[k] : box.lo[k];
            lo += n_[k] * near;
            hi += n_[k] * far;
            scale += absN_[k] * std::max(std::fabs(box.lo[k]), std::fabs(box.hi[k]));
        }
        // The point test sums in double and rounds to float; its double
        // result is within a few units in the last place of `scale` of the
        // exact distance, and so are lo and hi. 1e-12 is a wide safety
        // margin over that.
        const double margin = scale * 1e-12;
        if (lo - margin >= kOnPlaneTolerance) {
            return BoxSide::Front;
        }
        if (hi + margin <= -kOnPlaneTolerance) {
            return BoxSide::Back;
        }
        if (lo - margin >= -kBelowOnPlaneTolerance && hi + margin <= kBelowOnPlaneTolerance) {
            return BoxSide::On;
        }
        return BoxSide::Unknown;
    }

  private:
    double n_[3];
    double absN_[3];
    double d_;
    double absD_;
};

struct PolyBvh {
    struct Node {
        Box box;
        int32_t first = 0, count = 0;   // the range of `order` below this node
        int32_t left = -1, right = -1;  // children, -1 for a leaf
        int32_t cornerless = 0;         // polygons without points, which cross everything
    };
    std::vector<Node> nodes;     // nodes[0] is the root
    std::vector<int32_t> order;  // polygon indices, grouped by node
    // The corners of polygon order[i] are x/y/z[cornerStart[i] .. cornerStart[i + 1]).
    std::vector<int32_t> cornerStart;
    std::vector<float> x, y, z;
    // Built with a cache: each polygon's spatial rank by list position, as
    // the cache holds it afterwards.
    std::vector<int32_t> ranks;
};

inline constexpr int32_t kBvhLeafSize = 16;

// Needs at least one polygon. When the cache gives every polygon a spatial
// rank, the hierarchy follows the ranks (halving their order) instead of
// partitioning the boxes afresh, which is most of the cost of a build;
// otherwise it partitions, and numbers the polygons in its order in the
// cache, if any, for the nodes below.
PolyBvh BuildPolyBvh(const std::vector<Poly>& polys, SearchCache* cache = nullptr);

// One leaf over the whole list, in list order: for a short list a walk is a
// single vectorised pass over its corners, and the hierarchy costs next to
// nothing to make. Leaves the spatial ranks alone.
PolyBvh FlatPolyBvh(const std::vector<Poly>& polys);

}  // namespace tarvel
