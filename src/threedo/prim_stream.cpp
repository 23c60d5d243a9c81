#include "threedo/prim_stream.h"

#include "threedo/file_writer.h"

namespace tarvel {

namespace {

// Blocks of this size keep the section from being moved as it grows, which
// would briefly need it twice over.
inline constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

}  // namespace

ByteWriter& PrimStream::Tail() {
    if (blocks_.empty() || blocks_.back().size() >= kBlockBytes) {
        blocks_.emplace_back();
        // A subtree may run past the block's end: room for a little more.
        blocks_.back().reserve(kBlockBytes + kBlockBytes / 8);
    }
    return blocks_.back();
}

std::unique_ptr<Node> PrimStream::Seal(std::unique_ptr<Node> subtree, const ZertexList& vertices,
                                       const ZertexList& planes) {
    if (!subtree || discards_ > 0) {
        return subtree;
    }
    ByteWriter& out = Tail();
    const std::size_t before = out.size();
    const uint32_t start = static_cast<uint32_t>(end_);
    const uint32_t offset = subtree->Write(out, start, vertices, planes);
    end_ += out.size() - before;
    return std::make_unique<SealedNode>(subtree->type, offset, subtree->RecordSize(),
                                        subtree->TreeSize(), CountNodeRecords(*subtree));
}

PrimStream::Discard::Discard(PrimStream* stream, bool drop) : stream_(drop ? stream : nullptr) {
    if (stream_ != nullptr) {
        ++stream_->discards_;
    }
}

PrimStream::Discard::~Discard() {
    if (stream_ != nullptr) {
        --stream_->discards_;
    }
}

}  // namespace tarvel
