#pragma once

// The parts of a helper run both systems share: reading its output against
// the deadline and the stop flag, and saying in words how it ended. The
// system's own file starts, watches and reaps the process.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "import/helper_process.h"

namespace tarvel::import {

using Clock = std::chrono::steady_clock;

enum class ReadStep {
    Data,     // `got` bytes are in the chunk
    Nothing,  // none arrived within the wait
    End,      // the helper closed its output
    Failed,
};

// Waits at most waitMs for output and reads what is there into chunk.
using ReadSome = std::function<ReadStep(int waitMs, std::vector<char>& chunk, std::size_t& got)>;

// Reads the helper's output until it closes the pipe, the deadline passes,
// the compile is stopped or the output grows past the limit. Empty when the
// helper closed its output; else "timeout", "stopped", "too much output" or
// "read failed".
std::string ReadOutput(const ReadSome& readSome, Clock::time_point deadline, std::size_t maxBytes,
                       std::string& output);

// How the process ended, as far as the system tells.
struct HelperExit {
    bool exited = false;  // ended by returning or exit(): status holds its code
    int status = -1;
    bool notStarted = false;  // the system could not start the program
    bool cpuLimit = false;    // ended by its CPU time limit
    std::string crash;        // what ended it otherwise: a signal, an exception code
};

// The trouble line of a run, empty when the helper ended by itself.
// killedLate: it closed its output but had to be killed at the deadline.
std::string DescribeEnd(const HelperExit& end, const std::string& stop, bool killedLate,
                        double wallSeconds);

// Fills in run's status and trouble from how the helper ended.
void RecordEnd(HelperRun& run, const HelperExit& end, const std::string& stop, bool killedLate,
               double wallSeconds);

// The moment a run that starts now must have ended by.
Clock::time_point DeadlineIn(double seconds);

}  // namespace tarvel::import
