#include "scene_generator/text_out.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "scene_generator/ase_writer.h"
#include "scene_generator/race_scene.h"

namespace tarvel::scenegen {
namespace {

TEST(TextOut, formats_numbers_as_the_exporter_does) {
    const struct {
        double value;
        const char* text;
    } fixed[] = {{1.5, "1.5000"},        {-12.25, "-12.2500"}, {0.1, "0.1000"},
                 {-0.00004, "0.0000"},   {-0.0, "0.0000"},     {999.99996, "1000.0000"},
                 {-2999.5, "-2999.5000"}};
    for (const auto& row : fixed) {
        TextOut out;
        out.Fixed4(row.value);
        EXPECT_EQ(out.text(), row.text) << row.value;
    }
    TextOut padded;
    padded.Padded(5, 4).Put("|").Padded(12345, 4).Put("|").Padded(-3, 4).Put("|").Int(-42);
    EXPECT_EQ(padded.text(), "   5|12345|  -3|-42");
}

// The tool writes through the file in chunks; the tests read the in-memory
// text. Both must be the same bytes, across many chunk boundaries.
TEST(TextOut, file_output_matches_memory_output) {
    const GeneratedScene scene = GenerateRaceScene(20000, 12);
    TextOut memory;
    WriteAse(scene, memory);
    ASSERT_GT(memory.text().size(), 3u << 20);

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        TextOut out(file);
        WriteAse(scene, out);
        ASSERT_TRUE(out.Flush());
        EXPECT_TRUE(out.text().empty());
    }
    std::rewind(file);
    std::string written;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        written.append(chunk, n);
    }
    std::fclose(file);
    EXPECT_EQ(written, memory.text());
}

}  // namespace
}  // namespace tarvel::scenegen
