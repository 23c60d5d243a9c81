#include <cstdio>
#include <map>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_threedo.h"

namespace tarvel::cli {

namespace {

void PrintSection(const SectionInfo& section, const char* counted) {
    std::printf("%s at byte %llu: %u data bytes", TagName(section.tag).c_str(),
                static_cast<unsigned long long>(section.position), section.length);
    if (section.padding != 0) {
        std::printf(" + %u padding", section.padding);
    }
    std::printf(", %s\n", counted);
}

void PrintInfo(const std::string& path, const ThreeDoFile& file) {
    std::printf("%s: %zu bytes\n", path.c_str(), file.bytes.size());
    std::printf("header: magic 0x%08X, version %u, length %u\n", kMagic3DO, kThreeDoVersion,
                file.headerLength);
    const std::string vertices = std::to_string(file.vertices.count()) + " vertices";
    const std::string planes = std::to_string(file.planes.count()) + " planes";
    const std::string textures = std::to_string(file.strings.count()) + " textures";
    const std::string root = "root at PRIM offset " + std::to_string(file.rootOffset);
    PrintSection(file.xyzs, vertices.c_str());
    PrintSection(file.plan, planes.c_str());
    PrintSection(file.strn, textures.c_str());
    PrintSection(file.prim, root.c_str());
    std::printf("textures:\n");
    for (const GString& name : file.strings.entries()) {
        std::printf("  [%d] %s\n", name.offset, name.name.c_str());
    }
    std::map<uint32_t, std::size_t> byType;
    for (const RecordExtent& record : file.records) {
        ++byType[record.type];
    }
    std::printf("nodes: %zu\n", file.records.size());
    for (const auto& [type, count] : byType) {
        std::printf("  type 0x%X: %zu\n", type, count);
    }
    std::printf("tree depth: %zu\n", file.depth);
}

}  // namespace

void AddInfoCommand(CLI::App& app, int& exitStatus) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "info",
        "Print the sections, pools, texture names and node counts of a 3DO file, "
        "and whether it is consistent");
    command->add_option("file", *path, "The .3do file")->required();
    command->callback([path, &exitStatus] {
        exitStatus = InspectThreeDo(*path, [&](const ThreeDoFile& file) {
            PrintInfo(*path, file);
            const std::optional<ThreeDoError> problem = CheckConsistency(file);
            if (!problem) {
                std::printf("consistent\n");
                return kExitOk;
            }
            std::printf("inconsistent: %s, at byte %llu\n", problem->what.c_str(),
                        static_cast<unsigned long long>(problem->offset));
            std::fflush(stdout);
            return ReportProblem(*path, *problem);
        });
    });
}

}  // namespace tarvel::cli
