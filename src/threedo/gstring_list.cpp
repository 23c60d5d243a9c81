#include "threedo/gstring_list.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "log/log.h"

namespace tarvel {

int32_t GStringList::addName(const std::string& name) {
    const auto found = firstOffset_.find(name);
    if (found != firstOffset_.end()) {
        return found->second;
    }
    return appendName(name);
}

int32_t GStringList::appendName(const std::string& name) {
    // The section length L = nextOffset + 1 must fit too, hence the "- 1".
    const int64_t next = int64_t{nextOffset_} + static_cast<int64_t>(name.size()) + 1;
    if (next > int64_t{std::numeric_limits<int32_t>::max()} - 1) {
        throw std::length_error("texture-name table exceeds 32-bit offsets");
    }
    const int32_t offset = nextOffset_;
    entries_.push_back(GString{offset, name});
    firstOffset_.try_emplace(name, offset);
    nextOffset_ = static_cast<int32_t>(next);
    return offset;
}

const GString* GStringList::entryByOffset(int32_t offset) const {
    // Offsets increase strictly in list order, so the first match is the only one.
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), offset,
                         [](const GString& entry, int32_t value) { return entry.offset < value; });
    if (it == entries_.end() || it->offset != offset) {
        return nullptr;
    }
    return &*it;
}

std::string GStringList::nameByOffset(int32_t offset) const {
    const GString* entry = entryByOffset(offset);
    return entry != nullptr ? entry->name : std::string("!Underbukser!\n");
}

// Section layout: tag, 0, L; each name and a 0x00; one 0x7F; blanks up to a
// multiple of four, which L does not count.
void GStringList::writeSection(ByteWriter& out) const {
    out.writeU32(kTagSTRN);
    out.writeU32(0);
    out.writeU32(DataLength());
    for (const GString& entry : entries_) {
        for (char ch : entry.name) {
            out.writeByte(static_cast<uint8_t>(ch));
        }
        out.writeByte(0x00);
    }
    out.writeByte(0x7F);
    for (uint32_t written = DataLength(); written % 4 != 0; ++written) {
        out.writeByte(0x20);
    }
}

uint32_t GStringList::byteSize() const {
    return 12 + (DataLength() + 3) / 4 * 4;
}

void GStringList::logReferenced() const {
    for (const GString& entry : entries_) {
        LogMemoF("%s.mip", entry.name.c_str());
    }
}

}  // namespace tarvel
