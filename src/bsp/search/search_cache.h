#pragma once

// What the fast build learns of a polygon while searching one node, kept for
// the nodes below that inherit it. The polygons move from list to list as
// the tree grows; each carries only a key (Poly::memoKey) to its entry here,
// and the build that made the keys owns the entries.

#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "bsp/geometry.h"

namespace tarvel {

// Plain data, so that a segment's entries cost memory only once written:
// a fresh entry is Fresh(), not a default one.
struct SearchMemo {
    // The polygon's place in the order of the last bounding-volume
    // hierarchy built over its ancestors' polygons, -1 before the first;
    // pieces keep their source's. Spatially close polygons have close ranks.
    int32_t spatialRank;
    // The spatial rank of a polygon this one's plane was last found to cut,
    // -1 if none: the nodes below, which mostly keep that polygon, check it
    // before looking for another.
    int32_t crossedRank;
    // That polygon's own key: while it is in the list uncut, the plane cuts
    // it still.
    int32_t crossedKey;
    // The polygon's side of its own plane, once found with its plane known.
    Side selfSide;
    bool selfSideKnown;
    // Whether the polygon's plane is ComputePlane's result for its points.
    // A polygon's points never change once it is made (a cut makes new
    // pieces), so each plane is computed once instead of at every node.
    bool planeKnown;
    // Whether the polygon's five counters are exact for the list it is in
    // now. The search finds them and the build keeps them up to date for a
    // child that inherits nearly the whole list.
    bool countsKnown;

    // Nothing known of the polygon yet.
    static constexpr SearchMemo Fresh() {
        return SearchMemo{.spatialRank = -1,
                          .crossedRank = -1,
                          .crossedKey = -1,
                          .selfSide = Side::xdOnFront,
                          .selfSideKnown = false,
                          .planeKnown = false,
                          .countsKnown = false};
    }
};

// Entries are only ever added, by one thread (the build's), and never move:
// other threads may meanwhile read and write the entries of the polygons
// handed to them. Each segment is twice the size of the one before, so the
// table of segments is fixed and a small build allocates little; a segment's
// pages are taken only as its entries are written, so a large build's last
// segment, up to half empty, costs no more than what it holds.
static_assert(std::is_trivially_default_constructible_v<SearchMemo>);

class SearchCache {
  public:
    // Gives every polygon a fresh entry: nothing known of it yet.
    void Enter(std::vector<Poly>& polys);
    // Gives every polygon the entry HandOver took from another build's
    // cache, in list order.
    void Enter(std::vector<Poly>& polys, const std::vector<SearchMemo>& handedOver);
    // The entries of the polygons, for a build of their own with a cache of
    // its own. What refers to another entry by its key is dropped: keys are
    // this cache's.
    std::vector<SearchMemo> HandOver(const std::vector<Poly>& polys) const;
    // A piece cut from source gets a fresh entry with source's spatial rank.
    void EnterPiece(Poly& piece, const Poly& source);

    SearchMemo& operator[](const Poly& poly) {
        const Slot slot = SlotOf(poly.memoKey);
        return segments_[slot.segment][slot.offset];
    }
    const SearchMemo& operator[](const Poly& poly) const {
        const Slot slot = SlotOf(poly.memoKey);
        return segments_[slot.segment][slot.offset];
    }

  private:
    static constexpr int kFirstBits = 10;
    static constexpr int kSegments = 32 - kFirstBits;

    struct Slot {
        std::size_t segment, offset;
    };
    // Entry k lives in the segment of the highest bit of k + 2^kFirstBits.
    static Slot SlotOf(int32_t key) {
        assert(key >= 0);
        const auto shifted = static_cast<uint32_t>(key) + (1u << kFirstBits);
        const auto segment = static_cast<std::size_t>(std::bit_width(shifted) - 1 - kFirstBits);
        return Slot{segment, shifted - (std::size_t{1} << (segment + kFirstBits))};
    }
    int32_t Add(const SearchMemo& memo);

    std::array<std::unique_ptr<SearchMemo[]>, kSegments> segments_;
    int32_t size_ = 0;
};

}  // namespace tarvel
