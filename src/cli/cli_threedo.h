#pragma once

#include <functional>
#include <string>

#include "threedo/threedo_file.h"

namespace tarvel::cli {

// Loads a .3DO file for info and dump, then runs inspect on the loaded file,
// both on a large stack: the read, the dump and the teardown follow the tree
// as deep as it goes, and a degenerate scene's tree goes as deep as it has
// polygons. Reports a file that does not load on standard error and returns
// kExitFailed; otherwise returns what inspect returns.
int InspectThreeDo(const std::string& path,
                   const std::function<int(const ThreeDoFile& file)>& inspect);

// The one-line reason on standard error; returns kExitFailed.
int ReportProblem(const std::string& path, const ThreeDoError& error);

}  // namespace tarvel::cli
