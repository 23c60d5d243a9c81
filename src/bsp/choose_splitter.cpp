#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/search/splitter_search.h"
#include "bsp/side_counting.h"
#include "log/fast_format.h"
#include "log/log.h"
#include "log/thread_budget.h"

namespace tarvel {

namespace {

struct Pass {
    bool clippersOnly;
    bool noCrossings;
    int64_t ceiling;  // a candidate must score below this
};

// Clipper polygons win even when they cut others; after them, a polygon that
// cuts nothing is preferred to one that does.
constexpr Pass kPasses[] = {
    {true, true, 10'000'000},
    {true, false, 100'000'000},
    {false, true, 100'000'000},
    {false, false, 100'000'000},
};

// How unevenly the polygon's plane divides the others; smaller is better.
int64_t Score(const Poly& poly) {
    return std::llabs(int64_t{poly.countInFront} - int64_t{poly.countInBack});
}

// The first admitted polygon with the lowest score: strict comparison, so
// the earlier of two equal scores stays.
std::optional<std::size_t> BestOf(const std::vector<Poly>& polys, const Pass& pass) {
    std::optional<std::size_t> best;
    int64_t bestScore = pass.ceiling;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        const Poly& poly = polys[k];
        if ((pass.clippersOnly && !poly.clipper) || (pass.noCrossings && poly.countCrossing != 0)) {
            continue;
        }
        const int64_t score = Score(poly);
        if (score < bestScore) {
            bestScore = score;
            best = k;
        }
    }
    return best;
}

// From the counters of every polygon.
std::optional<std::size_t> BestCounted(const std::vector<Poly>& polys) {
    for (const Pass& pass : kPasses) {
        if (auto chosen = BestOf(polys, pass)) {
            return chosen;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> UseSplitter(BSPNode& node, std::optional<std::size_t> chosen) {
    const std::vector<Poly>& polys = node.polys.items;
    if (!chosen && !polys.empty()) {
        chosen = 0;
    }
    if (!chosen) {
        ShowMessageBox("ARSE!");
        return std::nullopt;
    }
    node.plane = polys[*chosen].plane;
    const Plane& p = node.plane;
    LogFileWrite([&](std::string& out) {
        out.append("Plane of best splitter [");
        AppendInt(out, static_cast<int>(*chosen), 0);
        out.append("]: (");
        AppendFixed(out, p.a, 0, 6);
        out.append(", ");
        AppendFixed(out, p.b, 0, 6);
        out.append(", ");
        AppendFixed(out, p.c, 0, 6);
        out.append(") x ");
        AppendFixed(out, p.d, 0, 6);
        out.push_back('\n');
    });
    return chosen;
}

std::optional<std::size_t> ChooseSplitter(BSPNode& node) {
    return UseSplitter(node, BestCounted(node.polys.items));
}

std::optional<std::size_t> ChooseSplitter(BSPNode& node, const BuildPlan& plan,
                                          SearchCache* cache) {
    if (plan.countEverySide || node.polys.items.size() > kMaxSearchedPolys) {
        return ChooseSplitter(node);
    }
    assert(cache != nullptr);
    return UseSplitter(node, SearchSplitter(node.polys.items, *cache, MachineCores()));
}

}  // namespace tarvel
