#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tarvel::testing::RunCli;

class CliBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(TARVEL_EXAMPLES_DIR "/village.ase", dir / "village.ase");
    }

    void WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
    }

    tarvel::testing::TempDir temp{"tarvel-cli-build"};
    const fs::path& dir = temp.path();
};

// Two triangles that cut each other's planes.
const char* const kCrossingTriangles = R"(*GEOMOBJECT {
	*MESH {
		*MESH_VERTEX_LIST {
			*MESH_VERTEX    0	-1.0000	-1.0000	0.0000
			*MESH_VERTEX    1	1.0000	-1.0000	0.0000
			*MESH_VERTEX    2	0.0000	1.0000	0.0000
			*MESH_VERTEX    3	0.0000	-0.5000	-1.0000
			*MESH_VERTEX    4	0.0000	0.5000	-1.0000
			*MESH_VERTEX    5	0.0000	0.0000	1.0000
		}
		*MESH_FACE_LIST {
			*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    1	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
			*MESH_FACE    1:    A:    3 B:    4 C:    5 AB:    1 BC:    1 CA:    1	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
		}
	}
}
)";

// Two degenerate triangles in front of the default plane at every node: the
// node below the root repeats the root's partition and is flattened.
const char* const kCollinearTriangles = R"(*GEOMOBJECT {
	*MESH {
		*MESH_VERTEX_LIST {
			*MESH_VERTEX    0	0.0000	0.0000	5.0000
			*MESH_VERTEX    1	1.0000	0.0000	5.0000
			*MESH_VERTEX    2	2.0000	0.0000	5.0000
			*MESH_VERTEX    3	0.0000	0.0000	6.0000
			*MESH_VERTEX    4	1.0000	0.0000	6.0000
			*MESH_VERTEX    5	2.0000	0.0000	6.0000
		}
		*MESH_FACE_LIST {
			*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    1	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
			*MESH_FACE    1:    A:    3 B:    4 C:    5 AB:    1 BC:    1 CA:    1	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
		}
	}
}
)";

TEST_F(CliBuild, prints_the_final_counters_of_small_scenes) {
    struct Case {
        const char* name;
        const char* ase;
        const char* out;
        const char* err;  // expected somewhere on standard error
    } cases[] = {
        {"crossing.ase", kCrossingTriangles,
         "depth: 0, max depth: 2, polys done/input: 3/2, splits: 1, nodes: 3\n"
         "flat lists: none\n",
         "\nBSPRoot now contains all polys\nBSPing first node...\n"},
        {"empty.ase", "",
         "depth: 0, max depth: 1, polys done/input: 0/0, splits: 0, nodes: 1\n"
         "flat lists: none\n",
         "\nARSE!\n"},
        {"collinear.ase", kCollinearTriangles,
         "depth: 0, max depth: 2, polys done/input: 0/2, splits: 0, nodes: 2\n"
         "flat lists: 1 holding 2 polygons (largest 2 at depth 2)\n",
         "\nRecursion occured, number of polys= 2(infront), 0(onfront), 0(onback), 0(inback)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.name, c.ase);
        const tarvel::testing::CliOutcome o = RunCli(dir, std::string("build ") + c.name);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, c.out);
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
    EXPECT_FALSE(fs::exists(dir / "tarvelout.txt"));  // no debug log unless asked
}

TEST_F(CliBuild, counts_every_polygon_of_the_example_as_input) {
    const tarvel::testing::CliOutcome parsed = RunCli(dir, "parse village.ase");
    std::smatch polygons;
    ASSERT_TRUE(std::regex_search(parsed.out, polygons, std::regex("polygons: (\\d+)")))
        << parsed.out;
    const tarvel::testing::CliOutcome built = RunCli(dir, "build village.ase");
    EXPECT_EQ(built.status, 0) << built.err;
    std::smatch counters;
    ASSERT_TRUE(std::regex_match(built.out, counters,
                                 std::regex("depth: 0, max depth: [1-9]\\d*, polys done/input: "
                                            "(\\d+)/(\\d+), splits: \\d+, nodes: [1-9]\\d*\n"
                                            "flat lists: none\n")))
        << built.out;
    EXPECT_EQ(counters[2].str(), polygons[1].str());
    EXPECT_GE(std::stoi(counters[1].str()), std::stoi(counters[2].str()));
}

TEST_F(CliBuild, log_option_writes_the_build_trace_to_the_named_file) {
    const tarvel::testing::CliOutcome quiet = RunCli(dir, "build village.ase");
    const tarvel::testing::CliOutcome logged = RunCli(dir, "build village.ase --log trace.txt");
    EXPECT_EQ(logged.status, 0) << logged.err;
    EXPECT_EQ(logged.out, quiet.out);
    const std::string trace = tarvel::testing::ReadWholeFile(dir / "trace.txt");
    EXPECT_EQ(trace.rfind("PolyList with ", 0), 0u) << trace.substr(0, 200);
    EXPECT_NE(trace.find("\nPlane of best splitter [0]: ("), std::string::npos);
    EXPECT_NE(trace.find("\nBSP'ing infront.\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "tarvelout.txt"));
}

TEST_F(CliBuild, log_file_that_cannot_be_created_is_reported_and_the_build_goes_on) {
    const tarvel::testing::CliOutcome quiet = RunCli(dir, "build village.ase");
    const tarvel::testing::CliOutcome o =
        RunCli(dir, "build village.ase --log no-folder/trace.txt");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, quiet.out);
    EXPECT_NE(o.err.find("Could not create log file 'no-folder/trace.txt'.\n"), std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(dir / "no-folder"));
}

TEST_F(CliBuild, unreadable_input_exits_with_1) {
    const tarvel::testing::CliOutcome o = RunCli(dir, "build missing.ase");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("Error opening file: 'missing.ase'"), std::string::npos) << o.err;
    EXPECT_EQ(RunCli(dir, "build").status, 2);
}

}  // namespace
