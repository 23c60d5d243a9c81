#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "log/log.h"
#include "threedo/file_writer.h"
#include "threedo/threedo_file.h"

// The consistency check behind `info`: a file that loads may still differ
// from anything a writer of the format produces. Loading already refused
// offsets outside the PRIM data and counts that do not fit; this looks at
// what a tree that reads cleanly can still get wrong.

namespace tarvel {

namespace {

using Problem = std::optional<ThreeDoError>;

class Checker {
  public:
    explicit Checker(const ThreeDoFile& file) : file_(file) {}

    Problem Layout() const;
    Problem Names() const;
    Problem Records() const;
    Problem Nodes() const;

  private:
    ThreeDoError At(std::string what, uint32_t primOffset) const {
        return ThreeDoError{std::move(what), file_.prim.DataPosition() + primOffset};
    }
    Problem CheckNode(const Node& node, const RecordExtent& record) const;
    Problem CheckVertex(int32_t vtx, const RecordExtent& record) const;

    const ThreeDoFile& file_;
};

// Nothing after the PRIM data, and blanks as the STRN padding.
Problem Checker::Layout() const {
    const uint64_t end = file_.prim.End();
    if (end != file_.bytes.size()) {
        return ThreeDoError{Format("%llu bytes follow the PRIM section",
                                   static_cast<unsigned long long>(file_.bytes.size() - end)),
                            end};
    }
    const uint64_t padding = file_.strn.DataPosition() + file_.strn.length;
    for (uint64_t at = padding; at < file_.strn.End(); ++at) {
        if (file_.bytes[at] != 0x20) {
            return ThreeDoError{Format("STRN padding byte 0x%02X is not a blank", file_.bytes[at]),
                                at};
        }
    }
    return std::nullopt;
}

// The writer adds each name once; a repeated one would make a rewrite point
// its textures at the first copy.
Problem Checker::Names() const {
    std::unordered_map<std::string_view, int32_t> seen;
    for (const GString& entry : file_.strings.entries()) {
        const auto [first, added] = seen.try_emplace(entry.name, entry.offset);
        if (!added) {
            return ThreeDoError{Format("texture name \"%s\" at STRN offset %d repeats the one at "
                                       "offset %d",
                                       entry.name.c_str(), entry.offset, first->second),
                                file_.strn.DataPosition() + static_cast<uint64_t>(entry.offset)};
        }
    }
    return std::nullopt;
}

// The records lie side by side from offset 4 to the end of the PRIM data,
// each read once, with the root record last.
Problem Checker::Records() const {
    if (file_.note) {
        return At(file_.note->what, file_.note->offset);
    }
    std::vector<RecordExtent> sorted = file_.records;
    std::sort(sorted.begin(), sorted.end(),
              [](const RecordExtent& x, const RecordExtent& y) { return x.offset < y.offset; });
    uint32_t expected = 4;
    for (const RecordExtent& record : sorted) {
        if (record.offset < expected) {
            return At(expected == 4
                          ? Format("record at PRIM offset %u overlaps the root word", record.offset)
                          : Format("record at PRIM offset %u overlaps the record before "
                                   "it or is read twice",
                                   record.offset),
                      record.offset);
        }
        if (record.offset > expected) {
            return At(
                Format("PRIM bytes %u to %u belong to no record", expected, record.offset - 1),
                expected);
        }
        expected = record.end;
    }
    if (expected != file_.prim.length) {
        return At(
            Format("PRIM bytes %u to %u belong to no record", expected, file_.prim.length - 1),
            expected);
    }
    if (!file_.records.empty() && file_.records.front().end != file_.prim.length) {
        return At(Format("root record at PRIM offset %u is not the last record", file_.rootOffset),
                  0);
    }
    return std::nullopt;
}

Problem Checker::CheckVertex(int32_t vtx, const RecordExtent& record) const {
    if (vtx < 0 || vtx >= file_.vertices.count()) {
        return At(Format("record at PRIM offset %u: vertex index %d outside the %d vertices",
                         record.offset, vtx, file_.vertices.count()),
                  record.offset);
    }
    return std::nullopt;
}

Problem Checker::CheckNode(const Node& node, const RecordExtent& record) const {
    if (const auto* texture = dynamic_cast<const Node5*>(&node)) {
        if (texture->kind != 1 && texture->kind != 4 && texture->kind != 5) {
            return At(Format("record at PRIM offset %u: texture node kind %d, not 1, 4 or 5",
                             record.offset, texture->kind),
                      record.offset);
        }
        if (texture->kind != 4 && file_.strings.entryByOffset(texture->stringId) == nullptr) {
            return At(Format("record at PRIM offset %u: texture offset %d is not the start of a "
                             "name",
                             record.offset, texture->stringId),
                      record.offset);
        }
    } else if (const auto* plane = dynamic_cast<const PlaneNode*>(&node)) {
        if (plane->plane < 0 || plane->plane >= file_.planes.count()) {
            return At(Format("record at PRIM offset %u: plane index %d outside the %d planes",
                             record.offset, plane->plane, file_.planes.count()),
                      record.offset);
        }
    } else if (const auto* line = dynamic_cast<const Node815*>(&node)) {
        for (int32_t vtx : {line->vtxA, line->vtxB}) {
            if (Problem problem = CheckVertex(vtx, record)) {
                return problem;
            }
        }
    } else if (const auto* values = dynamic_cast<const NodeCornerValues*>(&node)) {
        for (const NodeCornerValues::Corner& corner : values->corners) {
            if (Problem problem = CheckVertex(corner.vtx, record)) {
                return problem;
            }
        }
    } else if (const auto* polygon = dynamic_cast<const NodeTextured*>(&node)) {
        const uint32_t zero = LoadU32(file_.PrimData().data() + record.offset + 4);
        if (zero != 0) {
            return At(Format("record at PRIM offset %u: word after the type code is %u, not 0",
                             record.offset, zero),
                      record.offset + 4);
        }
        for (const NodeTextured::Corner& corner : polygon->corners) {
            if (Problem problem = CheckVertex(corner.vtx, record)) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

// The read entered one record per node it made, in pre-order; walking the
// tree in the same order pairs every node with its record.
Problem Checker::Nodes() const {
    std::vector<const Node*> pending{file_.root.get()};
    std::size_t next = 0;
    while (!pending.empty() && next < file_.records.size()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (Problem problem = CheckNode(*node, file_.records[next++])) {
            return problem;
        }
        std::vector<const Node*> children;
        AppendChildrenInOrder(*node, children);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return std::nullopt;
}

}  // namespace

namespace {

// What is left after the checks above is the order of the records: each
// lies within the PRIM data once, but the writer puts every subtree's
// records before its root's, children in slot order, and a file laid out
// otherwise would not come back the same from a rewrite. Writing the tree
// again is the one sure way to tell; Write leaves the nodes as they are.
Problem SameAsWritten(const ThreeDoFile& file) {
    const std::optional<std::vector<uint8_t>> written =
        Assemble3DO(const_cast<Node&>(*file.root), file.vertices, file.planes, file.strings);
    if (!written) {
        return ThreeDoError{"the contents would not fit a file the writer makes", 0};
    }
    const auto [at, unused] =
        std::mismatch(file.bytes.begin(), file.bytes.end(), written->begin(), written->end());
    if (at == file.bytes.end() && written->size() == file.bytes.size()) {
        return std::nullopt;
    }
    const auto offset = static_cast<uint64_t>(at - file.bytes.begin());
    return ThreeDoError{
        Format("byte %llu differs from the writer's layout of the same tree: records out of order",
               static_cast<unsigned long long>(offset)),
        offset};
}

}  // namespace

std::optional<ThreeDoError> CheckConsistency(const ThreeDoFile& file) {
    if (!file.root) {
        return ThreeDoError{"no node tree", file.prim.DataPosition()};
    }
    const Checker checker(file);
    if (Problem problem = checker.Layout()) {
        return problem;
    }
    if (Problem problem = checker.Names()) {
        return problem;
    }
    if (Problem problem = checker.Records()) {
        return problem;
    }
    if (file.signallingNaN) {
        return ThreeDoError{"a signalling NaN, which reads back as a quiet one",
                            *file.signallingNaN};
    }
    if (Problem problem = checker.Nodes()) {
        return problem;
    }
    return SameAsWritten(file);
}

}  // namespace tarvel
