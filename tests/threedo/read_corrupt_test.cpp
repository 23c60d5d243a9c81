#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/threedo_bytes.h"
#include "threedo/threedo_file.h"

namespace tarvel {
namespace {

using testing::Assemble;
using testing::PatchU32;
using testing::PrimBuilder;
using testing::PutU32;

// The triangle file: PRIM data at byte 132; the Node81F record at file byte
// 136, the Node5 at 188, the Node6 (root) at 208.
std::vector<uint8_t> Triangle() {
    return Assemble(testing::TriangleInNode6());
}

std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, std::size_t at, uint32_t value) {
    PatchU32(bytes, at, value);
    return bytes;
}

std::vector<uint8_t> PatchedByte(std::vector<uint8_t> bytes, std::size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
}

std::vector<uint8_t> WithPrim(const PrimBuilder& prim) {
    testing::FileParts parts = testing::TriangleInNode6();
    parts.prim = prim.data;
    return Assemble(parts);
}

// Each Node4 level lists the level below twice: 2^levels paths to the leaf.
std::vector<uint8_t> TriangleNamed(std::vector<std::string> names) {
    testing::FileParts parts = testing::TriangleInNode6();
    parts.names = std::move(names);
    return Assemble(parts);
}

std::vector<uint8_t> SharedWithoutEnd(int levels) {
    PrimBuilder prim;
    uint32_t below = prim.Record({0x10, 0});
    for (int i = 0; i < levels; ++i) {
        below = prim.Record({4, 2, below, below});
    }
    prim.Root(below);
    return WithPrim(prim);
}

std::vector<uint8_t> ChainOfNode6(int length) {
    PrimBuilder prim;
    uint32_t below = 0;
    for (int i = 0; i < length; ++i) {
        below = prim.Record({6, 0, below});
    }
    prim.Root(below);
    return WithPrim(prim);
}

std::vector<uint8_t> SingleRecord(std::initializer_list<uint32_t> record) {
    PrimBuilder prim;
    prim.Root(prim.Record(record));
    return WithPrim(prim);
}

// What a damaged file gives: the load fails, or the file loads and the
// consistency check names the problem.
struct Outcome {
    bool loaded = false;
    std::optional<ThreeDoError> problem;
};

Outcome Examine(const std::vector<uint8_t>& bytes, const LoadOptions& options = {}) {
    Outcome outcome;
    LoadResult result = LoadThreeDo(bytes, options);
    outcome.loaded = result.ok();
    outcome.problem = result.ok() ? CheckConsistency(*result.file) : result.error;
    return outcome;
}

struct CorruptCase {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    bool loads;        // the damage shows only in the consistency check
    const char* says;  // part of the message
    uint64_t offset;   // file byte the message points at; kAnywhere: not checked
};

constexpr uint64_t kAnywhere = ~uint64_t{0};

// A leaf listed twice by the root Node4.
std::vector<uint8_t> LeafListedTwice() {
    PrimBuilder prim;
    const uint32_t leaf = prim.Record({0x10, 0});
    prim.Root(prim.Record({4, 2, leaf, leaf}));
    return WithPrim(prim);
}

// Two children of the root, the second one's record written first: a
// rewrite puts them in slot order.
std::vector<uint8_t> ChildrenOutOfOrder() {
    PrimBuilder prim;
    const uint32_t second = prim.Record({0x10, 0});
    const uint32_t first = prim.Record({6, 0, 0});
    prim.Root(prim.Record({4, 2, first, second}));
    return WithPrim(prim);
}

TEST(CorruptFiles, each_gives_its_error_at_its_offset) {
    const std::vector<CorruptCase> cases = {
        {"empty file", [] { return std::vector<uint8_t>{}; }, false, "shorter than the 12-byte", 0},
        {"wrong magic", [] { return Patched(Triangle(), 0, 0x34444F33); }, false, "not a 3DO file",
         0},
        {"wrong version", [] { return Patched(Triangle(), 4, 2); }, false, "version 2", 4},
        {"header length lying", [] { return Patched(Triangle(), 8, 300); }, false,
         "header length 300", 8},
        {"XYZS length lying", [] { return Patched(Triangle(), 20, 0x1000); }, false,
         "XYZS section length", 20},
        {"PLAN length near 4 GiB", [] { return Patched(Triangle(), 80, 0xFFFFFFF0); }, false,
         "PLAN section length", 80},
        {"STRN tag wrong", [] { return Patched(Triangle(), 100, 0x12345678); }, false,
         "expected the STRN section", 100},
        {"STRN without 0x7F", [] { return PatchedByte(Triangle(), 116, 0); }, false,
         "does not end in 0x7F", 116},
        {"STRN name without 0x00", [] { return PatchedByte(Triangle(), 115, 'd'); }, false,
         "no terminating 0x00", 112},
        {"PRIM length lying", [] { return Patched(Triangle(), 128, 1000); }, false,
         "PRIM section length", 128},
        {"root offset past the end", [] { return Patched(Triangle(), 132, 5000); }, false,
         "past the end", 132},
        {"root offset 0", [] { return Patched(Triangle(), 132, 0); }, false,
         "root offset 0 designates no record", 132},
        {"child offset past the end", [] { return Patched(Triangle(), 216, 5000); }, false,
         "child offset 5000", 208},
        {"child offset at the last two bytes", [] { return Patched(Triangle(), 216, 86); }, false,
         "child offset 86", 208},
        {"self-referencing child", [] { return Patched(Triangle(), 216, 76); }, false, "cycle",
         208},
        {"ancestor cycle", [] { return Patched(Triangle(), 192, 76); }, false, "cycle", 188},
        {"corner count 0xFFFFFFFF", [] { return Patched(Triangle(), 148, 0xFFFFFFFF); }, false,
         "count 4294967295", 136},
        // Widening to double quiets a signalling NaN, so a rewrite would differ.
        {"signalling NaN in the vertex pool", [] { return Patched(Triangle(), 28, 0xFFBFFC00); },
         true, "signalling NaN", 28},
        {"signalling NaN as a texture coordinate",
         [] { return Patched(Triangle(), 152, 0x7F800001); }, true, "signalling NaN", 152},
        {"children out of order", ChildrenOutOfOrder, true, "records out of order", 136},
        // A rewrite would point the texture at the first of the two.
        {"texture name repeated",
         [] {
             return TriangleNamed({"abc", "abc"});
         },
         true, "texture name \"abc\" at STRN offset 4 repeats the one at offset 0", 116},
        {"Node4 count 0xFFFFFFFF",
         [] {
             return SingleRecord({4, 0xFFFFFFFF, 4});
         },
         false, "count 4294967295", 136},
        {"Node10 count 0xFFFFFFFF",
         [] {
             return SingleRecord({0x10, 0xFFFFFFFF});
         },
         false, "count 4294967295", 136},
        {"Node11 count 0xFFFFFFFF",
         [] {
             return SingleRecord({0x11, 0, 0, 0, 0xFFFFFFFF});
         },
         false, "count 4294967295", 136},
        {"Node81E count 0x55555556",
         [] {
             return SingleRecord({0x81E, 0, 0x55555556});
         },
         false, "count 1431655766", 136},
        {"record cut short",
         [] {
             return SingleRecord({0x815, 0, 0});
         },
         false, "runs past the end", 136},
        {"tree sharing records without end", [] { return SharedWithoutEnd(40); }, false,
         "more records than", kAnywhere},
        {"type code inside a float", [] { return Patched(Triangle(), 216, 26); }, true,
         "designates no record (type code 0x3F40)", 208},
        {"record read twice", LeafListedTwice, true, "read twice", 136},
        {"plane index outside the pool", [] { return Patched(Triangle(), 212, 5); }, true,
         "plane index 5", 208},
        {"vertex index outside the pool", [] { return Patched(Triangle(), 184, 3); }, true,
         "vertex index 3", 136},
        {"texture offset inside a name", [] { return Patched(Triangle(), 200, 1); }, true,
         "not the start of a name", 188},
        {"unknown texture kind", [] { return Patched(Triangle(), 196, 9); }, true,
         "belong to no record", 200},
        {"nonzero word in a polygon", [] { return Patched(Triangle(), 140, 1); }, true,
         "word after the type code", 140},
        {"STRN padding not blank", [] { return PatchedByte(Triangle(), 117, 0); }, true,
         "padding byte 0x00", 117},
        {"bytes after the PRIM data",
         [] {
             std::vector<uint8_t> bytes = Triangle();
             PutU32(bytes, 0);
             return Patched(bytes, 8, static_cast<uint32_t>(bytes.size() - 12));
         },
         true, "4 bytes follow the PRIM section", 220},
    };
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Examine(c.make());
        EXPECT_EQ(outcome.loaded, c.loads);
        ASSERT_TRUE(outcome.problem.has_value());
        EXPECT_NE(outcome.problem->what.find(c.says), std::string::npos) << outcome.problem->what;
        if (c.offset != kAnywhere) {
            EXPECT_EQ(outcome.problem->offset, c.offset) << outcome.problem->what;
        }
    }
}

