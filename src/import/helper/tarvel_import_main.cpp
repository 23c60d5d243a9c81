// tarvel-import FILE: reads one scene file with the library, in a process of
// its own, and writes it to standard output in the form scene_wire.h lays
// out. The front ends start it; a hostile file can crash it, not them.
// tarvel-import --extensions lists what the library reads; --version names
// the build.

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "import/helper/assimp_scene.h"
#include "import/scene_wire.h"
#include "platform/crash_dialogs.h"
#include "platform/program_arguments.h"
#include "version/version.h"

namespace {

// Standard output passes bytes as written (PrepareConsole), so the scene
// arrives whole on Windows too.
bool WriteAll(std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

int Fail(std::string_view message) {
    WriteAll(tarvel::import::EncodeFailure(message));
    return 1;
}

int Import(const std::string& path) {
    Assimp::Importer importer;
    // ASE text is the project's own parser's; the library must never read it,
    // whatever the file is called.
    for (const char* ext : {"ase", "ask"}) {
        if (Assimp::BaseImporter* ase = importer.GetImporter(ext)) {
            importer.UnregisterLoader(ase);
        }
    }
    // Lines and points have no place in a BSP of polygons.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_LINE | aiPrimitiveType_POINT);
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_ValidateDataStructure | aiProcess_SortByPType);
    if (scene == nullptr) {
        const std::string message = importer.GetErrorString();
        return Fail(message.empty() ? "the file holds no scene the library can read" : message);
    }
    const std::string bytes = tarvel::import::EncodeScene(tarvel::import::MapScene(*scene, path));
    return WriteAll(bytes) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    tarvel::SilenceCrashDialogs();
    tarvel::PrepareConsole();
    // The name is UTF-8 here, as the library expects it on every system.
    const std::vector<std::string> args = tarvel::ProgramArguments(argc, argv);
    if (args.size() == 2 && args[1] == "--extensions") {
        std::string list;
        Assimp::Importer().GetExtensionList(list);
        std::printf("%s\n", list.c_str());
        return 0;
    }
    if (args.size() == 2 && args[1] == "--version") {
        std::printf("%s\n", tarvel::version::VersionLine("tarvel-import").c_str());
        return 0;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tarvel-import FILE\n");
        return 2;
    }
    try {
        return Import(args[1]);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
