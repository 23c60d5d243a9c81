#include "driver/bsp_root.h"

#include "log/log.h"

namespace tarvel {

FlatLists BuildBSPRoot(BSPNode& root, const PolyList& polys, const Cupboard* materials,
                       const BuildPlan& plan, const BuildFollow* follow,
                       const std::function<void()>& copied) {
    root.polys.items.reserve(20);
    for (const Poly& poly : polys.items) {
        root.polys.Add(poly, materials);
    }
    if (copied) {
        copied();
    }
    LogMemo("BSPRoot now contains all polys");
    LogMemo("BSPing first node...");
    return Build(root, PrevCounts{}, materials, plan, follow);
}

}  // namespace tarvel