TEST(CorruptFiles, tree_deeper_than_the_cap_stops_the_read) {
    const std::vector<uint8_t> bytes = ChainOfNode6(50);
    EXPECT_TRUE(Examine(bytes).loaded);
    const Outcome capped = Examine(bytes, LoadOptions{10});
    EXPECT_FALSE(capped.loaded);
    ASSERT_TRUE(capped.problem.has_value());
    EXPECT_NE(capped.problem->what.find("deeper than 10 levels"), std::string::npos);
}

TEST(CorruptFiles, deep_chain_within_the_default_cap_reads_on_an_ordinary_stack) {
    const LoadResult result = LoadThreeDo(ChainOfNode6(9'000));
    ASSERT_TRUE(result.ok()) << result.error.what;
    EXPECT_EQ(result.file->depth, 9'000u);
    const LoadResult over = LoadThreeDo(ChainOfNode6(kDefaultReadDepthCap + 1));
    EXPECT_FALSE(over.ok());
}

// Cut at every byte, once as it stands and once with the header's length
// made to agree, so the cut reaches every section and record.
TEST(CorruptFiles, truncation_at_every_byte_is_refused) {
    const std::vector<uint8_t> whole = Triangle();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
        EXPECT_FALSE(Examine(cut).loaded) << size;
        if (size >= 12) {
            PatchU32(cut, 8, static_cast<uint32_t>(size - 12));
            EXPECT_TRUE(Examine(cut).problem.has_value()) << size;
        }
    }
}

// Every byte set to a few telling values: whatever comes of it, the load
// and the check end without a crash (the sanitizer build watches).
TEST(CorruptFiles, every_damaged_byte_ends_in_a_tree_or_an_error) {
    const std::vector<uint8_t> whole = Triangle();
    int refused = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (uint8_t value : {0x00, 0x04, 0x3F, 0x7F, 0xFF}) {
            if (whole[at] == value) {
                continue;
            }
            const Outcome outcome = Examine(PatchedByte(whole, at, value));
            refused += outcome.problem.has_value() ? 1 : 0;
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace tarvel
