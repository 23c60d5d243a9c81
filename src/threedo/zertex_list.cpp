#include "threedo/zertex_list.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <optional>

namespace tarvel {

namespace {

// The bit pattern under which equal doubles meet: -0.0 == 0.0 must share one.
uint64_t KeyWord(double value) {
    return std::bit_cast<uint64_t>(value == 0.0 ? 0.0 : value);
}

std::optional<std::array<uint64_t, 4>> MakeKey(double w0, double w1, double w2, double w3) {
    if (std::isnan(w0) || std::isnan(w1) || std::isnan(w2) || std::isnan(w3)) {
        return std::nullopt;  // equal to nothing, so never searchable
    }
    return std::array<uint64_t, 4>{KeyWord(w0), KeyWord(w1), KeyWord(w2), KeyWord(w3)};
}

std::optional<std::array<uint64_t, 4>> VertexKey(double x, double y, double z) {
    return MakeKey(x, y, z, 0.0);
}

std::optional<std::array<uint64_t, 4>> PlaneKey(const Zertex& z) {
    return MakeKey(z.c0, z.c1, z.c2, z.c3);
}

}  // namespace

const Zertex* ZertexList::entryAt(int32_t index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return &records_[static_cast<std::size_t>(index)];
}

int32_t ZertexList::append(double c0, double c1, double c2, double c3) {
    assert(records_.size() < static_cast<std::size_t>(INT32_MAX));
    const int32_t index = count();
    records_.push_back(Zertex{c0, c1, c2, c3, index});
    return index;
}

// Only records without a NaN are indexed, so their keys exist.
ZertexList::Key ZertexList::VertexKeyAt(int32_t index) const {
    const Zertex& z = records_[static_cast<std::size_t>(index)];
    return *VertexKey(z.c1, z.c2, z.c3);
}

ZertexList::Key ZertexList::PlaneKeyAt(int32_t index) const {
    return *PlaneKey(records_[static_cast<std::size_t>(index)]);
}

// An index keeps the first position added for a key, and records are
// indexed in index order, so each key maps to its lowest index: the record
// a scan would find.
void ZertexList::CatchUpVertexIndex() const {
    const auto keyAt = [this](int32_t index) { return VertexKeyAt(index); };
    for (; vertexIndexed_ < records_.size(); ++vertexIndexed_) {
        const Zertex& z = records_[vertexIndexed_];
        if (const auto key = VertexKey(z.c1, z.c2, z.c3)) {
            vertexIndex_.AddIfAbsent(*key, z.index, keyAt);
        }
    }
}

void ZertexList::CatchUpPlaneIndex() const {
    const auto keyAt = [this](int32_t index) { return PlaneKeyAt(index); };
    for (; planeIndexed_ < records_.size(); ++planeIndexed_) {
        const Zertex& z = records_[planeIndexed_];
        if (const auto key = PlaneKey(z)) {
            planeIndex_.AddIfAbsent(*key, z.index, keyAt);
        }
    }
}

int32_t ZertexList::findVertex(double x, double y, double z) const {
    const auto key = VertexKey(x, y, z);
    if (!key) {
        return -1;
    }
    CatchUpVertexIndex();
    return vertexIndex_.Find(*key, [this](int32_t index) { return VertexKeyAt(index); });
}

int32_t ZertexList::findPlane(const Zertex& plane) const {
    const auto key = PlaneKey(plane);
    if (!key) {
        return -1;
    }
    CatchUpPlaneIndex();
    return planeIndex_.Find(*key, [this](int32_t index) { return PlaneKeyAt(index); });
}

int32_t ZertexList::addVertex(double x, double y, double z) {
    const int32_t found = findVertex(x, y, z);
    return found >= 0 ? found : append(0.0, x, y, z);
}

int32_t ZertexList::addPlane(const Zertex& plane) {
    const int32_t found = findPlane(plane);
    return found >= 0 ? found : append(plane.c0, plane.c1, plane.c2, plane.c3);
}

// Section layout: tag, 0, 16 * count, then four floats per record. The file
// puts a plane's constant last, while the record keeps it first.
void ZertexList::writeSection(ByteWriter& out, uint32_t tag) const {
    out.writeU32(tag);
    out.writeU32(0);
    out.writeU32(byteSize() - 12);
    if (tag == kTagXYZS) {
        for (const Zertex& z : records_) {
            out.writeFloat(z.c0);
            out.writeFloat(z.c1);
            out.writeFloat(z.c2);
            out.writeFloat(z.c3);
        }
    } else if (tag == kTagPLAN) {
        for (const Zertex& z : records_) {
            out.writeFloat(z.c1);
            out.writeFloat(z.c2);
            out.writeFloat(z.c3);
            out.writeFloat(z.c0);
        }
    }
}

}  // namespace tarvel
