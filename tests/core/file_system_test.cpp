#include "core/file_system.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

using test::TempDir;

TEST(FileSystem, ResolvesContentNamesInTheGamesForm) {
    TempDir dir;
    dir.write("data/graphics/Balls/ball1/Ball1.spr", "x");
    dir.write("data/text/combo.txt", "3,Combo");
    FileSystem files(dir / "data", dir / "user");
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"text\\combo.txt", true},
        {"text/combo.txt", true},
        {"TEXT\\COMBO.TXT", true},
        {"graphics\\balls\\ball1\\ball1.spr", true},
        {"  graphics\\BALLS\\Ball1\\BALL1.SPR ", true},
        {".\\text\\combo.txt", true},
        {"graphics\\balls\\..\\Balls\\ball1\\ball1.spr", true},
        {"text\\missing.txt", false},
        {"missing\\combo.txt", false},
        {"graphics\\balls", false},  // a folder is not a file
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files.resolveContent(c.name).has_value(), c.found) << c.name;
    }
    EXPECT_EQ(files.readContent("Text\\Combo.txt").value_or(""), "3,Combo");
    EXPECT_FALSE(files.readContent("text\\nothing.txt").has_value());
}

TEST(FileSystem, SeedsTheUserFolderOnce) {
    TempDir dir;
    dir.write("data/options.txt", "move_cnt=16\r\n");
    FileSystem files(dir / "data", dir / "user" / "deep");
    ASSERT_TRUE(files.prepareUserDir("options.txt"));
    EXPECT_EQ(test::readFile(files.userPath("options.txt")), "move_cnt=16\r\n");
    // A user's own file is never overwritten by the seed.
    dir.write("user/deep/options.txt", "move_cnt=8\r\n");
    ASSERT_TRUE(files.prepareUserDir("options.txt"));
    EXPECT_EQ(test::readFile(files.userPath("options.txt")), "move_cnt=8\r\n");
}

TEST(FileSystem, AtomicWriteReplacesWholeFiles) {
    TempDir dir;
    auto file = dir.write("players.txt", "old");
    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "new contents"));
    EXPECT_EQ(test::readFile(file), "new contents");
    EXPECT_FALSE(std::filesystem::exists(dir / "players.txt.tmp"));
    std::string error;
    EXPECT_FALSE(FileSystem::writeFileAtomic(dir / "no-such-folder" / "x.txt", "x", &error));
    EXPECT_FALSE(error.empty());
}

TEST(FileSystem, LeftoversOfACutSaveGoAtStartUp) {
    TempDir dir;
    dir.write("data/options.txt", "move_cnt=16\r\n");
    dir.write("user/options.txt", "move_cnt=8\r\n");
    dir.write("user/options.txt.tmp", "move_cnt=");
    dir.write("user/players.txt.tmp", "Ali");
    dir.write("user/records.txt.tmp", "1, 1, Ali");
    dir.write("user/notes.txt.tmp", "mine");  // not ours: left alone
    FileSystem files(dir / "data", dir / "user");
    ASSERT_TRUE(files.prepareUserDir("options.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "user/options.txt.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "user/players.txt.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "user/records.txt.tmp"));
    EXPECT_TRUE(std::filesystem::exists(dir / "user/notes.txt.tmp"));
    EXPECT_EQ(test::readFile(dir / "user/options.txt"), "move_cnt=8\r\n");
}

TEST(FileSystem, AtomicWriteKeepsALinkAndRefusesAFolder) {
    TempDir dir;
    auto real = dir.write("settings/real-options.txt", "old");
    std::filesystem::create_symlink("settings/real-options.txt", dir / "options.txt");
    ASSERT_TRUE(FileSystem::writeFileAtomic(dir / "options.txt", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "options.txt"));
    EXPECT_EQ(test::readFile(real), "new");

    std::filesystem::create_directories(dir / "players.txt");
    std::string error;
    EXPECT_FALSE(FileSystem::writeFileAtomic(dir / "players.txt", "x", &error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(dir / "players.txt"));
}

TEST(FileSystem, AnAtomicWriteKeepsTheFilesPermissions) {
    test::TempDir dir;
    const auto file = dir.write("players.txt", "old\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    ASSERT_TRUE(FileSystem::writeFileAtomic(file, "new\r\n"));
    EXPECT_EQ(test::readFile(file), "new\r\n");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

}  // namespace
}  // namespace qs
