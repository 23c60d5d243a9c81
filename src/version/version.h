#pragma once

#include <string>
#include <string_view>

namespace tarvel::version {

// What --version prints: "tarvel-cli 0.1", and " (commit 2ae7d2c)" after it
// when the program was built from a git checkout.
std::string VersionLine(std::string_view program);

}  // namespace tarvel::version
