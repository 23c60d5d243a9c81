#include "import/helper_process.h"

#include <algorithm>
#include <cmath>

#include "import/helper_process_steps.h"
#include "log/log.h"

namespace tarvel::import {

namespace {

std::string Seconds(double seconds) {
    return std::to_string(static_cast<long long>(std::ceil(seconds))) + " s";
}

}  // namespace

std::string ReadOutput(const ReadSome& readSome, Clock::time_point deadline, std::size_t maxBytes,
                       std::string& output) {
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return "timeout";
        }
        if (StopRequested()) {
            return "stopped";
        }
        // Short waits, so that a stop ends a long import soon.
        std::size_t got = 0;
        const int waitMs = static_cast<int>(std::min<long long>(left.count(), 100));
        switch (readSome(waitMs, chunk, got)) {
            case ReadStep::Nothing:
                continue;
            case ReadStep::End:
                return {};
            case ReadStep::Failed:
                return "read failed";
            case ReadStep::Data:
                break;
        }
        if (output.size() + got > maxBytes) {
            return "too much output";
        }
        output.append(chunk.data(), got);
    }
}

std::string DescribeEnd(const HelperExit& end, const std::string& stop, bool killedLate,
                        double wallSeconds) {
    if (stop == "stopped") {
        return "stopped";
    }
    if (stop == "too much output") {
        return "the importer sent more output than any scene needs";
    }
    if (stop == "timeout" || killedLate) {
        return "the importer took longer than its limit of " + Seconds(wallSeconds);
    }
    if (!stop.empty()) {
        return "reading the importer's output failed";
    }
    if (end.cpuLimit) {
        return "the importer used more than its CPU time limit of " + Seconds(wallSeconds);
    }
    if (!end.crash.empty()) {
        return "the importer crashed (" + end.crash + ")";
    }
    if (end.notStarted) {
        return "the importer could not be started";
    }
    return {};
}

void RecordEnd(HelperRun& run, const HelperExit& end, const std::string& stop, bool killedLate,
               double wallSeconds) {
    run.trouble = DescribeEnd(end, stop, killedLate, wallSeconds);
    if (end.exited) {
        run.exitStatus = end.status;
    }
    run.exitedCleanly = run.trouble.empty() && run.exitStatus == 0;
}

Clock::time_point DeadlineIn(double seconds) {
    return Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0));
}

double WallSeconds(const HelperLimits& limits, uint64_t inputBytes) {
    return limits.baseSeconds +
           limits.secondsPerMiB * static_cast<double>(inputBytes) / (1024.0 * 1024.0);
}

}  // namespace tarvel::import
