#pragma once

// Candidates of a node whose planes are parallel, or nearly so: the caps and
// walls of parts that share an axis, the storeys of a building, the facets of
// one direction on every copy of a part. Their normals differ only in the
// last bits the scene's text rounded away, so all of them see the node's
// polygons in the same order along the family's normal. One pass over the
// polygons, each projected once, settles for every member which polygons lie
// surely in front of its plane or surely behind it; a member then tests only
// the few polygons close to its own plane.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/poly_bvh.h"

namespace tarvel {

struct NodeExtent;

class ParallelPlanes {
  public:
    // What one member's plane knows of the polygons after its family's pass.
    struct Standing {
        // Polygons wholly in front, wholly behind.
        int32_t front = 0;
        int32_t back = 0;
        // Polygons that may or may not be in front, or behind: too close to
        // the plane for the family's bounds. By list position.
        std::span<const int32_t> maybeFront;
        std::span<const int32_t> maybeBack;
    };

    // Families among the planes of polys[candidates[k]], over the polygons
    // the hierarchy holds (all of polys).
    ParallelPlanes(const std::vector<Poly>& polys, const PolyBvh& bvh,
                   const std::vector<int32_t>& candidates);
    ~ParallelPlanes();
    ParallelPlanes(const ParallelPlanes&) = delete;
    ParallelPlanes& operator=(const ParallelPlanes&) = delete;

    // Whether the plane of polys[index] belongs to a family.
    bool Has(int32_t index) const { return familyOf_[static_cast<std::size_t>(index)] >= 0; }

    // Runs every family's pass, on up to `threads` threads. A family whose
    // planes would leave too many polygons to test one by one is given up.
    void PassAll(unsigned threads);

    // The standing of the plane of polys[index], which has a family, once
    // the passes have run.
    const Standing& Of(int32_t index) const;

    // The polygons in front of the plane of polys[index] and behind it, its
    // own included, as PolySide has them: the standing with the polygons it
    // left open tested.
    struct FrontBack {
        int64_t front = 0;
        int64_t back = 0;
    };
    FrontBack Count(int32_t index) const;

  private:
    struct Family;
    class KeyIndex;
    struct Tally;

    void AddFamily(const std::vector<int32_t>& planes, const NodeExtent& extent);
    // False when the family leaves too many polygons open to pay, or more
    // than the node's families may keep.
    bool Pass(Family& family, Tally& tally);
    void Disband(Family& family);
    void PassLeaf(const PolyBvh::Node& leaf, const Family& family, std::size_t first,
                  std::size_t last, Tally& tally) const;
    static void KeepTally(Family& family, Tally& tally);

    const std::vector<Poly>& polys_;
    const PolyBvh& bvh_;
    std::vector<int32_t> familyOf_;  // by list position, -1 for none
    std::vector<int32_t> memberOf_;  // position among its family's members
    std::vector<std::unique_ptr<Family>> families_;
    std::atomic<std::size_t> kept_{0};  // open polygons the families keep
};

}  // namespace tarvel
