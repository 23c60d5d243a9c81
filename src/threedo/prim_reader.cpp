#include "threedo/prim_reader.h"

#include <algorithm>
#include <utility>

#include "log/log.h"
#include "threedo/binary_io.h"

namespace tarvel {

namespace {

// No record is shorter than 8 bytes (a type code and a count of zero), so
// the data holds at most size / 8 records side by side, and no path through
// distinct records can be longer than that.
constexpr uint32_t kSmallestRecord = 8;

}  // namespace

PrimReader::PrimReader(std::span<const uint8_t> data, std::size_t depthCap)
    : data_(data),
      depthCap_(depthCap),
      recordBudget_(data.size() / kSmallestRecord),
      onPath_(data.size(), false) {
    if (data.size() > UINT32_MAX) {
        data_ = data.first(UINT32_MAX);
        Fail("PRIM data larger than 4 GiB", 0);
    }
}

void PrimReader::Fail(std::string what, uint32_t offset) {
    if (!error_) {
        error_ = PrimError{std::move(what), offset};
    }
}

void PrimReader::Note(std::string what, uint32_t offset) {
    if (!note_) {
        note_ = PrimError{std::move(what), offset};
    }
}

uint32_t PrimReader::CurrentRecord() const {
    return path_.empty() ? 0 : path_.back().offset;
}

bool PrimReader::CanRead(uint32_t bytes) {
    if (!Ok()) {
        return false;
    }
    if (bytes > size() - position_) {
        Fail(Format("record at PRIM offset %u runs past the end of the PRIM data", CurrentRecord()),
             CurrentRecord());
        return false;
    }
    return true;
}

uint32_t PrimReader::ReadU32() {
    if (!CanRead(4)) {
        return 0;
    }
    const uint32_t value = LoadU32(data_.data() + position_);
    position_ += 4;
    return value;
}

double PrimReader::ReadFloat() {
    if (!CanRead(4)) {
        return 0.0;
    }
    const float value = LoadFloat(data_.data() + position_);
    if (!signallingNaN_ && IsSignallingNaN(data_.data() + position_)) {
        signallingNaN_ = position_;
    }
    position_ += 4;
    return value;
}

bool PrimReader::HasRoomFor(uint32_t count, uint32_t itemBytes) {
    if (!Ok()) {
        return false;
    }
    const uint64_t needed = uint64_t{count} * itemBytes;
    const uint64_t remaining = size() - position_;
    if (needed > remaining) {
        Fail(Format("count %u in the record at PRIM offset %u needs %llu bytes, only %llu remain",
                    count, CurrentRecord(), static_cast<unsigned long long>(needed),
                    static_cast<unsigned long long>(remaining)),
             CurrentRecord());
        return false;
    }
    return true;
}

bool PrimReader::EnterRecord(uint32_t offset) {
    if (!Ok()) {
        return false;
    }
    const uint32_t from = CurrentRecord();
    if (!PeekU32(offset)) {
        Fail(Format("record offset %u named at PRIM offset %u lies past the end of the %u bytes of "
                    "PRIM data",
                    offset, from, size()),
             from);
        return false;
    }
    if (onPath_[offset]) {
        Fail(Format("record at PRIM offset %u refers back to the record at %u (a cycle)", from,
                    offset),
             from);
        return false;
    }
    if (path_.size() >= recordBudget_) {
        Fail("tree deeper than the PRIM data could hold", from);
        return false;
    }
    if (path_.size() >= depthCap_) {
        Fail(Format("tree deeper than %zu levels", depthCap_), from);
        return false;
    }
    if (extents_.size() >= recordBudget_) {
        Fail("more records than the PRIM data could hold (records shared too often)", from);
        return false;
    }
    onPath_[offset] = true;
    path_.push_back(PathEntry{offset, extents_.size()});
    extents_.push_back(RecordExtent{offset, offset, *PeekU32(offset)});
    maxDepth_ = std::max(maxDepth_, path_.size());
    position_ = offset + 4;
    return true;
}

void PrimReader::EndOfFields() {
    if (!path_.empty()) {
        extents_[path_.back().extent].end = position_;
    }
}

void PrimReader::LeaveRecord() {
    if (!path_.empty()) {
        onPath_[path_.back().offset] = false;
        path_.pop_back();
    }
}

std::optional<uint32_t> PrimReader::PeekU32(uint32_t offset) const {
    if (offset >= size() || size() - offset < 4) {
        return std::nullopt;
    }
    return LoadU32(data_.data() + offset);
}

uint32_t readTypeAt(PrimReader& in, uint32_t offset) {
    if (offset == 0xFFFFFFFFu || !in.Ok()) {
        return 0;
    }
    const std::optional<uint32_t> type = in.PeekU32(offset);
    if (!type) {
        in.Fail(Format("child offset %u named at PRIM offset %u lies past the end of the %u bytes "
                       "of PRIM data",
                       offset, in.CurrentRecord(), in.size()),
                in.CurrentRecord());
        return 0;
    }
    return *type;
}

}  // namespace tarvel
