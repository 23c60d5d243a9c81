#include "threedo/binary_io.h"

#include <bit>
#include <cassert>

namespace tarvel {

void ByteWriter::patchU32(std::size_t position, uint32_t value) {
    assert(position <= bytes_.size() && bytes_.size() - position >= 4);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes_[position + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFFu);
    }
}

uint32_t LoadU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

float LoadFloat(const uint8_t* bytes) {
    return std::bit_cast<float>(LoadU32(bytes));
}

bool IsSignallingNaN(const uint8_t* bytes) {
    const uint32_t bits = LoadU32(bytes);
    const bool nan = (bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0;
    return nan && (bits & 0x00400000u) == 0;
}

}  // namespace tarvel
