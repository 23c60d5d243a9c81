#include "cli/cli_threedo.h"

#include <cstdio>

#include "cli/cli_commands.h"
#include "driver/large_stack.h"
#include "driver/record_mesh_file.h"

namespace tarvel::cli {

namespace {

// With a 1 GiB stack the read has room for a level per kilobyte.
constexpr std::size_t kInspectStack = std::size_t{1} << 30;
constexpr std::size_t kInspectDepthCap = 1'000'000;

}  // namespace

int ReportProblem(const std::string& path, const ThreeDoError& error) {
    std::fprintf(stderr, "%s\n", DescribeThreeDoError(path, error).c_str());
    return kExitFailed;
}

int InspectThreeDo(const std::string& path,
                   const std::function<int(const ThreeDoFile& file)>& inspect) {
    int status = kExitFailed;
    RunOnLargeStack(
        [&] {
            LoadResult result = LoadThreeDoFile(path, LoadOptions{kInspectDepthCap});
            status = result.ok() ? inspect(*result.file) : ReportProblem(path, result.error);
        },
        kInspectStack);
    return status;
}

}  // namespace tarvel::cli
