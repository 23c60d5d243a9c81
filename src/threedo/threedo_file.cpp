#include "threedo/threedo_file.h"

#include <fstream>
#include <iterator>
#include <utility>

#include "log/log.h"
#include "platform/utf8_path.h"
#include "threedo/binary_io.h"

namespace tarvel {

namespace {

// Walks the file front to back; the first problem ends the load.
class Loader {
  public:
    explicit Loader(ThreeDoFile& file) : file_(file), size_(file.bytes.size()) {}

    bool Header();
    bool Section(uint32_t tag, SectionInfo& section);
    bool Pool(const SectionInfo& section, ZertexList& pool);
    bool Names();
    bool Tree(const LoadOptions& options);

    std::optional<ThreeDoError> error;

  private:
    bool Fail(std::string what, uint64_t offset) {
        error = ThreeDoError{std::move(what), offset};
        return false;
    }
    uint32_t U32At(uint64_t offset) const { return LoadU32(file_.bytes.data() + offset); }
    uint64_t Remaining() const { return size_ - position_; }

    ThreeDoFile& file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

bool Loader::Header() {
    if (size_ < 12) {
        return Fail(Format("file of %llu bytes is shorter than the 12-byte header",
                           static_cast<unsigned long long>(size_)),
                    0);
    }
    if (U32At(0) != kMagic3DO) {
        return Fail(Format("not a 3DO file: magic 0x%08X, expected 0x%08X", U32At(0), kMagic3DO),
                    0);
    }
    if (U32At(4) != kThreeDoVersion) {
        return Fail(Format("version %u, expected %u", U32At(4), kThreeDoVersion), 4);
    }
    file_.headerLength = U32At(8);
    if (file_.headerLength != size_ - 12) {
        return Fail(Format("header length %u, but %llu bytes follow the header", file_.headerLength,
                           static_cast<unsigned long long>(size_ - 12)),
                    8);
    }
    position_ = 12;
    return true;
}

bool Loader::Section(uint32_t tag, SectionInfo& section) {
    const std::string name = TagName(tag);
    if (Remaining() < 12) {
        return Fail(Format("file ends before the %s section header", name.c_str()), position_);
    }
    section.position = position_;
    section.tag = U32At(position_);
    if (section.tag != tag) {
        return Fail(Format("expected the %s section, found tag 0x%08X", name.c_str(), section.tag),
                    position_);
    }
    if (U32At(position_ + 4) != 0) {
        return Fail(Format("%s section header: second word %u, expected 0", name.c_str(),
                           U32At(position_ + 4)),
                    position_ + 4);
    }
    section.length = U32At(position_ + 8);
    // STRN data is padded with blanks to a multiple of 4 that the length leaves out.
    section.padding = tag == kTagSTRN ? (4 - section.length % 4) % 4 : 0;
    const uint64_t occupied = uint64_t{section.length} + section.padding;
    if (occupied > Remaining() - 12) {
        return Fail(
            Format("%s section length %u runs past the end of the file (%llu bytes remain)",
                   name.c_str(), section.length, static_cast<unsigned long long>(Remaining() - 12)),
            position_ + 8);
    }
    position_ += 12 + occupied;
    return true;
}

// XYZS records are 0, x, y, z and go in as they stand; PLAN records are
// a, b, c, d and go in as (d, a, b, c), the order the pool keeps planes in.
bool Loader::Pool(const SectionInfo& section, ZertexList& pool) {
    if (section.length % 16 != 0) {
        return Fail(Format("%s section length %u is not a whole number of 16-byte records",
                           TagName(section.tag).c_str(), section.length),
                    section.position + 8);
    }
    const bool planes = section.tag == kTagPLAN;
    for (uint64_t at = section.DataPosition(); at < section.DataPosition() + section.length;
         at += 16) {
        for (uint64_t k = at; k < at + 16 && !file_.signallingNaN; k += 4) {
            if (IsSignallingNaN(&file_.bytes[k])) {
                file_.signallingNaN = k;
            }
        }
        const double f[4] = {LoadFloat(&file_.bytes[at]), LoadFloat(&file_.bytes[at + 4]),
                             LoadFloat(&file_.bytes[at + 8]), LoadFloat(&file_.bytes[at + 12])};
        if (planes) {
            pool.append(f[3], f[0], f[1], f[2]);
        } else {
            pool.append(f[0], f[1], f[2], f[3]);
        }
    }
    return true;
}

// The names, each ended by 0x00, then 0x7F as the length's last byte.
bool Loader::Names() {
    const SectionInfo& section = file_.strn;
    const uint64_t begin = section.DataPosition();
    const uint64_t terminator = begin + section.length - 1;
    if (section.length == 0 || file_.bytes[terminator] != 0x7F) {
        return Fail("STRN data does not end in 0x7F", section.length == 0 ? begin : terminator);
    }
    uint64_t at = begin;
    while (at < terminator) {
        uint64_t end = at;
        while (end < terminator && file_.bytes[end] != 0) {
            ++end;
        }
        if (end == terminator) {
            return Fail(Format("texture name at STRN offset %llu has no terminating 0x00",
                               static_cast<unsigned long long>(at - begin)),
                        at);
        }
        file_.strings.appendName(
            std::string(reinterpret_cast<const char*>(&file_.bytes[at]), end - at));
        at = end + 1;
    }
    return true;
}

bool Loader::Tree(const LoadOptions& options) {
    const SectionInfo& section = file_.prim;
    if (section.length < 4) {
        return Fail(Format("PRIM section length %u cannot hold the root word", section.length),
                    section.position + 8);
    }
    PrimReader in(file_.PrimData(), options.maxDepth);
    file_.rootOffset = in.ReadU32();
    const uint32_t type = readTypeAt(in, file_.rootOffset);
    file_.root = createNodeOfType(type);
    if (file_.root) {
        file_.root->Read(in, file_.rootOffset, file_.strings);
    } else if (in.Ok()) {
        in.Fail(
            Format("root offset %u designates no record (type code 0x%X)", file_.rootOffset, type),
            0);
    }
    if (!in.Ok()) {
        file_.root.reset();
        return Fail(in.error()->what, section.DataPosition() + in.error()->offset);
    }
    file_.records = in.extents();
    file_.depth = in.maxDepth();
    file_.note = in.firstNote();
    if (in.firstSignallingNaN() && !file_.signallingNaN) {
        file_.signallingNaN = section.DataPosition() + *in.firstSignallingNaN();
    }
    return true;
}

}  // namespace

std::span<const uint8_t> ThreeDoFile::PrimData() const {
    if (prim.position == 0) {
        return {};
    }
    return std::span<const uint8_t>(bytes).subspan(prim.DataPosition(), prim.length);
}

std::string TagName(uint32_t tag) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto letter = static_cast<char>((tag >> shift) & 0xFFu);
        name.push_back(letter >= 0x20 && letter < 0x7F ? letter : '?');
    }
    return name;
}

LoadResult LoadThreeDo(std::span<const uint8_t> bytes, const LoadOptions& options) {
    LoadResult result;
    ThreeDoFile& file = result.file.emplace();
    file.bytes.assign(bytes.begin(), bytes.end());
    Loader loader(file);
    const bool loaded =
        loader.Header() && loader.Section(kTagXYZS, file.xyzs) &&
        loader.Section(kTagPLAN, file.plan) && loader.Section(kTagSTRN, file.strn) &&
        loader.Section(kTagPRIM, file.prim) && loader.Pool(file.xyzs, file.vertices) &&
        loader.Pool(file.plan, file.planes) && loader.Names() && loader.Tree(options);
    if (!loaded) {
        result.error = std::move(*loader.error);
        result.file.reset();
    }
    return result;
}

LoadResult LoadThreeDoFile(const std::string& path, const LoadOptions& options) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        LoadResult result;
        result.error = ThreeDoError{Format("cannot open '%s'", path.c_str()), 0};
        return result;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (in.bad()) {
        LoadResult result;
        result.error = ThreeDoError{Format("cannot read '%s'", path.c_str()), 0};
        return result;
    }
    return LoadThreeDo(bytes, options);
}

}  // namespace tarvel
