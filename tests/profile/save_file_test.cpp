#include "profile/save_file.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/log.h"
#include "test_support.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

struct Folder {
    Folder() { log.setErrorSink([](const std::string&) {}); }
    fs::path file() const { return dir / "players.txt"; }
    bool keep(const std::string& text) {
        std::string error;
        return keepDamagedOriginal(file(), text, log, &error);
    }
    test::TempDir dir;
    Log log;
};

TEST(DamagedCopies, EveryDamagedOriginalGetsItsOwnCopy) {
    Folder f;
    for (int n = 1; n <= kDamagedCopiesKept; ++n) ASSERT_TRUE(f.keep("damage " + std::to_string(n)));
    for (int n = 1; n <= kDamagedCopiesKept; ++n)
        EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), n)), "damage " + std::to_string(n));
    EXPECT_EQ(damagedCopyPath(f.file(), 1).filename(), "players.txt.bad");
    EXPECT_EQ(damagedCopyPath(f.file(), 2).filename(), "players.txt.bad.2");
}

TEST(DamagedCopies, TheSameDamageIsNotKeptTwice) {
    Folder f;
    ASSERT_TRUE(f.keep("damage"));
    ASSERT_TRUE(f.keep("damage"));
    EXPECT_FALSE(fs::exists(damagedCopyPath(f.file(), 2)));
}

TEST(DamagedCopies, AFreeNameIsTakenBeforeAnyCopyGivesWay) {
    Folder f;
    for (int n = 1; n <= 3; ++n) ASSERT_TRUE(f.keep("damage " + std::to_string(n)));
    // The player removed the first copy: the gap is filled, nothing is replaced.
    fs::remove(damagedCopyPath(f.file(), 1));
    ASSERT_TRUE(f.keep("damage 4"));
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 1)), "damage 4");
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 2)), "damage 2");
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 3)), "damage 3");
    // Something that is not a file in a copy's place is left alone.
    fs::create_directories(damagedCopyPath(f.file(), 4));
    ASSERT_TRUE(f.keep("damage 5"));
    EXPECT_TRUE(fs::is_directory(damagedCopyPath(f.file(), 4)));
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 5)), "damage 5");
}

TEST(DamagedCopies, AtTheBoundTheOldestCopyGivesWayAndTheLogSaysSo) {
    Folder f;
    const fs::path logFile = f.dir / "log.txt";
    f.log.setFile(logFile);
    f.log.setEnabled(true);
    for (int n = 1; n <= kDamagedCopiesKept; ++n) ASSERT_TRUE(f.keep("damage " + std::to_string(n)));
    // Copy 3 is the oldest.
    const auto now = fs::file_time_type::clock::now();
    for (int n = 1; n <= kDamagedCopiesKept; ++n)
        fs::last_write_time(damagedCopyPath(f.file(), n), now - std::chrono::hours(n == 3 ? 48 : 1));
    ASSERT_TRUE(f.keep("damage 6"));
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 3)), "damage 6");
    EXPECT_EQ(test::readFile(damagedCopyPath(f.file(), 1)), "damage 1");
    EXPECT_FALSE(fs::exists(damagedCopyPath(f.file(), kDamagedCopiesKept + 1)));
    EXPECT_NE(test::readFile(logFile).find("the oldest copy " + damagedCopyPath(f.file(), 3).string()),
              std::string::npos);
}

}  // namespace
}  // namespace qs
