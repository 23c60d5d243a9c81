#include "import/scene_formats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/utf8_path.h"

namespace tarvel::import {

namespace {

// The library recognises ASE text by this word near the start, whatever the
// name; so does this check, over at least as many bytes, so such a file
// reaches the project's parser instead.
constexpr std::string_view kAseSignature = "*3dsmax_asciiexport";
constexpr std::size_t kSignatureWindow = 512;

bool StartsLikeAse(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::string head(kSignatureWindow, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return Lower(head).find(kAseSignature) != std::string::npos;
}

}  // namespace

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string FileExtension(const std::string& path) {
    std::string ext = Utf8FromPath(PathFromUtf8(path).extension());
    return Lower(ext.empty() ? ext : ext.substr(1));
}

bool IsAseScene(const std::string& path) {
    const std::string ext = FileExtension(path);
    if (ext == "ase" || ext == "ask" || StartsLikeAse(path)) {
        return true;
    }
    // A name the library does not claim stays with the parser, which has
    // always taken any file and skipped what it does not understand.
    const std::vector<std::string>& helper = HelperExtensions();
    return std::find(helper.begin(), helper.end(), ext) == helper.end();
}

std::string FormatName(const std::string& path) {
    static const std::map<std::string, std::string> kNames = {
        {"obj", "OBJ"},     {"gltf", "glTF"}, {"glb", "glTF"}, {"fbx", "FBX"},   {"dae", "COLLADA"},
        {"zae", "COLLADA"}, {"3ds", "3DS"},   {"ac", "AC3D"},  {"ac3d", "AC3D"}, {"acc", "AC3D"},
    };
    const std::string ext = FileExtension(path);
    const auto found = kNames.find(ext);
    if (found != kNames.end()) {
        return found->second;
    }
    std::string upper = ext;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.empty() ? "scene" : upper;
}

const std::vector<std::string>& HelperExtensions() {
    // What Debian's library (5.2) lists, less ase and ask.
    static const std::vector<std::string> kExtensions = {
        "3d",    "3ds",      "3mf", "ac",   "ac3d",    "acc",       "amf",     "assbin",  "b3d",
        "blend", "bsp",      "bvh", "cob",  "csm",     "dae",       "dxf",     "enff",    "fbx",
        "glb",   "gltf",     "hmp", "ifc",  "ifczip",  "iqm",       "irr",     "irrmesh", "lwo",
        "lws",   "lxo",      "md2", "md3",  "md5anim", "md5camera", "md5mesh", "mdc",     "mdl",
        "mesh",  "mesh.xml", "mot", "ms3d", "ndo",     "nff",       "obj",     "off",     "ogex",
        "pk3",   "ply",      "pmx", "prj",  "q3o",     "q3s",       "raw",     "scn",     "sib",
        "smd",   "step",     "stl", "stp",  "ter",     "uc",        "vta",     "x",       "x3d",
        "x3db",  "xgl",      "xml", "zae",  "zgl"};
    return kExtensions;
}

bool HasSceneExtension(const std::string& path) {
    const std::string name = Lower(Utf8FromPath(PathFromUtf8(path).filename()));
    const auto endsWith = [&name](const std::string& ext) {
        return name.size() > ext.size() + 1 && name.ends_with("." + ext);
    };
    return endsWith("ase") || endsWith("ask") ||
           std::any_of(HelperExtensions().begin(), HelperExtensions().end(), endsWith);
}

}  // namespace tarvel::import
