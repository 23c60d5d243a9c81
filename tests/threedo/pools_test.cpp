#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "log/log.h"
#include "threedo/binary_io.h"
#include "threedo/gstring_list.h"
#include "threedo/zertex_list.h"

namespace tarvel {
namespace {

std::vector<uint32_t> Words(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> words;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        words.push_back(LoadU32(&bytes[i]));
    }
    return words;
}

uint32_t FloatBits(float value) {
    return std::bit_cast<uint32_t>(value);
}

TEST(ByteWriter, writes_little_endian_and_patches_in_place) {
    ByteWriter out;
    out.writeU32(0x33444F34);
    out.writeByte(0x7F);
    out.writeFloat(0.1);  // narrowed to the float 0.1f
    out.patchU32(0, 0x01020304);
    const std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0x7F, 0xCD, 0xCC, 0xCC, 0x3D};
    EXPECT_EQ(out.bytes(), expected);
    EXPECT_EQ(LoadFloat(&out.bytes()[5]), 0.1f);
}

TEST(ZertexList, vertices_are_shared_by_exact_equality_only) {
    ZertexList pool;
    EXPECT_EQ(pool.addVertex(1.0, 2.0, 3.0), 0);
    EXPECT_EQ(pool.addVertex(1.0, 2.0, std::nextafter(3.0, 4.0)), 1);
    EXPECT_EQ(pool.addVertex(1.0, 2.0, 3.0), 0);
    // -0.0 meets a stored 0.0, and the value stored first stays.
    EXPECT_EQ(pool.addVertex(0.0, 5.0, 0.0), 2);
    EXPECT_EQ(pool.addVertex(-0.0, 5.0, -0.0), 2);
    EXPECT_FALSE(std::signbit(pool.entryAt(2)->c1));
    EXPECT_EQ(pool.count(), 3);
}

TEST(ZertexList, a_nan_is_never_found_and_always_appended) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ZertexList pool;
    EXPECT_EQ(pool.addVertex(nan, 0, 0), 0);
    EXPECT_EQ(pool.addVertex(nan, 0, 0), 1);
    EXPECT_EQ(pool.findVertex(nan, 0, 0), -1);
    EXPECT_EQ(pool.addPlane(Zertex{0, 0, 0, nan}), 2);
    EXPECT_EQ(pool.findPlane(Zertex{0, 0, 0, nan}), -1);
}

TEST(ZertexList, append_bypasses_the_search_and_the_first_record_wins) {
    ZertexList pool;
    EXPECT_EQ(pool.append(1, 2, 3, 4), 0);
    EXPECT_EQ(pool.append(1, 2, 3, 4), 1);
    EXPECT_EQ(pool.addPlane(Zertex{1, 2, 3, 4}), 0);
    EXPECT_EQ(pool.count(), 2);
    // findVertex ignores c0; findPlane does not.
    EXPECT_EQ(pool.findVertex(2, 3, 4), 0);
    EXPECT_EQ(pool.findPlane(Zertex{9, 2, 3, 4}), -1);
    // Searching between appends sees records appended after the last search.
    pool.append(7, 8, 9, 10);
    EXPECT_EQ(pool.findPlane(Zertex{7, 8, 9, 10}), 2);
    EXPECT_EQ(pool.entryAt(-1), nullptr);
    EXPECT_EQ(pool.entryAt(pool.count()), nullptr);
    EXPECT_EQ(pool.entryAt(2)->index, 2);
}

// Thousands of mixed operations on one pool against a scan from index 0,
// which is what the pool must answer: the first record equal as doubles
// (-0.0 meets 0.0, a NaN meets nothing). Few distinct values, so keys repeat
// often and the index grows many times over.
TEST(ZertexList, answers_as_a_scan_from_the_first_record_would) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 1e300, -1e-300, nan, 3.0, 7.25};
    uint64_t state = 12345;
    const auto pick = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return values[(state >> 33) % values.size()];
    };
    const auto scan = [](const ZertexList& pool, const Zertex& z, bool vertex) {
        for (int32_t i = 0; i < pool.count(); ++i) {
            const Zertex& r = *pool.entryAt(i);
            if ((vertex || r.c0 == z.c0) && r.c1 == z.c1 && r.c2 == z.c2 && r.c3 == z.c3) {
                return i;
            }
        }
        return -1;
    };
    ZertexList pool;
    for (int op = 0; op < 6000; ++op) {
        const Zertex z{pick(), pick(), pick(), pick()};
        SCOPED_TRACE(::testing::Message() << "operation " << op);
        switch (op % 5) {
            case 0: {
                const int32_t expected = scan(pool, Zertex{0, z.c1, z.c2, z.c3}, true);
                const int32_t count = pool.count();
                ASSERT_EQ(pool.addVertex(z.c1, z.c2, z.c3), expected < 0 ? count : expected);
                break;
            }
            case 1: {
                const int32_t expected = scan(pool, z, false);
                const int32_t count = pool.count();
                ASSERT_EQ(pool.addPlane(z), expected < 0 ? count : expected);
                break;
            }
            case 2:
                pool.append(z.c0, z.c1, z.c2, z.c3);
                break;
            case 3:
                ASSERT_EQ(pool.findVertex(z.c1, z.c2, z.c3),
                          scan(pool, Zertex{0, z.c1, z.c2, z.c3}, true));
                break;
            default:
                ASSERT_EQ(pool.findPlane(z), scan(pool, z, false));
                break;
        }
    }
    EXPECT_GT(pool.count(), 1000);
}

