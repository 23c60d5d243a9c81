#include "bsp/search/splitter_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <queue>

#include "bsp/parallel/share_out.h"
#include "bsp/search/carried_counts.h"
#include "bsp/search/parallel_planes.h"
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
// From this many polygons on, the walks that tell close scores apart are
// shared between threads.
constexpr std::size_t kSharedPolys = 1024;
// From this many polygons on, parallel planes are counted by family.
constexpr std::size_t kFamilyPolys = 1024;

struct Candidate {
    int64_t bound = 0;  // the score is no lower than this
    int32_t index = 0;
    int32_t depth = 0;  // of the walk that gave the bound
    Side selfSide = Side::xdInFront;
    bool exact = false;  // the bound is the score
    bool crosses = false;
    bool probed = false;
    // Not walked yet: known to cross from the polygon it cut in the node
    // above, which is all the search needs of it until the lowest score of
    // all is wanted.
    bool unwalked = false;
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
    Search(std::vector<Poly>& polys, SearchCache& cache, unsigned threads)
        : polys_(polys), cache_(cache), threads_(threads) {}

    std::optional<std::size_t> Run() {
        const std::optional<std::size_t> best = Choose();
        HandToFollowers();
        return best;
    }

  private:
    std::optional<std::size_t> Choose() {
        std::vector<Candidate> candidates = FirstWalks();
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
        WalkTheUnwalked(any);
        return BestOfAll(any);
    }

    // The clipper polygons if there are any, else every polygon, each walked
    // to the first depth unless it is known to cross something.
    std::vector<Candidate> FirstWalks() {
        const bool clippers = std::any_of(polys_.begin(), polys_.end(),
                                          [](const Poly& poly) { return poly.clipper; });
        std::vector<int32_t> unknownPolys;
        for (std::size_t i = 0; i < polys_.size(); ++i) {
            if ((!clippers || polys_[i].clipper) && !cache_[polys_[i]].countsKnown) {
                unknownPolys.push_back(static_cast<int32_t>(i));
            }
        }
        const bool walked = unknownPolys.size() > kCountedOutright;
        std::vector<std::optional<Side>> selfSides(walked ? polys_.size() : 0);
        if (walked) {
            for (const int32_t i : unknownPolys) {
                const auto k = static_cast<std::size_t>(i);
                selfSides[k] = SelfSide(polys_[k]);
            }
            FindSharedPlanes(unknownPolys, selfSides);
        }
        std::vector<Candidate> candidates;
        candidates.reserve(polys_.size());
        std::vector<std::size_t> unknown;  // positions in candidates
        std::size_t nextUnknown = 0;       // unknownPolys is in list order
        for (std::size_t i = 0; i < polys_.size(); ++i) {
            const bool known = nextUnknown == unknownPolys.size() ||
                               unknownPolys[nextUnknown] != static_cast<int32_t>(i);
            nextUnknown += known ? 0 : 1;
            if ((clippers && !polys_[i].clipper) || (walked && IsFollower(i))) {
                continue;
            }
            Candidate c;
            c.index = static_cast<int32_t>(i);
            if (known) {
                FromCounters(c, polys_[i]);
            } else if (!walked) {
                CountOutright(c);
            } else {
                c.selfSide = *selfSides[i];
                unknown.push_back(candidates.size());
            }
            candidates.push_back(c);
        }
        if (unknown.empty()) {
            return candidates;
        }
        const bool flat = polys_.size() <= kFlatPolys;
        if (flat) {
            bvh_ = FlatPolyBvh(polys_);
        } else if (!IndexRanks(CachedRanks())) {
            // The first hierarchy over these polygons ranks them.
            EnsureBvh();
            IndexRanks(bvh_->ranks);
        }
        std::vector<Candidate*> open;
        for (const std::size_t k : unknown) {
            Candidate& c = candidates[k];
            c.crosses = !flat && CutsItsLastCrossed(static_cast<std::size_t>(c.index));
            c.unwalked = c.crosses;
            if (!c.crosses) {
                open.push_back(&c);
            }
        }
        if (!open.empty()) {
            EnsureBvh();
            FirstWalk(open, flat ? CountLimits{} : CountLimits{.maxDepth = kFirstDepth});
        }
        return candidates;
    }

