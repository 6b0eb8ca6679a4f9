// File replacement and non-ASCII paths, on Linux and on Windows (run there under Wine).

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "temp_folder.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

fs::path Native(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

class File_Io_Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.empty()); }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Native(dir), ec);
    }
    std::string Read(const std::string& path) {
        std::string text;
        EXPECT_TRUE(Read_File(path, text)) << path;
        return text;
    }
    std::string dir = test::Make_Temp_Folder("qm_file_io_");
};

// Names a plant engineer really gives: outside ASCII, inside and outside the 8-bit code page.
class Non_Ascii_Path_Test : public File_Io_Test, public ::testing::WithParamInterface<const char*> {};

TEST_P(Non_Ascii_Path_Test, FolderAndFilesWorkEndToEnd) {
    const std::string folder = Path_Join(dir, GetParam());
    ASSERT_TRUE(Make_Dir(folder));
    EXPECT_TRUE(Dir_Exists(folder));
    const std::string file = Path_Join(folder, "ParGen.xml");
    ASSERT_TRUE(Write_File_Atomic(file, "first"));
    ASSERT_TRUE(Write_File_Atomic(file, "second")); // replaces the existing file
    EXPECT_TRUE(File_Exists(file));
    EXPECT_EQ(Read(file), "second");
    ASSERT_TRUE(Write_Files_Atomic({{Path_Join(folder, "bank1.bin"), "1"}, {Path_Join(folder, "bank2.bin"), "2"}}));
    EXPECT_EQ(Read(Path_Join(folder, "bank2.bin")), "2");
    const std::optional<std::string> backup = Keep_Backup(file);
    ASSERT_TRUE(backup);
    EXPECT_EQ(Read(*backup), "second");
    // The name on the disk is the UTF-8 name, not its bytes in some 8-bit code page.
    EXPECT_TRUE(fs::is_directory(Native(dir) / Native(GetParam())));
    // Nothing is left under the temporary names.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Native(folder))) {
        ++entries;
    }
    EXPECT_EQ(entries, 4);
}

INSTANTIATE_TEST_SUITE_P(Names, Non_Ascii_Path_Test,
                         ::testing::Values("Kl\xC3\xA4ranlage_S\xC3\xBC" "d", "\xC3\x96" "lf\xC3\xB6rderung",
                                           "\xC5\x81\xC3\xB3" "d\xC5\xBA_\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"));

TEST_F(File_Io_Test, ReplacingKeepsTheOldFileWhenTheNewOneCannotBeWritten) {
    const std::string file = Path_Join(dir, "Quillmaker.xml");
    ASSERT_TRUE(Write_File_Atomic(file, "old"));
    // A folder under the temporary name stops the write before anything is replaced.
    Set_Fixed_Temporary_Names(true);
    ASSERT_TRUE(Make_Dir(file + ".tmp~"));
    ASSERT_TRUE(Make_Dir(Path_Join(file + ".tmp~", "inside")));
    const Io_Result result = Write_File_Atomic(file, "new");
    Set_Fixed_Temporary_Names(false);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("Quillmaker.xml"), std::string::npos) << result.message;
    EXPECT_EQ(Read(file), "old");
}

// Two programs (or two windows) saving the same file at once: each write goes through a temporary
// of its own, so every save succeeds and the file is always one whole version, never a mix.
TEST_F(File_Io_Test, TwoWritersAtOnceNeverMixTheirFiles) {
    const std::string file = Path_Join(dir, "S7_Protocol.xml");
    constexpr int Writers = 4;
    std::vector<std::string> versions;
    for (int w = 0; w < Writers; ++w) {
        versions.emplace_back(64 * 1024, static_cast<char>('a' + w));
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < Writers; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < 25; ++i) {
                if (!Write_File_Atomic(file, versions[static_cast<std::size_t>(w)])) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures, 0);
    EXPECT_NE(std::find(versions.begin(), versions.end(), Read(file)), versions.end());
    for (const auto& entry : fs::directory_iterator(Native(dir))) {
        EXPECT_EQ(entry.path().filename(), fs::path("S7_Protocol.xml"));
    }
}

