#pragma once

// The binary primitives every writer of a 3DO file uses. Integers and floats
// are little-endian on disk whatever the host. A 3DO file is assembled in
// memory first, so that the two placeholders can be patched and the file
// written out (and checked) in one go.

#include <cstdint>
#include <vector>

namespace tarvel {

class ByteWriter {
  public:
    void writeU32(uint32_t value);
    void writeByte(uint8_t value);
    // Narrows the double to single precision first.
    void writeFloat(double value);
    // Overwrites four bytes already written, at an absolute position.
    void patchU32(std::size_t position, uint32_t value);

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