    // In a chain that peels a few polygons at a time off a large list,
    // every candidate is often known or known to cross, and the hierarchy
    // over the whole list, most of such a node's cost, is never walked. It
    // is made when a walk first needs it, always before walks are shared
    // out. Built over ranked polygons, it leaves the cache as it was, so
    // made late it is the one made early.
    void EnsureBvh() {
        if (!bvh_) {
            bvh_ = BuildPolyBvh(polys_, &cache_);
        }
    }

    // In a node that peels a few polygons off a large list, almost every
    // plane still cuts what it cut above, and the best one that cuts
    // nothing is found without walking those at all. Only when the lowest
    // score of all is wanted are they walked, all at once, but for the
    // members of a family: its pass bounds them.
    void WalkTheUnwalked(Queue& any) {
        EnsureBvh();
        std::vector<Candidate> all = Drain(any);
        FindFamilies(all);
        std::vector<Candidate*> unwalked;
        for (Candidate& c : all) {
            if (InFamily(c)) {
                BoundByFamily(c);
            } else if (c.unwalked) {
                c.unwalked = false;
                unwalked.push_back(&c);
            }
        }
        FirstWalk(unwalked, CountLimits{.maxDepth = kFirstDepth});
        any = Queue(RanksLater{}, std::move(all));
    }

    void FirstWalk(const std::vector<Candidate*>& candidates, const CountLimits& limits) {
        const auto walk = [&](std::size_t begin, std::size_t step) {
            CountScratch scratch;
            for (std::size_t k = begin; k < candidates.size(); k += step) {
                Walk(*candidates[k], limits, scratch);
            }
        };
        const std::size_t workers =
            candidates.size() >= kThreadedCandidates ? std::max(1u, threads_) : 1;
        ShareOut(workers, walk);
    }

    // Polygons on one plane (the same coefficients, bit for bit) that lie
    // on the same side of it themselves get the same counts and score, so
    // only the first of them is walked and the others follow it. Mechanical
    // and architectural scenes have many such planes: every triangle of a
    // flat face, and both halves of each quad.
    void FindSharedPlanes(const std::vector<int32_t>& polys,
                          const std::vector<std::optional<Side>>& selfSides) {
        using Key = std::array<uint32_t, 5>;
        const auto key = [&](int32_t i) {
            const Plane& p = polys_[static_cast<std::size_t>(i)].plane;
            return Key{std::bit_cast<uint32_t>(p.a), std::bit_cast<uint32_t>(p.b),
                       std::bit_cast<uint32_t>(p.c), std::bit_cast<uint32_t>(p.d),
                       static_cast<uint32_t>(*selfSides[static_cast<std::size_t>(i)])};
        };
        // Open addressing over the leaders; taken in list order, the first
        // polygon of a plane leads it.
        const std::size_t slots = std::bit_ceil(2 * polys.size());
        std::vector<int32_t> leaders(slots, -1);
        leaderOf_.assign(polys_.size(), -1);
        for (const int32_t i : polys) {
            const Key k = key(i);
            uint64_t hash = 0;
            for (const uint32_t word : k) {
                hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
            }
            for (std::size_t slot = (hash >> 32) & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
                if (leaders[slot] < 0) {
                    leaders[slot] = i;
                    break;
                }
                if (key(leaders[slot]) == k) {
                    leaderOf_[static_cast<std::size_t>(i)] = leaders[slot];
                    break;
                }
            }
        }
    }

    bool IsFollower(std::size_t index) const { return !leaderOf_.empty() && leaderOf_[index] >= 0; }

