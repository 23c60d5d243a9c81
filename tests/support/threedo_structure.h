#pragma once

// A small reader that checks the structure of a 3DO file on its own terms,
// independent of the node classes: header, the four sections and their
// lengths, and every node record of the PRIM section (offsets inside it,
// children before parents, indices inside their pools, the root last).

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tarvel::testing {

struct Structure {
    std::string error;  // empty when the file is consistent
    uint32_t vertices = 0, planes = 0, names = 0, records = 0;
    uint32_t primLength = 0, rootOffset = 0;
};

class StructureReader {
  public:
    explicit StructureReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    Structure Check() {
        if (!Header() || !Sections() || !Records()) {
            s_.records = 0;
        }
        return s_;
    }

  private:
    bool Fail(const std::string& what, std::size_t at) {
        s_.error = what + " at " + std::to_string(at);
        return false;
    }
    bool Word(std::size_t at, uint32_t& out) const {
        if (at > bytes_.size() || bytes_.size() - at < 4) {
            return false;
        }
        out = uint32_t{bytes_[at]} | uint32_t{bytes_[at + 1]} << 8 |
              uint32_t{bytes_[at + 2]} << 16 | uint32_t{bytes_[at + 3]} << 24;
        return true;
    }
    bool Expect(std::size_t at, uint32_t value, const char* what) {
        uint32_t word = 0;
        return Word(at, word) && word == value ? true : Fail(what, at);
    }

    bool Header() {
        uint32_t length = 0;
        return Expect(0, 0x33444F34, "magic") && Expect(4, 1, "version") && Word(8, length) &&
               (length == bytes_.size() - 12 || Fail("length word", 8));
    }

    // One section header; returns the data length and moves pos past the data.
    bool Section(std::size_t& pos, uint32_t tag, uint32_t& length, std::size_t& data) {
        if (!Expect(pos, tag, "section tag") || !Expect(pos + 4, 0, "section zero") ||
            !Word(pos + 8, length)) {
            return false;
        }
        data = pos + 12;
        const std::size_t stored = tag == 0x5354524E ? (std::size_t{length} + 3) / 4 * 4 : length;
        if (bytes_.size() - data < stored) {
            return Fail("section past the end", pos);
        }
        pos = data + stored;
        return true;
    }

    bool Sections() {
        std::size_t pos = 12, data = 0;
        uint32_t length = 0;
        if (!Section(pos, 0x58595A53, length, data) || length % 16 != 0) {
            return s_.error.empty() ? Fail("XYZS length", pos) : false;
        }
        s_.vertices = length / 16;
        if (!Section(pos, 0x504C414E, length, data) || length % 16 != 0) {
            return s_.error.empty() ? Fail("PLAN length", pos) : false;
        }
        s_.planes = length / 16;
        if (!Section(pos, 0x5354524E, length, data) || length == 0 ||
            bytes_[data + length - 1] != 0x7F) {
            return s_.error.empty() ? Fail("STRN data", pos) : false;
        }
        for (std::size_t i = data, start = data; i + 1 < data + length; ++i) {
            if (bytes_[i] == 0) {
                nameStarts_.insert(static_cast<uint32_t>(start - data));
                start = i + 1;
            }
        }
        s_.names = static_cast<uint32_t>(nameStarts_.size());
        if (!Section(pos, 0x5052494D, s_.primLength, prim_)) {
            return false;
        }
        if (pos != bytes_.size()) {
            return Fail("bytes after PRIM", pos);
        }
        return Word(prim_, s_.rootOffset);
    }

    // Record size by type code, and the fields that hold child offsets,
    // vertex and plane indices and string ids (as word positions).
    struct Layout {
        uint32_t size = 0;
        std::vector<uint32_t> children, vertices, planes, strings;
        uint32_t absentChild = 0xFFFFFFFF;
    };

    bool LayoutOf(uint32_t at, Layout& l) {
        uint32_t type = 0, w1 = 0, w2 = 0, w3 = 0;
        if (!Word(prim_ + at, type)) {
            return Fail("record past the end", at);
        }
        Word(prim_ + at + 4, w1);
        Word(prim_ + at + 8, w2);
        Word(prim_ + at + 12, w3);
        if (w1 > s_.primLength / 4 || w3 > s_.primLength / 8) {
            w1 = std::min(w1, s_.primLength / 4);  // counts beyond PRIM fail the size check
            w3 = std::min(w3, s_.primLength / 8);
        }
        switch (type) {
            case 4:
                l.size = 8 + 4 * w1;
                for (uint32_t i = 0; i < w1; ++i)
                    l.children.push_back(8 + 4 * i);
                return true;
            case 5:
                l.size = w2 == 5 ? 20 : 16;
                l.absentChild = 0;
                l.children = {4};
                if (w2 != 4)
                    l.strings = {12};
                return true;
            case 6:
                l = Layout{12, {8}, {}, {4}, {}, 0};
                return true;
            case 0xB:
                l = Layout{16, {8, 12}, {}, {4}, {}};
                return true;
            case 9:
                l = Layout{20, {8, 12, 16}, {}, {4}, {}};
                return true;
            case 8:
                l = Layout{24, {8, 12, 16, 20}, {}, {4}, {}};
                return true;
            case 0x81F:
                l.size = 16 + 12 * w3;
                for (uint32_t i = 0; i < w3; ++i)
                    l.vertices.push_back(16 + 8 * w3 + 4 * i);
                return true;
            default:
                return Fail("unexpected type " + std::to_string(type), at);
        }
    }

    bool Records() {
        if (s_.primLength < 4) {
            return Fail("PRIM too short", prim_);
        }
        uint64_t covered = 0;
        std::set<uint32_t> seen;
        std::vector<uint32_t> pending{s_.rootOffset};
        Layout root;
        if (!LayoutOf(s_.rootOffset, root)) {
            return false;
        }
        if (uint64_t{s_.rootOffset} + root.size != s_.primLength) {
            return Fail("root is not the last record", s_.rootOffset);
        }
        while (!pending.empty()) {
            const uint32_t at = pending.back();
            pending.pop_back();
            Layout l;
            if (at < 4 || at >= s_.primLength || !seen.insert(at).second || !LayoutOf(at, l)) {
                return s_.error.empty() ? Fail("bad or repeated offset", at) : false;
            }
            if (uint64_t{at} + l.size > s_.primLength) {
                return Fail("record past PRIM", at);
            }
            covered += l.size;
            uint32_t word = 0;
            for (uint32_t field : l.children) {
                Word(prim_ + at + field, word);
                if (word == l.absentChild || word == 0xFFFFFFFF) {
                    continue;
                }
                if (word >= at) {
                    return Fail("child not before its parent", at);
                }
                pending.push_back(word);
            }
            for (uint32_t field : l.vertices) {
                if (!Word(prim_ + at + field, word) || word >= s_.vertices) {
                    return Fail("vertex index outside XYZS", at);
                }
            }
            for (uint32_t field : l.planes) {
                if (!Word(prim_ + at + field, word) || word >= s_.planes) {
                    return Fail("plane index outside PLAN", at);
                }
            }
            for (uint32_t field : l.strings) {
                if (!Word(prim_ + at + field, word) || nameStarts_.count(word) == 0) {
                    return Fail("string id not at a name", at);
                }
            }
            ++s_.records;
        }
        if (covered != s_.primLength - 4) {
            return Fail("records do not fill PRIM", prim_);
        }
        return true;
    }

    const std::vector<uint8_t>& bytes_;
    Structure s_;
    std::size_t prim_ = 0;
    std::set<uint32_t> nameStarts_;
};

}  // namespace tarvel::testing
