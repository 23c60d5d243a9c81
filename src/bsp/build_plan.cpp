#include "bsp/build_plan.h"

#include "bsp/side_counting.h"
#include "log/log.h"

namespace tarvel {

BuildPlan PlanBuild(BuildStrategy strategy, bool logDumps, bool wholeTreeFirst, unsigned threads) {
    BuildPlan plan;
    plan.strategy = strategy;
    plan.countEverySide = strategy == BuildStrategy::Literal || logDumps;
    // Subtrees are built ahead only while a thread of the budget is free; with
    // room for one at most, there never is.
    plan.prefetch = !plan.countEverySide && threads >= 2;
    // The build's dumps would interleave with a conversion running beside it.
    plan.follow = !logDumps && !wholeTreeFirst;
    return plan;
}

unsigned BuildThreads() {
    const ThreadBudget* budget = CurrentLog().budget;
    return budget != nullptr ? budget->threads() : MachineCores();
}

}  // namespace tarvel
