#include "bsp/search/side_counting_fast.h"

#include "bsp/parallel/share_out.h"
#include "bsp/search/plane_count.h"
#include "bsp/search/poly_bvh.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace tarvel {

namespace {

using Counts = SideCounts;

struct PlaneKey {
    uint32_t bits[4];
    bool operator==(const PlaneKey&) const = default;
};

struct PlaneKeyHash {
    std::size_t operator()(const PlaneKey& k) const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (uint32_t b : k.bits) {
            h = (h ^ b) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        return static_cast<std::size_t>(h);
    }
};

PlaneKey KeyOf(const Plane& p) {
    return PlaneKey{{std::bit_cast<uint32_t>(p.a), std::bit_cast<uint32_t>(p.b),
                     std::bit_cast<uint32_t>(p.c), std::bit_cast<uint32_t>(p.d)}};
}

void StoreCounts(Poly& poly, Counts counts) {
    // The literal count runs over the other polygons only.
    --counts[PolySide(poly.plane, poly)];
    poly.countInFront = counts[Side::xdInFront];
    poly.countInBack = counts[Side::xdInBack];
    poly.countOnFront = counts[Side::xdOnFront];
    poly.countOnBack = counts[Side::xdOnBack];
    poly.countCrossing = counts[Side::xdCrossing];
}

}  // namespace

void CountSidesFast(std::vector<Poly>& polys, unsigned threads, SearchCache* cache) {
    if (polys.empty()) {
        return;
    }
    const PolyBvh bvh = BuildPolyBvh(polys, cache);

    // One representative polygon per distinct plane.
    std::unordered_map<PlaneKey, int32_t, PlaneKeyHash> planeIds;
    std::vector<int32_t> planeOf(polys.size());
    std::vector<Plane> planes;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        auto [it, added] =
            planeIds.emplace(KeyOf(polys[i].plane), static_cast<int32_t>(planes.size()));
        if (added) {
            planes.push_back(polys[i].plane);
        }
        planeOf[i] = it->second;
    }

    std::vector<Counts> planeCounts(planes.size());
    auto work = [&](std::size_t begin, std::size_t step) {
        CountScratch scratch;
        for (std::size_t p = begin; p < planes.size(); p += step) {
            planeCounts[p] = CountAgainst(polys, bvh, planes[p], CountLimits{}, scratch).counts;
        }
    };
    const std::size_t workers = polys.size() >= 2048 ? std::max(1u, threads) : 1;
    ShareOut(workers, work);
    for (std::size_t i = 0; i < polys.size(); ++i) {
        StoreCounts(polys[i], planeCounts[static_cast<std::size_t>(planeOf[i])]);
    }
}

}  // namespace tarvel
