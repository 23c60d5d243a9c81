// Micro-benchmarks of the two hot inner steps of a compile: counting how
// every polygon of a node lies against every other's plane, and the
// find-or-add of the vertex pool.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/side_counting.h"
#include "threedo/zertex_list.h"

namespace tarvel {
namespace {

// Small triangles scattered over a gently rolling field, with a fifth of
// them standing upright, as trees and walls do.
std::vector<Poly> Field(int count) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> across(0.0f, 1000.0f);
    std::uniform_real_distribution<float> step(-2.0f, 2.0f);
    std::vector<Poly> polys(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < polys.size(); ++i) {
        const float x = across(rng), y = across(rng), z = across(rng) * 0.01f;
        const bool upright = i % 5 == 0;
        polys[i].points = {
            APoint{x, y, z},
            APoint{x + 2.0f, y + step(rng), upright ? z : z + step(rng) * 0.1f},
            APoint{x + step(rng), upright ? y : y + 2.0f, upright ? z + 2.0f : z},
        };
        ComputePlane(polys[i]);
    }
    return polys;
}

void CountSidesBench(benchmark::State& state, BuildStrategy strategy) {
    std::vector<Poly> polys = Field(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CountSides(polys, strategy);
        benchmark::DoNotOptimize(polys.front().countInFront);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CountSidesLiteral(benchmark::State& state) {
    CountSidesBench(state, BuildStrategy::Literal);
}
void BM_CountSidesFast(benchmark::State& state) {
    CountSidesBench(state, BuildStrategy::Fast);
}
BENCHMARK(BM_CountSidesLiteral)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountSidesFast)->Arg(1000)->Arg(4000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Every corner of a triangle mesh is shared by about six triangles: most
// lookups find an existing vertex.
void BM_AddVertex(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ZertexList pool;
        for (int t = 0; t < 6; ++t) {
            for (int i = 0; i < side * side; ++i) {
                benchmark::DoNotOptimize(pool.addVertex(i % side, i / side, t % 2));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 6 * state.range(0) * state.range(0));
}
BENCHMARK(BM_AddVertex)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

BENCHMARK_MAIN();
