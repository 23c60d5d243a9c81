#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "threedo/binary_io.h"

namespace tarvel {

struct GString {
    int32_t offset = 0;  // byte offset of the name within the STRN data
    std::string name;
};

inline constexpr uint32_t kTagSTRN = 0x5354524E;

// The texture-name table (MipTable): distinct names in order of first use,
// each at the byte offset where the STRN section writes it. Look-ups are
// exact, case-sensitive byte comparisons where the first entry wins, done
// through a hash index. Offsets are 32-bit: a table whose names would pass
// 2 GiB throws std::length_error.
class GStringList {
  public:
    // The name's offset, adding the name first when it is new.
    int32_t addName(const std::string& name);
    // Appends without searching (rebuilding a file's table as it stands,
    // duplicates included); returns the new entry's offset. addName still
    // finds the first of equal names.
    int32_t appendName(const std::string& name);
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
    // L of the section: every name with its 0x00, plus the 0x7F.
    uint32_t DataLength() const { return static_cast<uint32_t>(nextOffset_) + 1; }

    std::vector<GString> entries_;  // offsets strictly increasing
    std::unordered_map<std::string, int32_t> firstOffset_;
    int32_t nextOffset_ = 0;
};

}  // namespace tarvel
