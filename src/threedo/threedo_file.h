#pragma once

// Loading a .3DO file back: the header, the four sections in their order,
// the two pools, the texture names and the node tree. A file is input from
// anywhere: whatever it holds, loading ends in a tree or in an error that
// says what is wrong and at which byte of the file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "threedo/file_writer.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"
#include "threedo/prim_reader.h"
#include "threedo/zertex_list.h"

namespace tarvel {

inline constexpr uint32_t kThreeDoVersion = 1;

// What is wrong, and at which byte offset of the file.
struct ThreeDoError {
    std::string what;
    uint64_t offset = 0;
};

struct SectionInfo {
    uint32_t tag = 0;
    uint64_t position = 0;  // of the section header in the file
    uint32_t length = 0;    // the header's length field
    uint32_t padding = 0;   // bytes after the counted data (STRN only)

    uint64_t DataPosition() const { return position + 12; }
    uint64_t End() const { return DataPosition() + length + padding; }
};

struct ThreeDoFile {
    std::vector<uint8_t> bytes;  // the whole file
    uint32_t headerLength = 0;
    SectionInfo xyzs, plan, strn, prim;

    ZertexList vertices;  // (c0, x, y, z) as stored
    ZertexList planes;    // (d, a, b, c)
    GStringList strings;  // in file order, duplicates kept

    uint32_t rootOffset = 0;
    std::unique_ptr<Node> root;

    // What the read saw: every record in the order it was entered (the
    // tree's pre-order), the depth of the tree, and the first child field
    // that named no record.
    std::vector<RecordExtent> records;
    std::size_t depth = 0;
    std::optional<PrimError> note;
    std::optional<uint64_t> signallingNaN;  // file offset of the first one stored

    std::span<const uint8_t> PrimData() const;
};

struct LoadOptions {
    // The read recurses once per level; callers on a larger stack may allow more.
    std::size_t maxDepth = kDefaultReadDepthCap;
};

struct LoadResult {
    std::optional<ThreeDoFile> file;
    ThreeDoError error;  // when there is no file

    bool ok() const { return file.has_value(); }
};

LoadResult LoadThreeDo(std::span<const uint8_t> bytes, const LoadOptions& options = {});
LoadResult LoadThreeDoFile(const std::string& path, const LoadOptions& options = {});

// The tag as its four letters ("XYZS").
std::string TagName(uint32_t tag);

// Whether a loaded file is exactly what a writer of the format produces:
// records tiling the PRIM data with the root record last, every child field
// naming a record, every vertex and plane index inside its pool, every
// texture reference at the start of a name, known Node5 kinds, zero words
// where the format has them, blank padding and nothing after the PRIM data.
// The first problem found, or none.
std::optional<ThreeDoError> CheckConsistency(const ThreeDoFile& file);

}  // namespace tarvel
