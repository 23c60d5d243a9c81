#include "cli/batch_plan.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "cli/cli_compile.h"
#include "platform/file_identity.h"
#include "platform/utf8_path.h"

namespace tarvel::cli {

namespace {

namespace fs = std::filesystem;

// The name two paths share when they are one file: an existing file is known
// by its device and inode (links of either kind), one still to be written by
// its resolved path.
std::string FileKey(const std::string& path) {
    if (const std::optional<std::string> identity = FileIdentity(path)) {
        return "@" + *identity;
    }
    std::error_code error;
    const fs::path named = PathFromUtf8(path);
    const fs::path resolved = fs::weakly_canonical(named, error);
    return Utf8FromPath(error ? fs::absolute(named, error).lexically_normal() : resolved);
}

// Each input once, in the order first given.
std::vector<std::string> DistinctInputs(const std::vector<std::string>& inputs) {
    std::vector<std::string> distinct;
    std::map<std::string, std::string> seen;
    for (const std::string& input : inputs) {
        if (!seen.emplace(FileKey(input), input).second) {
            std::fprintf(stderr, "compile: '%s' is given more than once; it is compiled once\n",
                         input.c_str());
            continue;
        }
        distinct.push_back(input);
    }
    return distinct;
}

LogOptions LogFor(const LogOptions& log, const std::string& input) {
    LogOptions own = log;
    if (log.debug) {
        // As the desktop app writes them, but one log per input.
        own.debug = false;
        own.console = true;
        own.logPath = LogPathFor("tarvelout.txt", input);
    } else if (!log.logPath.empty()) {
        own.logPath = LogPathFor(log.logPath, input);
    }
    return own;
}

// Claims path for owner; false (after a message) when another file has it.
bool Claim(std::map<std::string, std::string>& claimed, const std::string& path,
           const std::string& owner, const char* what) {
    const auto [it, added] = claimed.emplace(FileKey(path), owner);
    if (!added) {
        std::fprintf(stderr, "compile: '%s' and '%s' would both write the %s '%s'\n",
                     it->second.c_str(), owner.c_str(), what, path.c_str());
    }
    return added;
}

// False (after a message) when writing path would destroy one of the inputs.
bool SparesInputs(const std::map<std::string, std::string>& inputs, const std::string& path,
                  const std::string& owner) {
    const auto it = inputs.find(FileKey(path));
    if (it == inputs.end()) {
        return true;
    }
    if (it->second == owner) {
        std::fprintf(stderr, "compile: the output '%s' is the input itself\n", path.c_str());
    } else {
        std::fprintf(stderr, "compile: writing '%s' would overwrite the input '%s'\n", path.c_str(),
                     it->second.c_str());
    }
    return false;
}

bool CheckEntries(const std::vector<BatchEntry>& entries) {
    std::map<std::string, std::string> inputs, claimed;
    for (const BatchEntry& e : entries) {
        inputs.emplace(FileKey(e.input), e.input);
    }
    for (const BatchEntry& e : entries) {
        const bool hasLog = !e.log.logPath.empty();
        if (!SparesInputs(inputs, e.output, e.input) ||
            (hasLog && !SparesInputs(inputs, e.log.logPath, e.input)) ||
            !Claim(claimed, e.output, e.input, "output") ||
            (hasLog && !Claim(claimed, e.log.logPath, e.input, "log"))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string LogPathFor(const std::string& logPath, const std::string& input) {
    const fs::path log = PathFromUtf8(logPath);
    const std::string name = Utf8FromPath(log.stem()) + "." +
                             Utf8FromPath(PathFromUtf8(input).stem()) +
                             Utf8FromPath(log.extension());
    return Utf8FromPath(log.parent_path() / PathFromUtf8(name));
}

std::optional<std::vector<BatchEntry>> PlanBatch(const std::vector<std::string>& inputs,
                                                 const LogOptions& log) {
    std::vector<BatchEntry> entries;
    for (const std::string& input : DistinctInputs(inputs)) {
        entries.push_back({input, DefaultOutputFor(input), LogFor(log, input)});
    }
    if (!CheckEntries(entries)) {
        return std::nullopt;
    }
    return entries;
}

}  // namespace tarvel::cli
