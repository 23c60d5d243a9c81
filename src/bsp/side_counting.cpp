#include "bsp/side_counting.h"

#include <cstddef>

#include "bsp/search/side_counting_fast.h"
#include "log/thread_budget.h"

namespace tarvel {

void CountSidesOf(std::vector<Poly>& polys, std::size_t i) {
    Poly& poly = polys[i];
    poly.ResetCounters();
    for (std::size_t j = 0; j < polys.size(); ++j) {
        if (j != i) {
            TallySide(poly, PolySide(poly.plane, polys[j]));
        }
    }
}

void CountSidesLiteral(std::vector<Poly>& polys) {
    for (std::size_t i = 0; i < polys.size(); ++i) {
        CountSidesOf(polys, i);
    }
}

void CountSides(std::vector<Poly>& polys, BuildStrategy strategy) {
    switch (strategy) {
        case BuildStrategy::Literal:
            CountSidesLiteral(polys);
            break;
        case BuildStrategy::Fast:
            CountSidesFast(polys, MachineCores());
            break;
    }
}

}  // namespace tarvel
