#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace tarvel::testing {
namespace {

const std::string kVillage = std::string("'") + TARVEL_EXAMPLES_DIR + "/village.ase'";

uint32_t BigEndianAt(const std::string& bytes, std::size_t at) {
    uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    }
    return v;
}

TEST(CliRender, writes_a_png_of_the_requested_size_for_every_view) {
    struct Case {
        std::string file, options;
        uint32_t width, height;
    };
    // The compiled village under a name that does not say what it is.
    const std::string compiled = "village.bin";
    const Case cases[] = {
        {kVillage, "", 800, 600},
        {kVillage, "--size 320x200 --view top", 320, 200},
        {kVillage, "--size 64x480 --view front", 64, 480},
        {kVillage, "--size 1x1 --view side", 1, 1},
        {kVillage, "--size 200x100 --view iso --edges", 200, 100},
        {compiled, "--size 300x200 --view top --edges", 300, 200},
        {compiled, "--size 120x90 --by-node", 120, 90},
    };
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), "compile " + kVillage + " -o " + compiled).status, 0);
    for (const Case& c : cases) {
        const CliOutcome o = RunCli(dir.path(), "render " + c.file + " -o v.png " + c.options);
        ASSERT_EQ(o.status, 0) << c.options << o.err;
        const std::string png = ReadWholeFile(dir.path() / "v.png");
        ASSERT_GT(png.size(), 24u) << c.options;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        EXPECT_EQ(BigEndianAt(png, 16), c.width) << c.options;
        EXPECT_EQ(BigEndianAt(png, 20), c.height) << c.options;
    }
}

TEST(CliRender, refuses_bad_sizes_views_and_inputs) {
    struct Case {
        std::string args;
        int status;
        std::string err = {};  // expected on standard error
    };
    const Case cases[] = {
        {"render " + kVillage + " -o v.png --size 800", 2},
        {"render " + kVillage + " -o v.png --size 0x600", 2},
        {"render " + kVillage + " -o v.png --size 800x600x", 2},
        {"render " + kVillage + " -o v.png --size 99999x10", 2},
        {"render " + kVillage + " -o v.png --view sideways", 2},
        {"render " + kVillage + " -o v.png --by-node", 2},
        {"render missing.ase -o v.png", 1},
        {"render " + kVillage + " -o no-such-dir/v.png", 1},
        {"render empty.ase -o v.png", 1, "nothing to draw in 'empty.ase'\n"},
        {"render notes.txt -o v.png", 1, "nothing to draw in 'notes.txt'\n"},
        {"render cut.3do -o v.png", 1, "cut.3do: "},
        {"render whole.3do -o ./whole.3do", 2, "is the input itself"},
    };
    TempDir dir;
    std::ofstream(dir.path() / "empty.ase").flush();
    std::ofstream(dir.path() / "notes.txt") << "Not a scene at all.\n";
    ASSERT_EQ(RunCli(dir.path(), "compile " + kVillage + " -o whole.3do").status, 0);
    const std::string whole = ReadWholeFile(dir.path() / "whole.3do");
    std::ofstream(dir.path() / "cut.3do", std::ios::binary) << whole.substr(0, whole.size() / 2);
    for (const Case& c : cases) {
        const CliOutcome o = RunCli(dir.path(), c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << c.args << "\n" << o.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "v.png")) << c.args;
    }
    EXPECT_EQ(ReadWholeFile(dir.path() / "whole.3do"), whole);
}

}  // namespace
}  // namespace tarvel::testing
