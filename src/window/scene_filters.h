#pragma once

// The file types the open and save dialogs offer, in the order they offer
// them; each toolkit writes them in its own filter syntax.

#include <string>
#include <vector>

namespace tarvel::window {

struct FileFilter {
    std::string name;  // as shown, patterns included: "ASCII Scene Export (*.ase)"
    std::vector<std::string> patterns;
};

// ASE first, as it always was; then every format the importer reads.
std::vector<FileFilter> OpenDialogFilters();
std::vector<FileFilter> SaveDialogFilters();

}  // namespace tarvel::window
