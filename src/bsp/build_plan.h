#pragma once

// How one build runs. The front end decides it once, from what the user
// asked for (a log file, console dumps, a preview, the threads it lends),
// and the build follows it: the log is asked only where a line is written,
// never which way to build.

namespace tarvel {

// How the splitter's counts are found. Both give the same tree; Literal
// tests all n*(n-1) pairs at every node and is the reference.
enum class BuildStrategy { Literal, Fast };

struct BuildPlan {
    BuildStrategy strategy = BuildStrategy::Literal;
    // Every polygon's five counters at every node: the literal way of
    // choosing, and what the debug log's dumps show. Otherwise the fast
    // strategy searches for the splitter the counts would pick, and the
    // node dumps are not written.
    bool countEverySide = true;
    // A second thread builds whole subtrees that wait their turn (a searched
    // build only). It writes no log file: a build whose log file is kept
    // must not have it.
    bool prefetch = false;
    // The conversion follows the build node by node on another thread,
    // instead of starting once the tree is finished. It runs without the
    // log, so a build whose conversion dumps reach the console must not.
    bool follow = false;
    // The root's own list stays once the root is sorted. Only what reads
    // the tree besides the conversion needs it (the window's preview, the
    // dumps); without, the root's polygons move to its children as every
    // other node's do, and a large scene is not held twice.
    bool keepRootList = true;
};

// What the caller of a build asked for.
struct BuildRequest {
    BuildStrategy strategy = BuildStrategy::Fast;
    // A debug log file takes the build's lines and dumps (they show every
    // count).
    bool logFile = false;
    // The conversion's dumps reach the console; they walk the finished tree.
    bool consoleDumps = false;
    // Something reads the finished tree besides the conversion (a preview).
    bool readsTree = false;
    // How many threads the build's process lets it keep busy at most.
    unsigned threads = 1;
};

BuildPlan PlanBuild(const BuildRequest& request);

}  // namespace tarvel
