#include "import/scene_wire.h"

#include <bit>
#include <cstring>

namespace tarvel::import {

namespace {

constexpr std::string_view kSceneMagic = "TVSCENE1";
constexpr std::string_view kFailureMagic = "TVERROR1";
constexpr std::string_view kEndMark = "END.";

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

void PutF32(std::string& out, float value) {
    PutU32(out, std::bit_cast<uint32_t>(value));
}

void PutText(std::string& out, std::string_view text) {
    PutU32(out, static_cast<uint32_t>(text.size()));
    out.append(text);
}

// Reads forward through the helper's bytes; every read says whether the
// bytes were there, and a count is only accepted when the records it
// announces fit in what remains.
class Cursor {
  public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool Take(std::string_view expected) {
        if (bytes_.substr(at_, expected.size()) != expected) {
            return false;
        }
        at_ += expected.size();
        return true;
    }

    bool U32(uint32_t& value) {
        if (Remaining() < 4) {
            return false;
        }
        value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[at_ + i]);
        }
        at_ += 4;
        return true;
    }

    bool F32(float& value) {
        uint32_t bits = 0;
        if (!U32(bits)) {
            return false;
        }
        value = std::bit_cast<float>(bits);
        return true;
    }

    // A count of records of recordBytes each that must fit in the rest.
    bool Count(uint32_t& count, std::size_t recordBytes) {
        return U32(count) && count <= Remaining() / recordBytes && count <= 0x7FFFFFFFu;
    }

    bool Text(std::string& text, uint32_t maxLength) {
        uint32_t length = 0;
        if (!U32(length) || length > maxLength || length > Remaining()) {
            return false;
        }
        text.assign(bytes_.substr(at_, length));
        at_ += length;
        return true;
    }

    std::size_t Remaining() const { return bytes_.size() - at_; }
    std::size_t Offset() const { return at_; }

  private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::string At(const Cursor& in, const char* what) {
    return std::string(what) + " at byte " + std::to_string(in.Offset());
}

bool ReadMaterials(Cursor& in, WireScene& scene, std::string& error) {
    uint32_t count = 0;
    if (!in.Count(count, 16)) {
        error = At(in, "bad material count");
        return false;
    }
    scene.materials.resize(count);
    for (WireMaterial& m : scene.materials) {
        if (!in.F32(m.colour.r) || !in.F32(m.colour.g) || !in.F32(m.colour.b) ||
            !in.Text(m.bitmap, kMaxWireName)) {
            error = At(in, "bad material");
            return false;
        }
    }
    return true;
}

template <std::size_t N>
bool ReadFloats(Cursor& in, std::vector<std::array<float, N>>& out) {
    for (std::array<float, N>& item : out) {
        for (float& value : item) {
            if (!in.F32(value)) {
                return false;
            }
        }
    }
    return true;
}

bool ReadTriangles(Cursor& in, WireObject& object) {
    for (std::array<uint32_t, 3>& triangle : object.triangles) {
        for (uint32_t& corner : triangle) {
            if (!in.U32(corner) || corner >= object.positions.size()) {
                return false;
            }
        }
    }
    return true;
}

bool ReadObject(Cursor& in, std::size_t materialCount, WireObject& object, std::string& error) {
    uint32_t count = 0;
    if (!in.U32(object.material) ||
        (object.material != kNoMaterial && object.material >= materialCount)) {
        error = At(in, "material index out of range");
        return false;
    }
    if (!in.Count(count, 12) ||
        (object.positions.resize(count), !ReadFloats(in, object.positions))) {
        error = At(in, "bad vertex list");
        return false;
    }
    if (!in.Count(count, 8) || (count != 0 && count != object.positions.size())) {
        error = At(in, "bad texture coordinate count");
        return false;
    }
    object.uvs.resize(count);
    if (!ReadFloats(in, object.uvs)) {
        error = At(in, "bad texture coordinates");
        return false;
    }
    if (!in.Count(count, 12) || (object.triangles.resize(count), !ReadTriangles(in, object))) {
        error = At(in, "bad triangle list or vertex index out of range");
        return false;
    }
    return true;
}

std::optional<WireScene> ReadScene(Cursor& in, std::string& error) {
    WireScene scene;
    uint32_t up = 0;
    if (!in.U32(up) || up > static_cast<uint32_t>(UpAxis::Y)) {
        error = At(in, "bad up axis");
        return std::nullopt;
    }
    scene.up = static_cast<UpAxis>(up);
    if (!ReadMaterials(in, scene, error)) {
        return std::nullopt;
    }
    uint32_t count = 0;
    // The smallest object: a material index and three zero counts.
    if (!in.Count(count, 16)) {
        error = At(in, "bad object count");
        return std::nullopt;
    }
    scene.objects.resize(count);
    for (WireObject& object : scene.objects) {
        if (!ReadObject(in, scene.materials.size(), object, error)) {
            return std::nullopt;
        }
    }
    if (!in.Take(kEndMark) || in.Remaining() != 0) {
        error = At(in, "no end mark where the scene should end");
        return std::nullopt;
    }
    return scene;
}

}  // namespace

std::string EncodeScene(const WireScene& scene) {
    std::string out(kSceneMagic);
    PutU32(out, static_cast<uint32_t>(scene.up));
    PutU32(out, static_cast<uint32_t>(scene.materials.size()));
    for (const WireMaterial& m : scene.materials) {
        PutF32(out, m.colour.r);
        PutF32(out, m.colour.g);
        PutF32(out, m.colour.b);
        PutText(out, std::string_view(m.bitmap).substr(0, kMaxWireName));
    }
    PutU32(out, static_cast<uint32_t>(scene.objects.size()));
    for (const WireObject& object : scene.objects) {
        PutU32(out, object.material);
        PutU32(out, static_cast<uint32_t>(object.positions.size()));
        for (const auto& p : object.positions) {
            PutF32(out, p[0]);
            PutF32(out, p[1]);
            PutF32(out, p[2]);
        }
        PutU32(out, static_cast<uint32_t>(object.uvs.size()));
        for (const auto& uv : object.uvs) {
            PutF32(out, uv[0]);
            PutF32(out, uv[1]);
        }
        PutU32(out, static_cast<uint32_t>(object.triangles.size()));
        for (const auto& t : object.triangles) {
            PutU32(out, t[0]);
            PutU32(out, t[1]);
            PutU32(out, t[2]);
        }
    }
    out.append(kEndMark);
    return out;
}

std::string EncodeFailure(std::string_view message) {
    std::string out(kFailureMagic);
    PutText(out, message.substr(0, kMaxWireName));
    return out;
}

DecodedOutput DecodeOutput(std::string_view bytes) {
    DecodedOutput decoded;
    Cursor in(bytes);
    if (in.Take(kFailureMagic)) {
        std::string message;
        if (in.Text(message, kMaxWireName) && in.Remaining() == 0) {
            decoded.failure = std::move(message);
        } else {
            decoded.malformed = At(in, "bad failure message");
        }
        return decoded;
    }
    if (!in.Take(kSceneMagic)) {
        decoded.malformed = bytes.empty() ? "no output" : "output is not a scene";
        return decoded;
    }
    decoded.scene = ReadScene(in, decoded.malformed);
    return decoded;
}

}  // namespace tarvel::import
