#include "bsp/search/splitter_search.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <queue>

#include "bsp/parallel/share_out.h"
#include "bsp/search/carried_counts.h"
#include "bsp/search/plane_count.h"
#include "bsp/search/poly_bvh.h"
#include "bsp/side_counting.h"

namespace tarvel {

namespace {

// The first walk of every candidate stops this deep; each later one goes
// this much deeper than the last. A walk to depth k costs about as much as
// all the shallower ones together, so the repeats add little.
constexpr int32_t kFirstDepth = 2;
constexpr int32_t kDepthStep = 3;
// A candidate that may cross nothing is first walked to its first crossing,
// giving up after this many leaves: most planes cross something near the
// first groups they cannot decide.
constexpr int32_t kProbeLeaves = 8;
// Up to this many candidates without counters are counted outright, a side
// test per polygon: cheaper than a hierarchy over the list. Typical of a
// node in a chain, where only the pieces of the last cut come without.
constexpr std::size_t kCountedOutright = 8;
// Up to this many polygons the hierarchy is a single leaf and every
// candidate is counted in full at once: a pass over the corners per
// candidate costs less than building and descending a deeper hierarchy.
constexpr std::size_t kFlatPolys = 64;
// Below this many candidates one thread walks them all.
constexpr std::size_t kThreadedCandidates = 2048;

struct Candidate {
    int64_t bound = 0;  // the score is no lower than this
    int32_t index = 0;
    int32_t depth = 0;  // of the walk that gave the bound
    int32_t selfSide = 0;
    bool exact = false;  // the bound is the score
    bool crosses = false;
    bool probed = false;
};

// Lowest bound first, then lowest index: the order the choice ranks by.
struct RanksLater {
    bool operator()(const Candidate& x, const Candidate& y) const {
        return x.bound > y.bound || (x.bound == y.bound && x.index > y.index);
    }
};
using Queue = std::priority_queue<Candidate, std::vector<Candidate>, RanksLater>;

class Search {
  public:
    explicit Search(std::vector<Poly>& polys) : polys_(polys) {}

    std::optional<std::size_t> Run(unsigned threads) {
        std::vector<Candidate> candidates = FirstWalks(threads);
        if (std::all_of(candidates.begin(), candidates.end(),
                        [](const Candidate& c) { return c.exact; })) {
            return BestKnown(candidates);
        }
        Queue noCrossing, any;
        for (const Candidate& c : candidates) {
            (c.crosses ? any : noCrossing).push(c);
        }
        if (auto best = BestWithoutCrossing(noCrossing, any)) {
            return best;
        }
        return BestOfAll(any);
    }

  private:
    // The clipper polygons if there are any, else every polygon, each walked
    // to the first depth.
    std::vector<Candidate> FirstWalks(unsigned threads) {
        std::vector<Candidate> candidates;
        std::vector<std::size_t> unknown;  // positions in candidates
        const bool clippers = std::any_of(polys_.begin(), polys_.end(),
                                          [](const Poly& poly) { return poly.clipper; });
        for (std::size_t i = 0; i < polys_.size(); ++i) {
            if (!clippers || polys_[i].clipper) {
                Candidate c;
                c.index = static_cast<int32_t>(i);
                if (polys_[i].countsKnown) {
                    FromCounters(c, polys_[i]);
                } else {
                    unknown.push_back(candidates.size());
                }
                candidates.push_back(c);
            }
        }
        if (unknown.empty()) {
            return candidates;
        }
        if (unknown.size() <= kCountedOutright) {
            for (const std::size_t k : unknown) {
                CountOutright(candidates[k]);
            }
            return candidates;
        }
        const bool flat = polys_.size() <= kFlatPolys;
        bvh_ = flat ? FlatPolyBvh(polys_) : BuildPolyBvh(polys_);
        for (const std::size_t k : unknown) {
            Candidate& c = candidates[k];
            const auto i = static_cast<std::size_t>(c.index);
            c.selfSide = PolySide(polys_[i].plane, polys_[i]);
            c.crosses = !flat && CutsItsLastCrossed(i);
        }
        const CountLimits first = flat ? CountLimits{} : CountLimits{.maxDepth = kFirstDepth};
        const auto walk = [&](std::size_t begin, std::size_t step) {
            CountScratch scratch;
            for (std::size_t k = begin; k < unknown.size(); k += step) {
                Walk(candidates[unknown[k]], first, scratch);
            }
        };
        const std::size_t workers =
            unknown.size() >= kThreadedCandidates ? std::max(1u, threads) : 1;
        ShareOut(workers, walk);
        return candidates;
    }

    // A candidate whose counters are exact already needs no walk.
    static void FromCounters(Candidate& c, const Poly& poly) {
        c.bound = std::llabs(int64_t{poly.countInFront} - int64_t{poly.countInBack});
        c.exact = true;
        c.crosses = poly.countCrossing > 0;
    }

