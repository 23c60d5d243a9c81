#pragma once

// Names are UTF-8 inside the program on every system. These are the only
// places a name becomes something the system opens: on Windows the narrow
// calls would read it in the ANSI code page, so a name outside it (a
// Japanese file name, "Écurie" under some code pages) would not be found.

#include <cstdio>
#include <filesystem>
#include <string>

namespace tarvel {

std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);

// As std::fopen, with the name in UTF-8. The mode is used as given, so "b"
// belongs in it wherever bytes are meant.
std::FILE* OpenFile(const std::string& name, const char* mode);

}  // namespace tarvel
