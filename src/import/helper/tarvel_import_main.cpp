// tarvel-import FILE: reads one scene file with the library, in a process of
// its own, and writes it to standard output in the form scene_wire.h lays
// out. The front ends start it; a hostile file can crash it, not them.
// tarvel-import --extensions lists what the library reads; --version names
// the build.

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <unistd.h>
#include <assimp/Importer.hpp>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "import/helper/assimp_scene.h"
#include "import/scene_wire.h"
#include "version/version.h"

namespace {

bool WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
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
    if (argc == 2 && std::string_view(argv[1]) == "--extensions") {
        std::string list;
        Assimp::Importer().GetExtensionList(list);
        std::printf("%s\n", list.c_str());
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("%s\n", tarvel::version::VersionLine("tarvel-import").c_str());
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvel-import FILE\n");
        return 2;
    }
    try {
        return Import(argv[1]);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
