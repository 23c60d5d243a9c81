#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bsp/bsp_node.h"
#include "bsp/geometry.h"
#include "support/temp_dir.h"
#include "threedo/atomic_file.h"
#include "threedo/convert.h"
#include "threedo/file_writer.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

uint32_t F(float value) {
    return std::bit_cast<uint32_t>(value);
}

void Put(std::vector<uint8_t>& out, std::initializer_list<uint32_t> words) {
    for (uint32_t w : words) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>((w >> shift) & 0xFF));
        }
    }
}

TEST(Assemble3DO, one_textured_triangle_gives_the_220_byte_file) {
    Cupboard materials;
    Material m;
    m.id = 0;
    m.bmpname = "abc";
    materials.Add(m);
    Poly tri;
    tri.points = {APoint{0, 0, 0, 0, 0.5f, 0, 0, 0}, APoint{1, 0, 0, 1, 0.5f, 0, 0, 0},
                  APoint{0, 1, 0, 0, 1, 0, 0, 0}};
    tri.polyClass = 3;
    ComputePlane(tri);
    BSPNode node;
    node.polys.Add(tri, &materials);
    node.onfront = std::make_unique<PolyList>();
    node.onfront->Add(tri, &materials);
    ZertexList vertices, planes;
    GStringList mips;
    std::unique_ptr<Node> root = convertNode(node, vertices, planes, mips, &materials);
    ASSERT_NE(root, nullptr);
    const auto bytes = Assemble3DO(*root, vertices, planes, mips);
    ASSERT_TRUE(bytes.has_value());

    std::vector<uint8_t> expected;
    Put(expected, {0x33444F34, 1, 208});
    Put(expected, {0x58595A53, 0, 48, F(0), F(0), F(0), F(0), F(0), F(1), F(0), F(0), F(0), F(0),
                   F(1), F(0)});
    // The plane's d is a negative zero: -(a * 1 + b * 0 + c * 0) with a = 0.
    Put(expected, {0x504C414E, 0, 16, F(0), F(0), F(1), F(-0.0f)});
    Put(expected, {0x5354524E, 0, 5});
    expected.insert(expected.end(), {'a', 'b', 'c', 0x00, 0x7F, 0x20, 0x20, 0x20});
    Put(expected, {0x5052494D, 0, 88, 76});
    Put(expected, {0x81F, 0, 0xFFFFFFFF, 3, F(0), F(0.5f), F(1), F(0.5f), F(0), F(0), 0, 1, 2});
    Put(expected, {5, 4, 5, 0, 3});
    Put(expected, {6, 0, 56});
    ASSERT_EQ(bytes->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*bytes)[i], expected[i]) << "byte " << i;
    }
    EXPECT_EQ(CountNodeRecords(*root), 3);
}

TEST(Assemble3DO, empty_pools_give_minimal_sections) {
    Node6 root;
    const auto bytes = Assemble3DO(root, ZertexList{}, ZertexList{}, GStringList{});
    ASSERT_TRUE(bytes.has_value());
    std::vector<uint8_t> expected;
    Put(expected, {0x33444F34, 1, 68,         0x58595A53, 0, 0,  0x504C414E, 0, 0, 0x5354524E,
                   0,          1, 0x2020207F, 0x5052494D, 0, 16, 4,          6, 0, 0});
    EXPECT_EQ(*bytes, expected);
}

// A folder of its own per test, removed afterwards.
class AtomicSave : public ::testing::Test {
  protected:
    void SetUp() override { target = (dir / "out.3do").string(); }

    static void WriteText(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    testing::TempDir temp{"tarvel-save"};
    const fs::path& dir = temp.path();
    std::string target;
    const std::vector<uint8_t> bytes = std::vector<uint8_t>(10000, 0x42);
};

TEST_F(AtomicSave, replaces_the_target_and_keeps_its_permissions) {
    if (kWindows) {
        GTEST_SKIP() << "Windows files have no permission bits beyond read-only";
    }
    WriteText(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    AtomicFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Commit(bytes));
    EXPECT_EQ(ReadText(target), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.3do"});
}

TEST_F(AtomicSave, failures_after_open_leave_the_old_file_and_no_temporary) {
    struct Case {
        const char* name;
        SaveHooks hooks;
    };
    int calls = 0;
    const Case cases[] = {
        {"short write, then a full disk",
         {[&calls](int fd, const uint8_t* data, std::size_t size) -> long {
              if (calls++ == 0) {
                  return ::write(fd, data, size / 2);
              }
              errno = ENOSPC;
              return -1;
          },
          {}}},
        {"write that makes no progress", {[](int, const uint8_t*, std::size_t) { return 0L; }, {}}},
        {"rename refused",
         {{},
          [](const char*, const char*) {
              errno = EACCES;
              return -1;
          }}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(target, "old");
        AtomicFile file(&c.hooks);
        ASSERT_TRUE(file.Open(target));
        EXPECT_FALSE(file.Commit(bytes));
        EXPECT_FALSE(file.error().empty());
        EXPECT_EQ(ReadText(target), "old");
        EXPECT_EQ(Entries(), std::vector<std::string>{"out.3do"});
    }
}

TEST_F(AtomicSave, open_refuses_targets_that_cannot_be_written) {
    AtomicFile missingFolder;
    EXPECT_FALSE(missingFolder.Open((dir / "no-such-folder" / "out.3do").string()));
    fs::create_directory(dir / "folder.3do");
    AtomicFile folder;
    EXPECT_FALSE(folder.Open((dir / "folder.3do").string()));
    EXPECT_TRUE(fs::is_directory(dir / "folder.3do"));
}

TEST_F(AtomicSave, a_dropped_save_removes_its_temporary) {
    WriteText(target, "old");
    {
        AtomicFile file;
        ASSERT_TRUE(file.Open(target));
        EXPECT_EQ(Entries().size(), 2u);
    }
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.3do"});
}

TEST_F(AtomicSave, a_link_is_written_through) {
    if (kWindows) {
        GTEST_SKIP()
            << "symbolic links need a privilege on Windows, and the save does not follow them";
    }
    const fs::path real = dir / "real.3do";
    WriteText(real, "old");
    fs::create_symlink(real, target);
    AtomicFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Commit(bytes));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(ReadText(real).size(), bytes.size());
}

// POSIX replaces a file that is held open, and lets root write a read-only
// one; Windows refuses both.
TEST_F(AtomicSave, a_target_held_open_or_read_only_is_left_as_it_was) {
    if (!kWindows) {
        GTEST_SKIP() << "only Windows refuses to replace these";
    }
    struct Case {
        const char* name;
        bool holdOpen;
        bool readOnly;
    };
    const Case cases[] = {
        {"held open by another program", true, false},
        {"read-only", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(target, "old");
        std::ifstream holder;
        if (c.holdOpen) {
            holder.open(target, std::ios::binary);
            ASSERT_TRUE(holder.is_open());
        }
        if (c.readOnly) {
            fs::permissions(target, fs::perms::owner_read);
        }
        AtomicFile file;
        EXPECT_FALSE(file.Open(target) && file.Commit(bytes));
        EXPECT_FALSE(file.error().empty());
        holder.close();
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(ReadText(target), "old");
        EXPECT_EQ(Entries(), std::vector<std::string>{"out.3do"});
    }
}

}  // namespace
}  // namespace tarvel