    // Every side test of the candidate's plane, one polygon after another.
    void CountOutright(Candidate& c) {
        const auto own = static_cast<std::size_t>(c.index);
        CountSidesOf(polys_, own);
        polys_[own].countsKnown = true;
        FromCounters(c, polys_[own]);
    }

    // With every score known: the lowest that crosses nothing, else the
    // lowest of all, the earlier of equal ones.
    static std::optional<std::size_t> BestKnown(const std::vector<Candidate>& candidates) {
        for (const bool allowCrossing : {false, true}) {
            const Candidate* best = nullptr;
            for (const Candidate& c : candidates) {
                if ((allowCrossing || !c.crosses) && (best == nullptr || c.bound < best->bound)) {
                    best = &c;
                }
            }
            if (best != nullptr) {
                return static_cast<std::size_t>(best->index);
            }
        }
        return std::nullopt;
    }

    // The best candidate that crosses nothing, if one does. Those found to
    // cross something move to `any`.
    std::optional<std::size_t> BestWithoutCrossing(Queue& noCrossing, Queue& any) {
        while (!noCrossing.empty()) {
            Candidate c = noCrossing.top();
            noCrossing.pop();
            if (c.exact) {
                return static_cast<std::size_t>(c.index);
            }
            CountLimits limits{.maxCrossings = Crossings(c)};
            if (c.probed) {
                limits.maxDepth = c.depth + kDepthStep;
            } else {
                c.probed = true;
                limits.maxLeaves = kProbeLeaves;
            }
            const int32_t crossed = Walk(c, limits, scratch_);
            if (crossed >= 0) {
                Poly& poly = polys_[static_cast<std::size_t>(c.index)];
                poly.crossedRank = polys_[static_cast<std::size_t>(crossed)].spatialRank;
            }
            (c.crosses ? any : noCrossing).push(c);
        }
        return std::nullopt;
    }

    std::optional<std::size_t> BestOfAll(Queue& any) {
        while (!any.empty()) {
            Candidate c = any.top();
            any.pop();
            if (c.exact) {
                return static_cast<std::size_t>(c.index);
            }
            Walk(c, CountLimits{.maxDepth = c.depth + kDepthStep}, scratch_);
            any.push(c);
        }
        return std::nullopt;
    }

    // The candidate's own polygon is counted by the walk but not by the
    // choice: a crossing of its own is not one.
    static int32_t Crossings(const Candidate& c) { return c.selfSide == xdCrossing ? 1 : 0; }

    // Whether the polygon's plane still cuts the one it was last found to
    // cut (any piece of it), if that is here.
    bool CutsItsLastCrossed(std::size_t index) const {
        const Poly& poly = polys_[index];
        if (poly.crossedRank < 0) {
            return false;
        }
        const auto rankOf = [this](int32_t i) {
            return polys_[static_cast<std::size_t>(i)].spatialRank;
        };
        const std::vector<int32_t>& order = bvh_->order;
        auto it = std::lower_bound(order.begin(), order.end(), poly.crossedRank,
                                   [&](int32_t i, int32_t rank) { return rankOf(i) < rank; });
        for (; it != order.end() && rankOf(*it) == poly.crossedRank; ++it) {
            const auto other = static_cast<std::size_t>(*it);
            if (other != index && PolySide(poly.plane, polys_[other]) == xdCrossing) {
                return true;
            }
        }
        return false;
    }

    // Walks the candidate's plane within the limits and tightens what is
    // known of it. A walk cut short still proves a crossing it found, but
    // bounds nothing. Returns the polygon found crossing when it stopped at
    // one, else -1.
    int32_t Walk(Candidate& c, CountLimits limits, CountScratch& scratch) const {
        Poly& poly = polys_[static_cast<std::size_t>(c.index)];
        limits.owner = c.index;
        PlaneCount walk = CountAgainst(polys_, *bvh_, poly.plane, limits, scratch);
        --walk.counts[static_cast<std::size_t>(c.selfSide)];
        c.crosses = c.crosses || walk.counts[xdCrossing] > 0;
        if (walk.end != CountEnd::Complete) {
            return walk.crossingPoly;
        }
        // The undecided polygons could all fall on either side.
        const int64_t lead = std::llabs(int64_t{walk.counts[xdInFront]} - walk.counts[xdInBack]);
        c.bound = std::max(c.bound, lead - walk.undecided);
        c.depth = limits.maxDepth;
        c.exact = walk.undecided == 0;
        if (c.exact) {
            // Only this thread writes this polygon; the others read no counters.
            KeepCounts(poly, walk.counts);
        }
        return -1;
    }

    std::vector<Poly>& polys_;
    // Built only when some candidate has to be walked.
    std::optional<PolyBvh> bvh_;
    CountScratch scratch_;
};

}  // namespace

std::optional<std::size_t> SearchSplitter(std::vector<Poly>& polys, unsigned threads) {
    if (polys.empty()) {
        return std::nullopt;
    }
    return Search(polys).Run(threads);
}

}  // namespace tarvel
