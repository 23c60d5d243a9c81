#pragma once

// How one build runs. Whoever starts a build decides this once, from what
// its caller asked for, and the build follows it: nothing below looks at
// the log to pick its algorithm.

namespace tarvel {

// How the splitter's counts are found. Both give the same tree; Literal
// tests all n*(n-1) pairs at every node and is the reference.
enum class BuildStrategy { Literal, Fast };

struct BuildPlan {
    BuildStrategy strategy = BuildStrategy::Literal;
    // Every polygon's five counters at every node: the literal way of
    // choosing, and what the debug log's dumps show. Otherwise the fast
    // strategy searches for the splitter the counts would pick.
    bool countEverySide = true;
    // A second thread builds ahead the subtrees that wait their turn (a
    // searched build only).
    bool prefetch = false;
    // The conversion follows the build node by node on another thread,
    // instead of starting once the tree is finished.
    bool follow = false;
    // The root's own list stays once the root is sorted. Only what reads
    // the tree besides the conversion needs it (the window's preview, the
    // dumps); without, the root's polygons move to its children as every
    // other node's do, and a large scene is not held twice.
    bool keepRootList = true;
};

// The plan for a build with this strategy. logDumps: the debug log takes the
// build's dumps (they show every count). wholeTreeFirst: something needs the
// finished tree before the conversion starts (the console dumps of the
// conversion, a hook that sees the tree). threads: how many threads the
// build's process lets it keep busy at most.
BuildPlan PlanBuild(BuildStrategy strategy, bool logDumps, bool wholeTreeFirst, unsigned threads);

// What a build under this thread's log may keep busy at most: the threads of
// the budget it was lent, else the machine's cores.
unsigned BuildThreads();

}  // namespace tarvel
