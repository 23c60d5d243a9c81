#include "driver/record_mesh_file.h"

#include <array>
#include <fstream>

#include "driver/large_stack.h"
#include "log/log.h"
#include "platform/utf8_path.h"

namespace tarvel {

namespace {

// As deep as tarvel-cli info reads: a level per kilobyte of the large stack.
constexpr std::size_t kReadDepthCap = 1'000'000;

}  // namespace

bool StartsWithThreeDoMagic(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::array<char, 4> head{};
    if (!in.read(head.data(), head.size())) {
        return false;
    }
    uint32_t magic = 0;
    for (int i = 3; i >= 0; --i) {
        magic = (magic << 8) | static_cast<uint8_t>(head[static_cast<std::size_t>(i)]);
    }
    return magic == kMagic3DO;
}

std::string DescribeThreeDoError(const std::string& path, const ThreeDoError& error) {
    return Format("%s: %s, at byte %llu", path.c_str(), error.what.c_str(),
                  static_cast<unsigned long long>(error.offset));
}

RecordMeshResult ReadRecordMesh(const std::string& path) {
    RecordMeshResult result;
    RunOnLargeStack([&] {
        const LoadResult loaded = LoadThreeDoFile(path, LoadOptions{kReadDepthCap});
        if (!loaded.ok()) {
            result.error = DescribeThreeDoError(path, loaded.error);
            return;
        }
        if (const std::optional<ThreeDoError> problem = CheckConsistency(*loaded.file)) {
            result.error = DescribeThreeDoError(path, *problem);
            return;
        }
        result.mesh = RecordMeshOf(*loaded.file);
    });
    return result;
}

}  // namespace tarvel