TEST(ZertexList, sections_put_the_plane_constant_last) {
    ZertexList pool;
    pool.append(4, 1, 2, 3);  // d = 4, a = 1, b = 2, c = 3
    struct Case {
        uint32_t tag;
        std::vector<uint32_t> words;
    };
    const Case cases[] = {
        {kTagXYZS, {kTagXYZS, 0, 16, FloatBits(4), FloatBits(1), FloatBits(2), FloatBits(3)}},
        {kTagPLAN, {kTagPLAN, 0, 16, FloatBits(1), FloatBits(2), FloatBits(3), FloatBits(4)}},
        {0x12345678, {0x12345678, 0, 16}},
    };
    for (const Case& c : cases) {
        ByteWriter out;
        pool.writeSection(out, c.tag);
        EXPECT_EQ(Words(out.bytes()), c.words) << std::hex << c.tag;
    }
    EXPECT_EQ(pool.byteSize(), 28u);
    ByteWriter empty;
    ZertexList().writeSection(empty, kTagXYZS);
    EXPECT_EQ(Words(empty.bytes()), (std::vector<uint32_t>{kTagXYZS, 0, 0}));
}

TEST(GStringList, offsets_follow_the_names_and_lookups_are_exact) {
    GStringList table;
    EXPECT_EQ(table.addName("a"), 0);
    EXPECT_EQ(table.addName("bc"), 2);
    EXPECT_EQ(table.addName("a"), 0);
    EXPECT_EQ(table.addName("A"), 5);
    EXPECT_EQ(table.addName(""), 7);
    EXPECT_EQ(table.count(), 4);
    EXPECT_EQ(table.nameByOffset(2), "bc");
    EXPECT_EQ(table.nameByOffset(3), "!Underbukser!\n");  // inside a name
    EXPECT_EQ(table.entryByOffset(8), nullptr);
    // appendName keeps duplicates; addName still finds the first.
    EXPECT_EQ(table.appendName("bc"), 8);
    EXPECT_EQ(table.addName("bc"), 2);
    EXPECT_EQ(table.count(), 5);
}

TEST(GStringList, section_pads_after_the_end_mark_without_counting_it) {
    struct Case {
        std::vector<std::string> names;
        uint32_t length;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {{}, 1, {0x7F, 0x20, 0x20, 0x20}},
        {{"a", "bc"}, 6, {'a', 0, 'b', 'c', 0, 0x7F, 0x20, 0x20}},
        {{"abc"}, 5, {'a', 'b', 'c', 0, 0x7F, 0x20, 0x20, 0x20}},
        {{"ab"}, 4, {'a', 'b', 0, 0x7F}},
    };
    for (const Case& c : cases) {
        GStringList table;
        for (const std::string& name : c.names) {
            table.addName(name);
        }
        ByteWriter out;
        table.writeSection(out);
        ASSERT_EQ(out.size(), table.byteSize());
        EXPECT_EQ(Words(out.bytes()).at(2), c.length);
        EXPECT_EQ(std::vector<uint8_t>(out.bytes().begin() + 12, out.bytes().end()), c.data);
    }
}

TEST(GStringList, log_lists_each_name_once_in_order_of_first_use) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    GStringList table;
    for (const char* name : {"road", "grass", "road", "Road"}) {
        table.addName(name);
    }
    table.logReferenced();
    EXPECT_EQ(memo.lines, (std::deque<std::string>{"road.mip", "grass.mip", "Road.mip"}));
}

}  // namespace
}  // namespace tarvel
