#pragma once

// Where the running program lives, and what a program file next to it is
// called, so that a front end finds the helpers installed beside it.

#include <filesystem>
#include <string>

namespace tarvel {

// The running executable, resolved; empty when the system will not say.
std::filesystem::path ExecutablePath();

// The file name of the program called stem ("tarvel-import.exe" on Windows).
std::string ExecutableFileName(const std::string& stem);

// A regular file this process may start.
bool IsExecutableFile(const std::filesystem::path& path);

}  // namespace tarvel
