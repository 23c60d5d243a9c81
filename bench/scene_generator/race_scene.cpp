#include "scene_generator/race_scene.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

#include "scene_generator/props.h"
#include "scene_generator/terrain.h"
#include "scene_generator/track.h"

namespace tarvel::scenegen {
namespace {

// Shares of the triangle budget; trees take whatever is left, which makes the
// total meet the target to within one tree.
constexpr double kTrackShare = 0.30;
constexpr double kTerrainShare = 0.40;
constexpr double kBuildingShare = 0.10;

struct Plan {
    int32_t segments;
    int32_t terrainCells;
    int64_t buildingBudget;
    double bayWidth;
};

Plan MakePlan(int64_t target) {
    Plan plan;
    const double n = static_cast<double>(target);
    plan.segments = std::max<int32_t>(
        12, static_cast<int32_t>(std::floor(kTrackShare * n / kTrackTrianglesPerSegment + 0.5)));
    plan.terrainCells = std::max<int32_t>(
        4, static_cast<int32_t>(std::floor(std::sqrt(kTerrainShare * n / 2.0) + 0.5)));
    plan.buildingBudget = static_cast<int64_t>(kBuildingShare * n);
    // A few hundred buildings at most, ever more finely divided: a big scene
    // is a detailed one, not a crowded one. An average building (two and a
    // half floors, 44 m round) has 5 * 44 / bayWidth + 2 triangles.
    const double buildings = std::max(2.0, n / 2500.0);
    const double perBuilding = std::max(12.0, kBuildingShare * n / buildings);
    plan.bayWidth = std::clamp(220.0 / (perBuilding - 2.0), 0.5, 40.0);
    return plan;
}

MaterialDef Textured(std::string name, const char* file, Vec3 diffuse) {
    return {std::move(name), std::string("C:\\maps\\") + file, diffuse, {}};
}

std::vector<MaterialDef> RaceMaterials() {
    std::vector<MaterialDef> materials(kRaceMaterialCount);
    materials[kAsphalt] = Textured("Asphalt", "asphalt.tga", {0.30, 0.30, 0.32});
    materials[kKerb] = Textured("Kerb", "kerb.tga", {0.80, 0.20, 0.20});
    materials[kBarrier] = Textured("Barrier", "concrete.tga", {0.70, 0.70, 0.68});
    materials[kGrass] = Textured("Grass", "grass.tga", {0.25, 0.55, 0.20});
    materials[kTree] = Textured("Tree", "tree.tga", {0.15, 0.40, 0.12});
    materials[kBuilding] = {"Buildings", "", {0.60, 0.55, 0.50}, {}};
    materials[kBuilding].subMaterials = {Textured("Brick", "brick.tga", {0.65, 0.35, 0.25}),
                                         Textured("Roof", "roof.tga", {0.35, 0.30, 0.30})};
    materials[kClipper] = Textured("Clipper", "clipper.tga", {1.0, 1.0, 1.0});
    return materials;
}

}  // namespace

GeneratedScene GenerateRaceScene(int64_t targetTriangles, uint64_t seed) {
    assert(targetTriangles >= kMinRaceTriangles && targetTriangles <= kMaxRaceTriangles);
    const Plan plan = MakePlan(targetTriangles);
    GeneratedScene scene;
    scene.fileName = "track.max";
    scene.comment = "Tarvel benchmark track, seed " + std::to_string(seed) + ", " +
                    std::to_string(targetTriangles) + " triangles requested";
    scene.materials = RaceMaterials();

    SplitMix64 trackRng(seed, "track");
    const TrackShape track = RandomTrackShape(trackRng);
    const std::vector<TrackFrame> frames = SampleTrack(track, plan.segments);
    SplitMix64 terrainRng(seed, "terrain");
    const TerrainShape terrain = RandomTerrainShape(terrainRng, track, plan.terrainCells);
    const Ground ground{track, terrain};

    MeshObject road("Road", kAsphalt, {0.35, 0.35, 0.35});
    AddRoad(road, frames);
    MeshObject kerbs("Kerbs", kKerb, {0.85, 0.25, 0.25});
    AddKerbs(kerbs, frames);
    MeshObject barriers("Barriers", kBarrier, {0.70, 0.70, 0.70});
    AddBarriers(barriers, frames);
    MeshObject clipper("ClipperWalls", kClipper, {0.10, 0.60, 0.90});
    AddClipperWalls(clipper, frames);
    MeshObject grass("Terrain", kGrass, {0.30, 0.60, 0.25});
    AddTerrain(grass, terrain, track, plan.terrainCells);
    MeshObject buildings("Buildings", kBuilding, {0.60, 0.50, 0.40});
    SplitMix64 buildingRng(seed, "buildings");
    const std::vector<Footprint> taken =
        AddBuildings(buildings, buildingRng, ground, plan.buildingBudget, plan.bayWidth);

    const auto fixed =
        static_cast<int64_t>(road.faces.size() + kerbs.faces.size() + barriers.faces.size() +
                             clipper.faces.size() + grass.faces.size() + buildings.faces.size());
    MeshObject trees("Trees", kTree, {0.20, 0.45, 0.15});
    SplitMix64 treeRng(seed, "trees");
    AddTrees(trees, treeRng, ground,
             std::max<int64_t>(0, targetTriangles - fixed) / kTrianglesPerTree, taken);

    for (MeshObject* object : {&grass, &road, &kerbs, &barriers, &clipper, &buildings, &trees}) {
        if (!object->faces.empty()) {
            scene.objects.push_back(std::move(*object));
        }
    }
    return scene;
}

}  // namespace tarvel::scenegen
