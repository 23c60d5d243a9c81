#include "bsp/flat_lists.h"

namespace tarvel {

void FlatLists::Add(int32_t count, int32_t depth) {
    if (lists == 0 || count > largest) {
        largest = count;
        largestDepth = depth;
    }
    ++lists;
    polys += count;
}

void FlatLists::Merge(const FlatLists& later, int32_t parentDepth) {
    if (later.lists == 0) {
        return;
    }
    if (lists == 0 || later.largest > largest) {
        largest = later.largest;
        largestDepth = parentDepth + later.largestDepth;
    }
    lists += later.lists;
    polys += later.polys;
}

std::string FlatListsLine(const FlatLists& flats) {
    if (flats.lists == 0) {
        return "flat lists: none";
    }
    return "flat lists: " + std::to_string(flats.lists) + " holding " +
           std::to_string(flats.polys) + " polygons (largest " + std::to_string(flats.largest) +
           " at depth " + std::to_string(flats.largestDepth) + ")";
}

}  // namespace tarvel
