#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/cli_runner.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using ::testing::HasSubstr;
using testing::ReadWholeFile;
using testing::RunCli;

// A wall and a floor, each object's wireframe colour its material's colour.
constexpr const char* kAse = R"(*3DSMAX_ASCIIEXPORT	200
*MATERIAL_LIST {
	*MATERIAL_COUNT 2
	*MATERIAL 0 {
		*MATERIAL_DIFFUSE 0.5000	0.2500	0.1250
		*MAP_DIFFUSE {
			*BITMAP "C:\maps\brick.tga"
		}
	}
	*MATERIAL 1 {
		*MATERIAL_DIFFUSE 0.2500	0.7500	0.5000
	}
}
*GEOMOBJECT {
	*MESH {
		*MESH_VERTEX_LIST {
			*MESH_VERTEX    0	0.0000	0.0000	0.0000
			*MESH_VERTEX    1	2.0000	0.0000	0.0000
			*MESH_VERTEX    2	2.0000	0.0000	1.5000
			*MESH_VERTEX    3	0.0000	0.0000	1.5000
		}
		*MESH_FACE_LIST {
			*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
			*MESH_FACE    1:    A:    0 B:    2 C:    3 AB:    1 BC:    1 CA:    0	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
		}
		*MESH_TVERTLIST {
			*MESH_TVERT 0	0.0000	0.0000	0.0000
			*MESH_TVERT 1	1.0000	0.0000	0.0000
			*MESH_TVERT 2	1.0000	0.5000	0.0000
			*MESH_TVERT 3	0.0000	0.5000	0.0000
		}
		*MESH_TFACELIST {
			*MESH_TFACE 0	0	1	2
			*MESH_TFACE 1	0	2	3
		}
	}
	*MATERIAL_REF 0
	*WIREFRAME_COLOR 0.5000	0.2500	0.1250
}
*GEOMOBJECT {
	*MESH {
		*MESH_VERTEX_LIST {
			*MESH_VERTEX    0	-1.0000	-1.0000	0.0000
			*MESH_VERTEX    1	3.0000	-1.0000	0.0000
			*MESH_VERTEX    2	3.0000	2.0000	0.0000
		}
		*MESH_FACE_LIST {
			*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0	 *MESH_SMOOTHING 1 	*MESH_MTLID 0
		}
	}
	*MATERIAL_REF 1
	*WIREFRAME_COLOR 0.2500	0.7500	0.5000
}
)";

// The same scene as a y-up OBJ: ASE (x, y, z) is written (x, z, -y).
constexpr const char* kObj = R"(mtllib scene.mtl
o wall
v 0 0 0
v 2 0 0
v 2 1.5 0
v 0 1.5 0
vt 0 0
vt 1 0
vt 1 0.5
vt 0 0.5
usemtl brick
f 1/1 2/2 3/3
f 1/1 3/3 4/4
o floor
v -1 0 1
v 3 0 1
v 3 0 -2
usemtl grass
f 5 6 7
)";

constexpr const char* kMtl = R"(newmtl brick
Kd 0.5 0.25 0.125
map_Kd textures/brick.tga
newmtl grass
Kd 0.25 0.75 0.5
)";

TEST(CliImport, obj_compiles_to_the_bytes_of_the_same_ase_scene) {
    testing::TempDir dir("tarvel-cli-import");
    std::ofstream(dir / "scene.ase", std::ios::binary) << kAse;
    std::ofstream(dir / "scene.obj", std::ios::binary) << kObj;
    std::ofstream(dir / "scene.mtl", std::ios::binary) << kMtl;
    const auto ase = RunCli(dir.path(), "compile scene.ase -o ase.3do");
    const auto obj = RunCli(dir.path(), "compile scene.obj -o obj.3do");
    ASSERT_EQ(ase.status, 0) << ase.err;
    ASSERT_EQ(obj.status, 0) << obj.err;
    EXPECT_THAT(obj.err, HasSubstr("Opening OBJ 'scene.obj'\n"));
    const std::string aseBytes = ReadWholeFile(dir / "ase.3do");
    EXPECT_GT(aseBytes.size(), 100u);
    EXPECT_EQ(ReadWholeFile(dir / "obj.3do"), aseBytes);
}

TEST(CliImport, unreadable_scene_gives_the_error_line_and_status_1) {
    testing::TempDir dir("tarvel-cli-import");
    std::ofstream(dir / "broken.gltf", std::ios::binary) << "{\"asset\": {\"version\": \"2.0\"";
    for (const char* command : {"parse", "build", "compile"}) {
        const auto run = RunCli(dir.path(), std::string(command) + " broken.gltf");
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_THAT(run.err, HasSubstr("Could not read scene 'broken.gltf': ")) << command;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "broken.3do"));
    const auto batch = RunCli(dir.path(), "compile broken.gltf missing.gltf -j 1");
    EXPECT_EQ(batch.status, 1);
    EXPECT_THAT(batch.out, HasSubstr("failed broken.gltf: the scene could not be read\n"));
    EXPECT_THAT(batch.out, HasSubstr("failed missing.gltf: the input could not be opened\n"));
}

// Files that crash Debian's assimp 5.2 (its COLLADA and AC3D readers recurse
// once per nesting level until the stack runs out): the helper dies, the
// tool reports it and goes on.
TEST(CliImport, inputs_that_crash_the_library_give_the_error_line) {
    if (testing::UnderWine()) {
        GTEST_SKIP() << "wine ends a helper whose stack runs out with no exception code";
    }
    testing::TempDir dir("tarvel-cli-import");
    const int depth = 20000;
    std::string dae =
        R"(<?xml version="1.0"?><COLLADA xmlns="http://www.collada.org/2005/11/)"
        R"(COLLADASchema" version="1.4.1"><library_visual_scenes><visual_scene id="s">)";
    std::string ac = "AC3Db\nOBJECT world\n";
    for (int i = 0; i < depth; ++i) {
        dae += "<node>";
        ac += "kids 1\nOBJECT group\n";
    }
    for (int i = 0; i < depth; ++i) {
        dae += "</node>";
    }
    dae += R"(</visual_scene></library_visual_scenes><scene><instance_visual_scene url="#s"/>)"
           "</scene></COLLADA>";
    ac += "kids 0\n";
    std::ofstream(dir / "deep.dae", std::ios::binary) << dae;
    std::ofstream(dir / "deep.ac", std::ios::binary) << ac;
    for (const char* file : {"deep.dae", "deep.ac"}) {
        const auto run = RunCli(dir.path(), std::string("compile ") + file);
        EXPECT_EQ(run.status, 1) << file;
        // A sanitizer build of the helper reports the overflow and exits
        // instead of dying of the signal.
        EXPECT_THAT(run.err,
                    HasSubstr("Could not read scene '" + std::string(file) + "': the importer "))
            << run.err;
    }
}

}  // namespace
}  // namespace tarvel
