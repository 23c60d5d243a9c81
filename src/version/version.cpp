#include "version/version.h"

#include "version/build_version.h"

namespace tarvel::version {

std::string VersionLine(std::string_view program) {
    std::string line(program);
    line += ' ';
    line += TARVEL_VERSION;
    constexpr std::string_view commit = TARVEL_COMMIT;
    if (!commit.empty()) {
        line += " (commit ";
        line += commit;
        line += ')';
    }
    return line;
}

}  // namespace tarvel::version
