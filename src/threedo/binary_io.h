#pragma once

// The binary primitives every writer of a 3DO file uses. Integers and floats
// are little-endian on disk whatever the host. A 3DO file is assembled in
// memory first, so that the two placeholders can be patched and the file
// written out (and checked) in one go.

#include <bit>
#include <cstdint>
#include <vector>

namespace tarvel {

class ByteWriter {
  public:
    // Bytes are assembled by shifting, never copied from a native integer,
    // so the file is little-endian on any host. Inline: a file is written
    // four bytes at a time.
    void writeU32(uint32_t value) {
        bytes_.push_back(static_cast<uint8_t>(value & 0xFFu));
        bytes_.push_back(static_cast<uint8_t>((value >> 8) & 0xFFu));
        bytes_.push_back(static_cast<uint8_t>((value >> 16) & 0xFFu));
        bytes_.push_back(static_cast<uint8_t>((value >> 24) & 0xFFu));
    }
    void writeByte(uint8_t value) { bytes_.push_back(value); }
    // Narrows the double to single precision first.
    void writeFloat(double value) { writeU32(std::bit_cast<uint32_t>(static_cast<float>(value))); }
    // Overwrites four bytes already written, at an absolute position.
    void patchU32(std::size_t position, uint32_t value);
    // Room for this many bytes in all, so that a large file is not moved
    // again and again as it grows.
    void reserve(std::size_t total) { bytes_.reserve(total); }

    // Empties it for reuse, keeping its room.
    void clear() { bytes_.clear(); }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

// Little-endian decoding of four bytes.
uint32_t LoadU32(const uint8_t* bytes);
float LoadFloat(const uint8_t* bytes);
// A float NaN with its quiet bit clear. Widening it to double sets that bit,
// so such a value cannot be written back as stored; no writer produces one.
bool IsSignallingNaN(const uint8_t* bytes);

}  // namespace tarvel
