#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/side_counting.h"

namespace tarvel::testing {

// Compares the counters the polygons say are known with a fresh count of
// every pair of the list; returns how many were known.
inline int ExpectKnownCountersExact(const std::vector<Poly>& polys) {
    std::vector<Poly> counted = polys;
    CountSidesLiteral(counted);
    int known = 0;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        if (!polys[i].countsKnown) {
            continue;
        }
        ++known;
        SCOPED_TRACE(i);
        EXPECT_EQ(polys[i].countInFront, counted[i].countInFront);
        EXPECT_EQ(polys[i].countInBack, counted[i].countInBack);
        EXPECT_EQ(polys[i].countOnFront, counted[i].countOnFront);
        EXPECT_EQ(polys[i].countOnBack, counted[i].countOnBack);
        EXPECT_EQ(polys[i].countCrossing, counted[i].countCrossing);
    }
    return known;
}

}  // namespace tarvel::testing
