#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "threedo/binary_io.h"

namespace tarvel {

struct GString {
    int32_t offset = 0;  // byte offset of the name within the STRN data
    std::string name;
};

inline constexpr uint32_t kTagSTRN = 0x5354524E;

// The texture-name table (MipTable): distinct names in order of first use,
// each at the byte offset where the STRN section writes it.
class GStringList {
public:
    // The name's offset, adding the name first when it is new.
    int32_t addName(const std::string& name);
    // The first entry with that offset, or null.
    const GString* entryByOffset(int32_t offset) const;
    // The name at that offset, or "!Underbukser!\n" when no name starts there.
    std::string nameByOffset(int32_t offset) const;

    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    const std::vector<GString>& entries() const { return entries_; }

    void writeSection(ByteWriter& out) const;
    uint32_t byteSize() const;
    // One memo line "%s.mip" per name.
    void logReferenced() const;

private:
    std::vector<GString> entries_;
    int32_t nextOffset_ = 0;
};

}  // namespace tarvel
