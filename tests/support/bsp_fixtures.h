#pragma once

// Helpers for the BSP tests: a log context that keeps everything the build
// reports, and polygons made from bare positions.

#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

#include "ase/scene.h"
#include "bsp/build_plan.h"
#include "bsp/geometry.h"
#include "log/log.h"
#include "log/thread_budget.h"

namespace tarvel::testing {

// Every UpdateCounters call, with the values it showed.
class CounterRecorder final : public CounterSink {
  public:
    void CountersChanged(const Counters& counters) override { shown.push_back(counters); }
    std::vector<Counters> shown;
};

// Installs a context on this thread that records memo lines, message boxes,
// counter updates and (unless told not to) the log file.
class LogCapture {
  public:
    explicit LogCapture(bool withLogFile = true) {
        context.memo = &memo;
        context.messageBox = &boxes;
        context.counterSink = &counters;
        if (withLogFile) {
            context.logFile = &file;
        }
        scope.emplace(context);
    }

    LogContext context;
    VectorMemoSink memo;
    StringTextSink file;
    RecordingMessageBoxSink boxes;
    CounterRecorder counters;
    std::optional<ScopedLogContext> scope;
};

// The plan a front end makes for a build with or without the log file, on
// this machine's cores. The root's list stays for the test to read.
inline BuildPlan PlanFor(BuildStrategy strategy, bool logFile = false) {
    return PlanBuild(
        {.strategy = strategy, .logFile = logFile, .readsTree = true, .threads = MachineCores()});
}

// Material 1 is the clipper material; material 0 an ordinary texture.
inline constexpr int32_t kClipperMaterial = 1;

inline Cupboard ClipperCupboard() {
    Cupboard cupboard;
    Material plain;
    plain.id = 0;
    plain.bmpname = "stone";
    cupboard.Add(plain);
    Material clipper;
    clipper.id = kClipperMaterial;
    clipper.bmpname = "clipper";
    cupboard.Add(clipper);
    return cupboard;
}

inline APoint At(float x, float y, float z) {
    return APoint{x, y, z, 0, 0, 0, 0, 0};
}

// A polygon with the given corners and its plane computed.
inline Poly PolyOf(std::initializer_list<std::array<float, 3>> corners, int32_t material = 0) {
    Poly poly;
    for (const auto& c : corners) {
        poly.points.push_back(At(c[0], c[1], c[2]));
    }
    poly.material = material;
    if (poly.points.size() >= 3) {
        ComputePlane(poly);
    }
    return poly;
}

}  // namespace tarvel::testing
