#pragma once

// Which reader a scene file goes to, and the names the front ends show.

#include <string>
#include <vector>

namespace tarvel::import {

// ASCII letters in lower case.
std::string Lower(std::string text);
// The extension in lower case, without the dot ("" when there is none).
std::string FileExtension(const std::string& path);

// True for a file the project's own ASE parser reads: an .ase name, another
// name over ASE text, or a name whose extension the library does not read.
// Every other scene goes to the helper.
bool IsAseScene(const std::string& path);

// The format as the memo names it ("OBJ", "glTF", ...), from the extension.
std::string FormatName(const std::string& path);

// Extensions (lower case, without the dot) the helper's library reads,
// apart from the ASE ones, which never reach it.
const std::vector<std::string>& HelperExtensions();

// True for a name that ends in any scene extension, ASE or the helper's
// (what a drop on the window accepts).
bool HasSceneExtension(const std::string& path);

}  // namespace tarvel::import
