#pragma once

// The PRIM records of a conversion, written as each subtree is finished.
// Records are written children first, in child order, and the conversion
// finishes its nodes in that very order, so a finished subtree's records can
// go at the end of the section at once: its offsets are final. What stays
// behind is a small stand-in that a parent's Write takes for the child,
// so a compile never holds the whole 3DO tree.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "threedo/binary_io.h"
#include "threedo/nodes.h"
#include "threedo/zertex_list.h"

namespace tarvel {

// A subtree whose records are already in a PrimStream: Write writes nothing
// and gives the offset of the subtree's own record.
class SealedNode final : public Node {
  public:
    SealedNode(int32_t typeCode, uint32_t offset, uint32_t recordSize, uint64_t treeSize,
               int64_t records)
        : Node(typeCode),
          offset_(offset),
          recordSize_(recordSize),
          treeSize_(treeSize),
          records_(records) {}

    int Read(PrimReader&, uint32_t, GStringList&) override { return -1; }
    uint32_t Write(ByteWriter&, uint32_t, const ZertexList&, const ZertexList&) override {
        return offset_;
    }
    uint32_t RecordSize() const override { return recordSize_; }
    void Dump() const override {}
    void CollectMips(GStringList&) override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override { return treeSize_; }
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}

    uint32_t offset() const { return offset_; }
    // The node records of the subtree, its own included.
    int64_t records() const { return records_; }

  private:
    uint32_t offset_;
    uint32_t recordSize_;
    uint64_t treeSize_;
    int64_t records_;
};

class PrimStream {
  public:
    // Writes a finished subtree's records (its sealed children are already
    // written) and returns its stand-in; null stays null. While a discard is
    // open the subtree is given back as it is: it will be dropped, and its
    // records must not reach the file.
    std::unique_ptr<Node> Seal(std::unique_ptr<Node> subtree, const ZertexList& vertices,
                               const ZertexList& planes);

    // Opens a discard for its lifetime when drop is true.
    class Discard {
      public:
        Discard(PrimStream* stream, bool drop);
        ~Discard();
        Discard(const Discard&) = delete;
        Discard& operator=(const Discard&) = delete;

      private:
        PrimStream* stream_;
    };

    // The bytes of the records written so far; the first is at PRIM offset 4.
    uint64_t size() const { return end_ - 4; }
    // The records in file order, in blocks.
    const std::vector<ByteWriter>& blocks() const { return blocks_; }

  private:
    ByteWriter& Tail();

    std::vector<ByteWriter> blocks_;
    uint64_t end_ = 4;  // PRIM offsets count from the root word
    int discards_ = 0;
};

}  // namespace tarvel
