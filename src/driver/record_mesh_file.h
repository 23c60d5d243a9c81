#pragma once

// Opening a 3DO file to look at it: the polygons its records hold, or the
// reader's message when it is not a file this program could have written.

#include <optional>
#include <string>

#include "threedo/record_polygons.h"
#include "threedo/threedo_file.h"

namespace tarvel {

// Whether the file's first four bytes are the 3DO magic; false for a file
// that does not open.
bool StartsWithThreeDoMagic(const std::string& path);

// "PATH: WHAT, at byte N", as tarvel-cli info reports a problem.
std::string DescribeThreeDoError(const std::string& path, const ThreeDoError& error);

struct RecordMeshResult {
    std::optional<RecordMesh> mesh;
    std::string error;  // DescribeThreeDoError's text when there is no mesh
};

// Loads the file and checks it as info does (on a large stack: the read
// follows the tree as deep as it goes), then takes its polygons.
RecordMeshResult ReadRecordMesh(const std::string& path);

}  // namespace tarvel
