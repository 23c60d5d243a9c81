#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/search_cache.h"
#include "bsp/side_counting.h"

namespace tarvel::testing {

// The five counters of a polygon against those of a reference count.
inline void ExpectSameCounters(const Poly& got, const Poly& want) {
    EXPECT_EQ(got.countInFront, want.countInFront);
    EXPECT_EQ(got.countInBack, want.countInBack);
    EXPECT_EQ(got.countOnFront, want.countOnFront);
    EXPECT_EQ(got.countOnBack, want.countOnBack);
    EXPECT_EQ(got.countCrossing, want.countCrossing);
}

// Compares the counters the polygons say are known with a fresh count of
// every pair of the list; returns how many were known.
inline int ExpectKnownCountersExact(const std::vector<Poly>& polys, const SearchCache& cache) {
    std::vector<Poly> counted = polys;
    CountSidesLiteral(counted);
    int known = 0;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        if (!cache[polys[i]].countsKnown) {
            continue;
        }
        ++known;
        SCOPED_TRACE(i);
        ExpectSameCounters(polys[i], counted[i]);
    }
    return known;
}

}  // namespace tarvel::testing