    // The followers take what their leader's walk made exact.
    void HandToFollowers() {
        for (std::size_t i = 0; i < leaderOf_.size(); ++i) {
            if (leaderOf_[i] < 0) {
                continue;
            }
            const Poly& leader = polys_[static_cast<std::size_t>(leaderOf_[i])];
            if (cache_[leader].countsKnown) {
                Poly& follower = polys_[i];
                follower.countInFront = leader.countInFront;
                follower.countInBack = leader.countInBack;
                follower.countOnFront = leader.countOnFront;
                follower.countOnBack = leader.countOnBack;
                follower.countCrossing = leader.countCrossing;
                cache_[follower].countsKnown = true;
            }
        }
    }

    // The polygon's side of its own plane. It cannot change while the plane
    // stays, so a polygon whose plane is known keeps it for the nodes below:
    // in a chain of large nodes it would be found again at every one.
    Side SelfSide(const Poly& poly) const {
        SearchMemo& memo = cache_[poly];
        if (memo.selfSideKnown) {
            return memo.selfSide;
        }
        const Side side = PolySide(poly.plane, poly);
        memo.selfSide = side;
        memo.selfSideKnown = memo.planeKnown;
        return side;
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
        cache_[polys_[own]].countsKnown = true;
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
        const auto walk = [this](Candidate& c, CountScratch& scratch) {
            CountLimits limits{.maxCrossings = Crossings(c)};
            if (c.probed) {
                limits.maxDepth = c.depth + kDepthStep;
            } else {
                c.probed = true;
                limits.maxLeaves = kProbeLeaves;
            }
            const int32_t crossed = Walk(c, limits, scratch);
            if (crossed >= 0) {
                SearchMemo& memo = cache_[polys_[static_cast<std::size_t>(c.index)]];
                const Poly& cut = polys_[static_cast<std::size_t>(crossed)];
                memo.crossedRank = cache_[cut].spatialRank;
                memo.crossedKey = cut.memoKey;
            }
        };
        if (!noCrossing.empty() && !noCrossing.top().exact) {
            EnsureBvh();
        }
        return WalkUntilExact(noCrossing, walk,
                              [&](const Candidate& c) { (c.crosses ? any : noCrossing).push(c); });
    }

    // Every candidate crosses something: the lowest score of all.
    std::optional<std::size_t> BestOfAll(Queue& any) {
        return WalkUntilExact(
            any,
            [this](Candidate& c, CountScratch& scratch) {
                if (InFamily(c)) {
                    ScoreInFamily(c);
                } else {
                    Walk(c, CountLimits{.maxDepth = c.depth + kDepthStep}, scratch);
                }
            },
            [&any](const Candidate& c) { any.push(c); });
    }

    // Where thousands of planes cross something, walking each one deeper on
    // its own counts the same polygons over and over; planes that share a
    // normal can share the counting.
    void FindFamilies(const std::vector<Candidate>& all) {
        if (!bvh_ || polys_.size() < kFamilyPolys) {
            return;
        }
        std::vector<int32_t> open;
        for (const Candidate& c : all) {
            if (!c.exact) {
                open.push_back(c.index);
            }
        }
        std::sort(open.begin(), open.end());
        families_.emplace(polys_, *bvh_, open);
        families_->PassAll(threads_);
    }

    bool InFamily(const Candidate& c) const { return families_ && families_->Has(c.index); }

    // What a member's family pass settled bounds its score before the
    // member is queued: most members never need more.
    void BoundByFamily(Candidate& c) const {
        const ParallelPlanes::Standing& standing = families_->Of(c.index);
        // Its own polygon, counted by the pass, may be on either side.
        const int64_t lead = int64_t{standing.front} - standing.back;
        const int64_t lowest = lead - static_cast<int64_t>(standing.maybeBack.size()) - 1;
        const int64_t highest = lead + static_cast<int64_t>(standing.maybeFront.size()) + 1;
        const int64_t bound = lowest > 0 ? lowest : highest < 0 ? -highest : 0;
        c.bound = std::max(c.bound, bound);
    }

