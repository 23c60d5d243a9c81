#pragma once

#include <cstdint>
#include <vector>

#include "ase/scene.h"
#include "bsp/geometry.h"

namespace tarvel {

// The list of polygons every stage passes around. It owns its polygons by
// value, so a polygon put into a list is always that list's own copy.
class PolyList {
  public:
    // Appends; with materials, marks the polygon as a clipper when its
    // material's texture name is exactly "clipper" (never clears the flag).
    void Add(Poly poly, const Cupboard* materials);
    // Appends a polygon whose clipper mark was already set against the same
    // materials.
    void AddMarked(Poly&& poly);
    // After Release, the count the list had then.
    int32_t Count() const {
        return items.empty() ? releasedCount_ : static_cast<int32_t>(items.size());
    }
    bool Empty() const { return Count() == 0; }
    // Frees the polygons but keeps their count: a built node's own list is
    // needed afterwards only for whether it had any.
    void Release();
    // The polygons themselves, for a caller that hands them on; the list
    // keeps their count, as after Release.
    std::vector<Poly> TakeItems();
    // "PolyList with %d polys" and every polygon, into the log file.
    void Dump() const;

    std::vector<Poly> items;

  private:
    int32_t releasedCount_ = 0;
};

// Marks the polygon as a clipper when its material's texture name is
// exactly "clipper"; never clears the mark.
void MarkClipper(Poly& poly, const Cupboard* materials);

// Empties the list and fills it with one triangle per face of the scene.
void BuildFromScene(PolyList& list, const Scene& scene);

}  // namespace tarvel
