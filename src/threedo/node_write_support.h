#pragma once

// What every node's Write shares: child offsets advanced arithmetically, pool
// indices resolved through the pools, and a debug check that each record
// lands at the offset the arithmetic gave it.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "threedo/binary_io.h"
#include "threedo/nodes.h"
#include "threedo/zertex_list.h"

namespace tarvel::node_write {

inline constexpr uint32_t kAbsent = 0xFFFFFFFF;

// The pools passed down the tree and the running PRIM offset.
struct Cursor {
    ByteWriter& out;
    uint32_t cur;
    const ZertexList& vertices;
    const ZertexList& planes;
};

// Writes child's subtree at the cursor and advances it past the child's own
// record (the last of its subtree); returns the child's record offset, or
// absent when there is no child.
inline uint32_t WriteChild(Node* child, Cursor& cursor, uint32_t absent) {
    if (child == nullptr) {
        return absent;
    }
    const uint32_t off = child->Write(cursor.out, cursor.cur, cursor.vertices, cursor.planes);
    cursor.cur = off + child->RecordSize();
    return off;
}

// Node4 child records and Node11 pairs: entries with a node (may be null)
// and an offset field that Write fills.

// Entries the record holds. A tree read from a file may keep the file's
// count with fewer list entries; the missing ones are written as absent, so
// the record is always as long as its count says.
template <typename Entries>
uint32_t EntryCount(const Entries& list, int32_t keptCount) {
    const std::size_t kept = keptCount > 0 ? static_cast<std::size_t>(keptCount) : 0;
    return static_cast<uint32_t>(std::max(list.size(), kept));
}

template <typename Entries>
uint64_t ListedTreeSize(uint32_t recordSize, const Entries& list) {
    uint64_t size = recordSize;
    for (const auto& entry : list) {
        if (entry.node) {
            size += entry.node->TreeSize();
        }
    }
    return size;
}

template <typename Entries>
void WriteListed(Entries& list, Cursor& cursor) {
    for (auto& entry : list) {
        if (entry.node) {
            entry.offset = WriteChild(entry.node.get(), cursor, kAbsent);
        }
    }
}

// The record's index field. An index with no record in its pool is written
// as it stands: trees that did not come from the conversion may hold one.
inline uint32_t PoolIndex(const ZertexList& pool, int32_t index) {
    const Zertex* entry = pool.entryAt(index);
    return static_cast<uint32_t>(entry != nullptr ? entry->index : index);
}

// Offsets come from RecordSize, never from the writer's position; this checks
// in debug builds that the two agree: the record starts where the offset
// says, and it is as long as RecordSize says.
class RecordCheck {
  public:
    RecordCheck(const ByteWriter& out, uint32_t start)
        : out_(out), entry_(out.size()), start_(start) {}
    void AtRecord(uint32_t cur) {
        record_ = out_.size();
        assert(record_ - entry_ == std::size_t{cur - start_});
        (void)cur;
    }
    void AfterRecord(uint32_t recordSize) const {
        assert(out_.size() - record_ == recordSize);
        (void)recordSize;
    }

  private:
    const ByteWriter& out_;
    [[maybe_unused]] std::size_t entry_;
    [[maybe_unused]] uint32_t start_;
    std::size_t record_ = 0;
};

}  // namespace tarvel::node_write
