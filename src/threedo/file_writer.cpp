#include "threedo/file_writer.h"

#include <cassert>
#include <limits>

#include "threedo/binary_io.h"
#include "threedo/prim_stream.h"

namespace tarvel {

namespace {

inline constexpr uint32_t kLengthPlaceholder = 0xFDECFDEC;
inline constexpr uint32_t kRootPlaceholder = 0xABCDABCD;

// Sizes in 64 bits: the pools' own 32-bit byteSize could wrap first.
uint64_t PoolBytes(const ZertexList& pool) {
    return 12 + 16 * uint64_t(pool.count());
}

void WriteSectionHeader(ByteWriter& out, uint32_t tag, uint32_t length) {
    out.writeU32(tag);
    out.writeU32(0);
    out.writeU32(length);
}

// Sends what out holds to the file and empties it.
bool Flush(AtomicFile& file, ByteWriter& out) {
    const bool written = file.Write(out.bytes().data(), out.size());
    out.clear();
    return written;
}

}  // namespace

std::optional<uint64_t> Streamed3DOSize(const PrimStream& prim, const ZertexList& vertices,
                                        const ZertexList& planes, const GStringList& mips) {
    const uint64_t total =
        12 + PoolBytes(vertices) + PoolBytes(planes) + mips.byteSize() + 12 + 4 + prim.size();
    if (total - 12 > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    return total;
}

// The sections in Assemble3DO's order, the placeholders known beforehand:
// the length from the sizes, the root offset from the stream.
bool Stream3DO(AtomicFile& file, const SealedNode& root, const PrimStream& prim,
               const ZertexList& vertices, const ZertexList& planes, const GStringList& mips) {
    const std::optional<uint64_t> total = Streamed3DOSize(prim, vertices, planes, mips);
    if (!total) {
        return false;
    }
    ByteWriter out;
    out.writeU32(kMagic3DO);
    out.writeU32(1);
    out.writeU32(static_cast<uint32_t>(*total - 12));
    vertices.writeSection(out, kTagXYZS);
    if (!Flush(file, out)) {
        return false;
    }
    planes.writeSection(out, kTagPLAN);
    mips.writeSection(out);
    WriteSectionHeader(out, kTagPRIM, static_cast<uint32_t>(prim.size() + 4));
    assert(uint64_t{root.offset()} + root.RecordSize() == prim.size() + 4);
    out.writeU32(root.offset());
    if (!Flush(file, out)) {
        return false;
    }
    for (const ByteWriter& block : prim.blocks()) {
        if (!file.Write(block.bytes().data(), block.size())) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<uint8_t>> Assemble3DO(Node& root, const ZertexList& vertices,
                                                const ZertexList& planes, const GStringList& mips) {
    const uint64_t treeSize = root.TreeSize();
    const uint64_t total =
        12 + PoolBytes(vertices) + PoolBytes(planes) + mips.byteSize() + 12 + 4 + treeSize;
    // The length word holds total - 12 and every PRIM offset is below it.
    if (total - 12 > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    ByteWriter out;
    out.reserve(static_cast<std::size_t>(total));
    out.writeU32(kMagic3DO);
    out.writeU32(1);
    out.writeU32(kLengthPlaceholder);
    vertices.writeSection(out, kTagXYZS);
    planes.writeSection(out, kTagPLAN);
    mips.writeSection(out);
    const uint32_t primLength = static_cast<uint32_t>(treeSize + 4);
    WriteSectionHeader(out, kTagPRIM, primLength);
    const std::size_t rootWordPos = out.size();
    out.writeU32(kRootPlaceholder);
    // PRIM offsets count from the root word, so the first record is at 4.
    const uint32_t rootOffset = root.Write(out, 4, vertices, planes);
    assert(out.size() == total);
    assert(uint64_t{rootOffset} + root.RecordSize() == uint64_t{primLength});
    out.patchU32(rootWordPos, rootOffset);
    out.patchU32(8, static_cast<uint32_t>(out.size() - 12));
    return out.take();
}

int64_t CountNodeRecords(const Node& root) {
    int64_t count = 0;
    std::vector<const Node*> pending{&root};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (const auto* sealed = dynamic_cast<const SealedNode*>(node)) {
            count += sealed->records();  // its children went with its records
            continue;
        }
        ++count;
        for (const Node* child : {node->a.get(), node->b.get(), node->c.get(), node->d.get()}) {
            if (child != nullptr) {
                pending.push_back(child);
            }
        }
        if (const auto* group = dynamic_cast<const Node4*>(node)) {
            for (const Node4::ChildRecord& record : group->children) {
                if (record.node) {
                    pending.push_back(record.node.get());
                }
            }
        } else if (const auto* keyed = dynamic_cast<const Node11*>(node)) {
            for (const Node11::Pair& pair : keyed->pairs) {
                if (pair.node) {
                    pending.push_back(pair.node.get());
                }
            }
        }
    }
    return count;
}

}  // namespace tarvel