    // A member's turn makes its score exact by testing only the polygons
    // its family's pass left open. Only the score is found, not every
    // counter.
    void ScoreInFamily(Candidate& c) {
        // Its own polygon is counted by the pass but not by the score.
        const int32_t ownFront = c.selfSide == Side::xdInFront ? 1 : 0;
        const int32_t ownBack = c.selfSide == Side::xdInBack ? 1 : 0;
        const auto [front, back] = families_->Count(c.index);
        c.bound = std::llabs((front - ownFront) - (back - ownBack));
        c.exact = true;
    }

    static std::vector<Candidate> Drain(Queue& queue) {
        std::vector<Candidate> all;
        all.reserve(queue.size());
        for (; !queue.empty(); queue.pop()) {
            all.push_back(queue.top());
        }
        return all;
    }

    // Walks the lowest bound of the queue deeper (walk), queues it again
    // (requeue) and so on until the lowest bound is exact: that candidate, or
    // none once the queue is empty. Where every plane crosses something and
    // thousands of bounds lie close together, that takes hundreds of
    // thousands of walks of a few microseconds each, in a large node shared
    // between threads that take turns at the queue. A walk only tightens a
    // bound, so walking more than one thread would have gives the same
    // choice: an exact bound on top is it once no candidate that might rank
    // before it is still being walked.
    template <typename WalkOne, typename Requeue>
    std::optional<std::size_t> WalkUntilExact(Queue& queue, const WalkOne& walk,
                                              const Requeue& requeue) const {
        std::mutex mutex;
        std::condition_variable returned;
        int walking = 0;
        bool finished = false;
        bool failed = false;  // a walk threw: the others stop too
        std::optional<std::size_t> best;
        const auto turns = [&](std::unique_lock<std::mutex>& lock, CountScratch& scratch) {
            while (!finished && !failed) {
                if (!queue.empty() && !queue.top().exact) {
                    Candidate c = queue.top();
                    queue.pop();
                    ++walking;
                    lock.unlock();
                    walk(c, scratch);
                    lock.lock();
                    --walking;
                    requeue(c);
                    returned.notify_all();
                } else if (walking == 0) {
                    finished = true;
                    if (!queue.empty()) {
                        best = static_cast<std::size_t>(queue.top().index);
                    }
                    returned.notify_all();
                } else {
                    returned.wait(lock);
                }
            }
        };
        const auto work = [&](std::size_t, std::size_t) {
            CountScratch scratch;
            std::unique_lock lock(mutex);
            try {
                turns(lock, scratch);
            } catch (...) {
                // The others would wait for this walk's candidate forever.
                if (!lock.owns_lock()) {
                    lock.lock();
                }
                failed = true;
                returned.notify_all();
                throw;
            }
        };
        ShareOut(polys_.size() >= kSharedPolys ? threads_ : 1, work);
        return best;
    }

    // The candidate's own polygon is counted by the walk but not by the
    // choice: a crossing of its own is not one.
    static int32_t Crossings(const Candidate& c) { return c.selfSide == Side::xdCrossing ? 1 : 0; }

    // Each polygon's spatial rank, or nothing when one has none yet.
    std::vector<int32_t> CachedRanks() const {
        std::vector<int32_t> ranks;
        ranks.reserve(polys_.size());
        for (const Poly& poly : polys_) {
            const int32_t rank = cache_[poly].spatialRank;
            if (rank < 0) {
                return {};
            }
            ranks.push_back(rank);
        }
        return ranks;
    }