// What a crashed write left is removed once it is old; a young temporary may be another
// writer's, still at work, and stays.
TEST_F(File_Io_Test, OnlyOldTemporariesAreRemoved) {
    const std::string file = Path_Join(dir, "ParGen.xml");
    const std::string old_fixed = file + ".tmp~";
    const std::string old_unique = file + ".4242-0badcafe0001.tmp~";
    const std::string young = file + ".4343-0badcafe0002.tmp~";
    const std::string other = Path_Join(dir, "ParGen.xml.backup-1");
    for (const std::string& path : {old_fixed, old_unique, young, other}) {
        ASSERT_TRUE(Write_File_Atomic(path, "left"));
    }
    const auto two_hours_ago = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const std::string& path : {old_fixed, old_unique, other}) {
        fs::last_write_time(Native(path), two_hours_ago);
    }
    ASSERT_TRUE(Write_File_Atomic(file, "new"));
    EXPECT_FALSE(File_Exists(old_fixed));
    EXPECT_FALSE(File_Exists(old_unique));
    EXPECT_TRUE(File_Exists(young));
    EXPECT_TRUE(File_Exists(other));
}

// A change of the same size within the same clock tick is still a change.
TEST_F(File_Io_Test, StampSeesEveryChange) {
    const std::string file = Path_Join(dir, "TLS_Known_Cert.xml");
    EXPECT_FALSE(Stamp_File(file).exists);
    ASSERT_TRUE(Write_File_Atomic(file, "<a x=\"1\"/>"));
    const File_Stamp first = Stamp_File(file);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(first.size, 10U);
    EXPECT_EQ(Stamp_File(file), first);
    const auto when = fs::last_write_time(Native(file));
    ASSERT_TRUE(Write_File_Atomic(file, "<a x=\"2\"/>"));
    fs::last_write_time(Native(file), when);
    EXPECT_NE(Stamp_File(file), first);
}

TEST_F(File_Io_Test, PathsAreJoinedWithThePlatformSeparator) {
#ifdef _WIN32
    EXPECT_EQ(Path_Join("C:\\Quillmaker", "PROJECTS"), "C:\\Quillmaker\\PROJECTS");
#else
    EXPECT_EQ(Path_Join("/opt/quillmaker", "PROJECTS"), "/opt/quillmaker/PROJECTS");
#endif
}

TEST_F(File_Io_Test, ProgramDirHoldsThisTest) {
    const std::string program_dir = Program_Dir();
    ASSERT_FALSE(program_dir.empty());
    EXPECT_TRUE(Dir_Exists(program_dir));
    EXPECT_NE(program_dir.back(), Path_Separator());
}

TEST_F(File_Io_Test, ReadOnlyLanguageFileIsNotOffered) {
    const std::string plain = Path_Join(dir, "Deutsch.lng");
    const std::string locked = Path_Join(dir, "Locked.lng");
    ASSERT_TRUE(Write_File_Atomic(plain, "STR0 = x"));
    ASSERT_TRUE(Write_File_Atomic(locked, "STR0 = x"));
    EXPECT_TRUE(Is_Plain_Writable_File(plain));
    EXPECT_FALSE(Is_Plain_Writable_File(dir)) << "a folder";
    EXPECT_FALSE(Is_Plain_Writable_File(Path_Join(dir, "Missing.lng")));
#ifdef _WIN32
    const std::wstring wide = Utf8_To_Wide(locked);
    struct Case {
        DWORD attributes;
        bool offered;
    };
    for (const Case c : {Case{FILE_ATTRIBUTE_READONLY, false}, Case{FILE_ATTRIBUTE_TEMPORARY, false},
                         Case{FILE_ATTRIBUTE_OFFLINE, false}, Case{FILE_ATTRIBUTE_HIDDEN, true},
                         Case{FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, true},
                         Case{FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, true}, Case{FILE_ATTRIBUTE_NORMAL, true}}) {
        ASSERT_TRUE(SetFileAttributesW(wide.c_str(), c.attributes));
        const DWORD set = GetFileAttributesW(wide.c_str());
        if ((set & c.attributes) != c.attributes) {
            continue; // an attribute this file system (or Wine) does not keep
        }
        EXPECT_EQ(Is_Plain_Writable_File(locked), c.offered) << "attributes 0x" << std::hex << c.attributes;
    }
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    struct Case {
        fs::perms perms;
        bool offered;
    };
    for (const Case c : {Case{fs::perms::owner_read | fs::perms::group_read, false},
                         Case{fs::perms::owner_read | fs::perms::group_write, true},
                         Case{fs::perms::others_write, true}}) {
        fs::permissions(Native(locked), c.perms);
        EXPECT_EQ(Is_Plain_Writable_File(locked), c.offered) << "mode 0" << std::oct << static_cast<int>(c.perms);
    }
    fs::create_symlink(Native(plain), Native(Path_Join(dir, "Link.lng")));
    EXPECT_FALSE(Is_Plain_Writable_File(Path_Join(dir, "Link.lng"))) << "a link stands for a reparse point";
#endif
}

} // namespace
} // namespace qm
