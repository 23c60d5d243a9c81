#pragma once

// What makes two names one existing file, through links of either kind.

#include <optional>
#include <string>

namespace tarvel {

// A key equal for every name of one existing file; none when the name
// does not open.
std::optional<std::string> FileIdentity(const std::string& name);

}  // namespace tarvel