    // The list's positions sorted by spatial rank, and where each rank
    // starts among them: every candidate looks one up, and a binary search
    // over the polygons was a tenth of a large build. A node's polygons lie
    // close together, and so do their ranks. False for no ranks.
    bool IndexRanks(const std::vector<int32_t>& ranks) {
        if (ranks.empty()) {
            return false;
        }
        const auto [least, most] = std::minmax_element(ranks.begin(), ranks.end());
        firstRank_ = *least;
        rankStart_.assign(static_cast<std::size_t>(*most - firstRank_) + 2, 0);
        for (const int32_t rank : ranks) {
            ++rankStart_[static_cast<std::size_t>(rank - firstRank_) + 1];
        }
        for (std::size_t r = 1; r < rankStart_.size(); ++r) {
            rankStart_[r] += rankStart_[r - 1];
        }
        byRank_.resize(ranks.size());
        std::vector<int32_t> next(rankStart_.begin(), rankStart_.end() - 1);
        for (std::size_t i = 0; i < ranks.size(); ++i) {
            const auto r = static_cast<std::size_t>(ranks[i] - firstRank_);
            byRank_[static_cast<std::size_t>(next[r]++)] = static_cast<int32_t>(i);
        }
        return true;
    }

    // Whether the polygon's plane still cuts the one it was last found to
    // cut (any piece of it), if that is here.
    bool CutsItsLastCrossed(std::size_t index) const {
        const Poly& poly = polys_[index];
        const int32_t crossedRank = cache_[poly].crossedRank;
        if (crossedRank < 0) {
            return false;
        }
        if (crossedRank < firstRank_ ||
            static_cast<std::size_t>(crossedRank - firstRank_) + 1 >= rankStart_.size()) {
            return false;
        }
        const auto rank = static_cast<std::size_t>(crossedRank - firstRank_);
        const auto begin = static_cast<std::size_t>(rankStart_[rank]);
        const auto end = static_cast<std::size_t>(rankStart_[rank + 1]);
        // The very polygon it cut is cut still: its plane and points are
        // the same. Only the pieces of a later cut need a side test.
        const int32_t crossedKey = cache_[poly].crossedKey;
        for (std::size_t k = begin; k < end; ++k) {
            const auto other = static_cast<std::size_t>(byRank_[k]);
            if (other != index && polys_[other].memoKey == crossedKey) {
                return true;
            }
        }
        for (std::size_t k = begin; k < end; ++k) {
            const auto other = static_cast<std::size_t>(byRank_[k]);
            if (other != index && PolySide(poly.plane, polys_[other]) == Side::xdCrossing) {
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
        --walk.counts[c.selfSide];
        c.crosses = c.crosses || walk.counts[Side::xdCrossing] > 0;
        if (walk.end != CountEnd::Complete) {
            return walk.crossingPoly;
        }
        // The undecided polygons could all fall on either side.
        const int64_t lead =
            std::llabs(int64_t{walk.counts[Side::xdInFront]} - walk.counts[Side::xdInBack]);
        c.bound = std::max(c.bound, lead - walk.undecided);
        c.depth = limits.maxDepth;
        c.exact = walk.undecided == 0;
        if (c.exact) {
            // Only this thread writes this polygon; the others read no counters.
            KeepCounts(poly, walk.counts, cache_);
        }
        return -1;
    }

    std::vector<Poly>& polys_;
    SearchCache& cache_;
    unsigned threads_;
    // Per polygon, the earlier one on the same plane that is walked for it,
    // or -1; empty when no candidate is walked.
    std::vector<int32_t> leaderOf_;
    // Built only when some candidate has to be walked (EnsureBvh).
    std::optional<PolyBvh> bvh_;
    // Made when the lowest score of all is wanted of a large node.
    std::optional<ParallelPlanes> families_;
    // List positions by spatial rank: rank firstRank_ + r is at
    // byRank_[rankStart_[r] .. rankStart_[r + 1]).
    std::vector<int32_t> byRank_;
    std::vector<int32_t> rankStart_;
    int32_t firstRank_ = 0;
};

}  // namespace

std::optional<std::size_t> SearchSplitter(std::vector<Poly>& polys, SearchCache& cache,
                                          unsigned threads) {
    if (polys.empty()) {
        return std::nullopt;
    }
    return Search(polys, cache, threads).Run();
}

}  // namespace tarvel
