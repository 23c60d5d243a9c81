#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "bench/generated_import.h"
#include "scene_generator/gears.h"
#include "scene_generator/race_scene.h"
#include "support/cli_runner.h"
#include "support/sha256.h"
#include "support/temp_dir.h"

namespace {

using namespace tarvel::scenegen;
using tarvel::scenegen::testing::AseText;

std::string Example() {
    std::ifstream in(TARVEL_EXAMPLES_DIR "/village.ase", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The memo as lines; a platform that ends them with CR LF gives the same.
std::string Lines(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// What the headless tool writes for a scene with the debug log on: the
// file, the memo and the log, held by their SHA-256. Names are relative, so
// no path of the machine enters the memo. A change that means to move them
// updates these hashes in the same commit; the failure prints the new ones.
TEST(Golden, the_tool_writes_the_known_file_memo_and_log) {
    struct Case {
        const char* name;
        std::function<std::string()> ase;
        const char* file;
        const char* memo;
        const char* log;
    };
    const Case cases[] = {
        {"village", Example, "a8f9d3fdca558790a3b36d4e3003cf35113872eab10cac0328c9295ff400ed76",
         "0fcfbef750f01988a08df8f2f8e737c53e9173507576e76efb38790486f1522b",
         "0befa3cefecfd8043559ba61f6a229414d0bde16b662707b7808d1ce5e16281f"},
        // Its clipper walls shape the tree, and the guard fires nine times.
        {"race", [] { return AseText(GenerateRaceScene(1000, 3)); },
         "cc59ba555b38fe1fa84fc2db8cf0b73e3eafb6fc7af87909b84055f6ef4ad202",
         "9165b67992860e310864228f3a4b0b906b435d007c18e9a434e15fba312b7cc4",
         "a315f18729eb4088342e99e84b2cd92b1976a7c5cee7d186f56c29f354d481ee"},
        {"gears", [] { return AseText(GenerateGears(1500, 2)); },
         "d42892fb9fd038d91a1ca3fd138a0605f35f16004785398f2f50979d2267ed83",
         "61c6f02de6dde4e343f1c24fd7348113bd12dd6b9bf8db502a997cacd93f424b",
         "a6e444b60b5ed7cc20ed3efa96d46dd4ce168313617b993e526727c0d84899c0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tarvel::testing::TempDir dir("tarvel-golden");
        const std::string name = c.name;
        std::ofstream(dir / (name + ".ase"), std::ios::binary) << c.ase();
        const tarvel::testing::CliOutcome o = tarvel::testing::RunCli(
            dir.path(), "compile " + name + ".ase -o " + name + ".3do --log " + name + ".txt");
        ASSERT_EQ(o.status, 0) << o.err;
        using tarvel::testing::ReadWholeFile;
        using tarvel::testing::Sha256Hex;
        EXPECT_EQ(Sha256Hex(ReadWholeFile(dir / (name + ".3do"))), c.file);
        EXPECT_EQ(Sha256Hex(Lines(o.err)), c.memo);
        EXPECT_EQ(Sha256Hex(ReadWholeFile(dir / (name + ".txt"))), c.log);
    }
}

}  // namespace
