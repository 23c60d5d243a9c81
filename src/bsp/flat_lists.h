#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

// What the recursion guard did in one build: how many nodes it flattened,
// how many polygons their flat lists hold, and the largest of them with the
// depth of its node (the root at depth 1, as the depth counter counts).
// Gathered while the build runs, since a conversion that follows the build
// may free the nodes before anyone could walk the finished tree.
struct FlatLists {
    int32_t lists = 0;
    int64_t polys = 0;
    int32_t largest = 0;
    int32_t largestDepth = 0;  // of the first list of the largest size

    void Add(int32_t count, int32_t depth);
    // Those of a subtree built after everything added so far, its depths
    // counted from the subtree's parent, at this depth.
    void Merge(const FlatLists& later, int32_t parentDepth);
    bool operator==(const FlatLists&) const = default;
};

// "flat lists: N holding M polygons (largest L at depth D)", or
// "flat lists: none"; no line break.
std::string FlatListsLine(const FlatLists& flats);

}  // namespace tarvel
