#pragma once

// Runs the importer helper on one file in a process of its own, so that a
// hostile file can at worst crash or exhaust the helper, never the window or
// the compile that asked for it.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvel::import {

struct HelperLimits {
    // Wall time: base plus a share per MiB of input. The helper's CPU time
    // is capped at the same figure.
    double baseSeconds = 20.0;
    double secondsPerMiB = 2.0;
    // Address space of the helper (not applied in sanitizer builds, whose
    // shadow memory alone is larger).
    uint64_t memoryBytes = uint64_t{4} << 30;
    // More than this from the helper is refused: no real scene needs it.
    std::size_t maxOutputBytes = std::size_t{1} << 30;
};

struct HelperRun {
    bool exitedCleanly = false;  // exit status 0
    int exitStatus = -1;         // when it exited at all
    std::string output;          // what the helper wrote, whatever its status
    std::string trouble;         // set when it crashed, hit a limit or did not start
};

// The wall time allowed for an input of this many bytes.
double WallSeconds(const HelperLimits& limits, uint64_t inputBytes);

HelperRun RunHelper(const std::string& helper, const std::string& input, uint64_t inputBytes,
                    const HelperLimits& limits);

// The helper executable: tarvel-import beside the running program, in
// ../libexec/tarvel from it, or the one of this build tree.
std::string FindHelper();

}  // namespace tarvel::import
