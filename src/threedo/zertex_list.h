#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "threedo/binary_io.h"
#include "threedo/record_index.h"

namespace tarvel {

// One pool record: a vertex (0, x, y, z) or a plane (d, a, b, c).
struct Zertex {
    double c0 = 0, c1 = 0, c2 = 0, c3 = 0;
    int32_t index = -1;  // position in its table; -1 outside a table
};

inline constexpr uint32_t kTagXYZS = 0x58595A53;
inline constexpr uint32_t kTagPLAN = 0x504C414E;

// The de-duplicating pool behind the VertexTable and the PlaneTable. Records
// are only appended, so an index once handed out stays valid. Searches use
// exact double equality (-0.0 equals 0.0, NaN equals nothing) and the first
// match wins, as a scan from index 0 would; hash indexes make them constant
// time. The indexes are caches that the const finds bring up to date, so one
// table must not be searched from two threads at once.
class ZertexList {
  public:
    int32_t count() const { return static_cast<int32_t>(records_.size()); }
    // Null when the index is negative or not below count.
    const Zertex* entryAt(int32_t index) const;
    // Appends without searching; returns the new index.
    int32_t append(double c0, double c1, double c2, double c3);
    int32_t findVertex(double x, double y, double z) const;
    int32_t findPlane(const Zertex& plane) const;
    int32_t addVertex(double x, double y, double z);
    int32_t addPlane(const Zertex& plane);

    // XYZS writes 0, x, y, z per record; PLAN writes a, b, c, d. Any other
    // tag writes the header only.
    void writeSection(ByteWriter& out, uint32_t tag) const;
    uint32_t byteSize() const { return 12 + 16 * static_cast<uint32_t>(records_.size()); }

  private:
    // Components as bit patterns, -0.0 folded into 0.0; a vertex key leaves
    // the last word 0. Records holding a NaN never enter an index.
    using Key = RecordIndex::Key;

    Key VertexKeyAt(int32_t index) const;
    Key PlaneKeyAt(int32_t index) const;
    void CatchUpVertexIndex() const;
    void CatchUpPlaneIndex() const;

    // A deque: a pool grows in blocks instead of being moved to twice its
    // room, which for a large compile briefly needed the pool three times.
    std::deque<Zertex> records_;
    mutable RecordIndex vertexIndex_;
    mutable RecordIndex planeIndex_;
    mutable std::size_t vertexIndexed_ = 0;  // records_[0, vertexIndexed_) are in vertexIndex_
    mutable std::size_t planeIndexed_ = 0;
};

}  // namespace tarvel
