#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ase/scene.h"
#include "bsp/bsp_builder.h"
#include "bsp/bsp_node.h"
#include "bsp/poly_list.h"
#include "threedo/atomic_file.h"

namespace tarvel {

struct ConvertOptions {
    // The front end's plan (PlanBuild). The default suits a run with neither
    // log file nor console dumps, no preview and one thread.
    BuildPlan plan = PlanBuild(BuildRequest{});
    // Stand-ins for the save's system calls (tests); null means the real ones.
    const SaveHooks* saveHooks = nullptr;
    // Sees the finished tree on a large stack, once the build has ended and
    // before the tree is freed; whatever it keeps must be its own copy. When
    // the conversion follows the build, it runs on the build's thread while
    // the conversion finishes beside it, so it must only read the tree. It
    // does not make the conversion wait for the whole tree. It needs a plan
    // that keeps the root's list (BuildRequest::readsTree).
    std::function<void(const BSPNode& root)> afterBuild;
    // Called once the build has its own copies of the polygons, on the
    // build's thread: from then on the run reads neither the polygons it was
    // given nor their scene, so a caller that needs them no more may free
    // them there (a large scene is a good part of a compile's memory).
    std::function<void()> polysCopied;
};

enum class ConvertStatus {
    NoPolyList,     // nothing picked: nothing happens
    NothingToSave,  // the conversion produced no nodes; nothing written
    Cancelled,      // the save path choice was cancelled
    OpenFailed,     // the output could not be created
    WriteFailed,    // a write, flush or rename failed; the old file is untouched
    Stopped,        // the log's stop flag was set; nothing written, no save path asked after it
    Saved,
};

struct ConvertReport {
    ConvertStatus status = ConvertStatus::NoPolyList;
    std::string path;
    int32_t vertices = 0;
    int32_t planes = 0;
    int32_t textures = 0;
    int32_t nodeRecords = 0;
    uint64_t bytesWritten = 0;
    FlatLists flatLists;  // what the recursion guard flattened, once a build ran
};

// Asked only once the tree is converted; nullopt means cancelled.
using ChooseSavePath = std::function<std::optional<std::string>()>;

// "BSP && save as 3DO...": fixes the bitmap names, builds the BSP tree from
// copies of the polygons, converts it, asks for the output path and saves.
// Messages go to the current thread's log; message boxes through its hook.
// The log's stop flag (LogContext::stop) is looked at by the build and the
// conversion at every node, before the save path is asked for, after it and
// before the file is committed: a stop gives "Stopped: nothing was saved." in
// the memo and ConvertStatus::Stopped, with an existing output untouched.
ConvertReport RunConversion(const PolyList* polys, Cupboard* cupboard,
                            const ChooseSavePath& chooseSavePath,
                            const ConvertOptions& options = {});

}  // namespace tarvel
