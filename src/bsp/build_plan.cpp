#include "bsp/build_plan.h"

#include "bsp/side_counting.h"

namespace tarvel {

BuildPlan PlanBuild(BuildStrategy strategy, bool logDumps, bool wholeTreeFirst) {
    BuildPlan plan;
    plan.strategy = strategy;
    plan.countEverySide = strategy == BuildStrategy::Literal || logDumps;
    plan.prefetch = !plan.countEverySide && MachineCores() >= 2;
    // The build's dumps would interleave with a conversion running beside it.
    plan.follow = !logDumps && !wholeTreeFirst;
    return plan;
}

}  // namespace tarvel
