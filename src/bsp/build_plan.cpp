#include "bsp/build_plan.h"

namespace tarvel {

BuildPlan PlanBuild(const BuildRequest& request) {
    BuildPlan plan;
    plan.strategy = request.strategy;
    plan.countEverySide = request.strategy == BuildStrategy::Literal || request.logFile;
    // Subtrees are built ahead only while a thread of the budget is free; with
    // room for one at most, there never is.
    plan.prefetch = !plan.countEverySide && request.threads >= 2;
    // The build's log lines would interleave with a conversion running beside
    // it, and the conversion's console dumps need the whole tree.
    plan.follow = !request.logFile && !request.consoleDumps;
    plan.keepRootList = !plan.follow || request.readsTree;
    return plan;
}

}  // namespace tarvel
