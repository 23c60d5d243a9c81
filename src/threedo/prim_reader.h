#pragma once

// A bounded reader over the node data of a 3DO file (the bytes after the
// 12-byte PRIM header; record offsets count from its first byte). A 3DO file
// is input from anywhere, so every seek, read and count is checked against
// the bytes there are. The first problem is kept and every later read fails
// softly (zeros, no records entered), so a damaged file ends the read
// instead of crashing or recursing without end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvel {

// What went wrong, and at which offset of the node data.
struct PrimError {
    std::string what;
    uint32_t offset = 0;
};

// The bytes [offset, end) one record occupies, its child fields included.
struct RecordExtent {
    uint32_t offset = 0;
    uint32_t end = 0;
    uint32_t type = 0;
};

// Deep enough for any tree a real scene gives while the recursive read still
// fits an 8 MB stack; callers on a larger stack may allow more.
inline constexpr std::size_t kDefaultReadDepthCap = 10'000;

class PrimReader {
  public:
    explicit PrimReader(std::span<const uint8_t> data, std::size_t depthCap = kDefaultReadDepthCap);

    uint32_t size() const { return static_cast<uint32_t>(data_.size()); }
    bool Ok() const { return !error_.has_value(); }
    const std::optional<PrimError>& error() const { return error_; }
    // Keeps the first error only.
    void Fail(std::string what, uint32_t offset);

    // Reads at the current position and advances; 0 once anything failed.
    uint32_t ReadU32();
    double ReadFloat();
    uint32_t Position() const { return position_; }
    // The u32 at offset, leaving the position alone; none past the end.
    std::optional<uint32_t> PeekU32(uint32_t offset) const;

    // True when count items of itemBytes each fit between the current
    // position and the end; otherwise fails the read. Checked before any
    // count read from the file sizes a loop or an allocation.
    bool HasRoomFor(uint32_t count, uint32_t itemBytes);

    // Starts the record at offset: refuses offsets past the end, a record
    // already on the current path (a cycle), a path deeper than the data
    // could hold, and more records than the data could hold (records shared
    // without end). Then seeks there and reads the type code.
    bool EnterRecord(uint32_t offset);
    // The record's own fields end here (its children come after).
    void EndOfFields();
    // The record and all its children are done.
    void LeaveRecord();

    // Anomalies that leave the read going (a child that names no record);
    // the first one is kept for the consistency check.
    void Note(std::string what, uint32_t offset);
    const std::optional<PrimError>& firstNote() const { return note_; }
    // Where the first signalling NaN was read, if any (see IsSignallingNaN).
    const std::optional<uint32_t>& firstSignallingNaN() const { return signallingNaN_; }

    // Every record entered, in the order entered.
    const std::vector<RecordExtent>& extents() const { return extents_; }
    std::size_t maxDepth() const { return maxDepth_; }
    // The record being read (0 before the first): errors name it.
    uint32_t CurrentRecord() const;

  private:
    bool CanRead(uint32_t bytes);

    std::span<const uint8_t> data_;
    std::size_t depthCap_;
    std::size_t recordBudget_;
    uint32_t position_ = 0;
    std::optional<PrimError> error_;
    std::optional<PrimError> note_;
    std::optional<uint32_t> signallingNaN_;
    std::vector<bool> onPath_;
    struct PathEntry {
        uint32_t offset;
        std::size_t extent;
    };
    std::vector<PathEntry> path_;
    std::vector<RecordExtent> extents_;
    std::size_t maxDepth_ = 0;
};

// Keeps one record on the reader's path while its fields and children are
// read; enters it on construction.
class RecordVisit {
  public:
    RecordVisit(PrimReader& in, uint32_t offset) : in_(in), entered_(in.EnterRecord(offset)) {}
    ~RecordVisit() {
        if (entered_) {
            in_.LeaveRecord();
        }
    }
    RecordVisit(const RecordVisit&) = delete;
    RecordVisit& operator=(const RecordVisit&) = delete;
    explicit operator bool() const { return entered_; }

  private:
    PrimReader& in_;
    bool entered_;
};

// The type code of the record at offset, 0 for the absent mark 0xFFFFFFFF.
// Does not move the reader's position.
uint32_t readTypeAt(PrimReader& in, uint32_t offset);

}  // namespace tarvel
