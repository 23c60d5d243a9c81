#include "window/scene_filters.h"

#include "import/scene_formats.h"

namespace tarvel::window {

std::vector<FileFilter> OpenDialogFilters() {
    std::vector<std::string> scenes{"*.ase"};
    for (const std::string& ext : import::HelperExtensions()) {
        scenes.push_back("*." + ext);
    }
    std::string shown;
    for (const std::string& pattern : scenes) {
        shown += (shown.empty() ? "" : " ") + pattern;
    }
    return {{"ASCII Scene Export (*.ase)", {"*.ase"}},
            {"All scenes (" + shown + ")", scenes},
            {"All Files (*.*)", {"*.*"}}};
}

std::vector<FileFilter> SaveDialogFilters() {
    return {{"3DO object file (*.3do)", {"*.3do"}}, {"All files (*.*)", {"*.*"}}};
}

}  // namespace tarvel::window
