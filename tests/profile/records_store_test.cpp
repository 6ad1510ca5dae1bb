#include "profile/records_store.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_system.h"
#include "core/log.h"
#include "test_support.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A user folder, a records store over it, and everything the store says.
struct Records {
    Records() : store(files, log, [this](const std::string& text) { notices.push_back(text); }) {
        fs::create_directories(dir / "user");
        log.setErrorSink([this](const std::string& message) { errors.push_back(message); });
    }

    fs::path file() const { return files.userPath("records.txt"); }
    fs::path bad() const { return files.userPath("records.txt.bad"); }
    void writeFile(const std::string& text) const { dir.write("user/records.txt", text); }
    std::string fileText() const { return test::readFile(file()); }
    // Makes the next atomic save fail, even for root: its temporary file cannot be created
    // where a folder stands.
    void blockSaving() const { fs::create_directories(dir / "user" / "records.txt.tmp"); }

    bool logged(const std::string& part) const {
        for (const std::string& e : errors)
            if (e.find(part) != std::string::npos) return true;
        return false;
    }

    test::TempDir dir;
    FileSystem files{dir / "data", dir / "user"};
    Log log;
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    RecordsStore store;
};

// "rank name" of each row joined by blanks.
std::string ranksAndNames(const RecordsView& view) {
    std::string out;
    for (const RecordEntry& e : view.rows) out += (out.empty() ? "" : " ") + e.rank + e.name;
    return out;
}

// Ten arcade rows A..J scoring 1000 down to 100, with a challenge and a puzzle row around
// them that must survive every rewrite in their order.
std::string fullArcade() {
    std::string text = "2, 1, Zed, 9, 5000\r\n";
    for (int i = 0; i < 10; ++i) {
        text += "1, " + std::to_string(i + 1) + ", " + std::string(1, static_cast<char>('A' + i)) + ", 3, " +
                std::to_string(1000 - 100 * i) + "\r\n";
        if (i == 4) text += "3, 1, Yul, 2, 70\r\n";
    }
    return text;
}

std::string withoutLine(std::string text, const std::string& line) {
    return text.erase(text.find(line), line.size());
}

TEST(RecordsStore, AMissingFileIsAnEmptyTableAndTheFirstResultCreatesIt) {
    Records r;
    const RecordsView empty = r.store.table(1);
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.highlighted, 0);
    EXPECT_FALSE(fs::exists(r.file()));

    const RecordsView entered = r.store.enter(1, "Anna", 3, 500);
    EXPECT_EQ(ranksAndNames(entered), "1Anna");
    EXPECT_EQ(entered.highlighted, 1);
    EXPECT_TRUE(entered.stored);
    EXPECT_EQ(r.fileText(), "1, 1, Anna, 3, 500\r\n");

    const RecordsView shown = r.store.table(1);
    EXPECT_EQ(shown.rows, entered.rows);
    EXPECT_EQ(shown.highlighted, 0);
    EXPECT_TRUE(r.store.table(2).rows.empty());
    EXPECT_TRUE(r.errors.empty());
}

TEST(RecordsStore, AResultIsStoredWhenItEarnsAPlace) {
    const std::string full = fullArcade();
    struct Case {
        const char* why;
        std::string file;
        int mode;
        int score;
        std::string shown;
        int highlighted;
        std::string after;  // the whole file afterwards
    };
    const Case cases[] = {
        {"equal to the third: fourth place, the tenth drops out", full, 1, 800,
         "1A 2B 3C 4New 5D 6E 7F 8G 9H 10I", 4,
         "2, 1, Zed, 9, 5000\r\n3, 1, Yul, 2, 70\r\n1, 1, A, 3, 1000\r\n1, 2, B, 3, 900\r\n"
         "1, 3, C, 3, 800\r\n1, 4, New, 6, 800\r\n1, 5, D, 3, 700\r\n1, 6, E, 3, 600\r\n"
         "1, 7, F, 3, 500\r\n1, 8, G, 3, 400\r\n1, 9, H, 3, 300\r\n1, 10, I, 3, 200\r\n"},
        {"lower than all of a full table: row ten on screen, the file as it was", full, 1, 100,
         "1A 2B 3C 4D 5E 6F 7G 8H 9I 10New", 10, full},
        {"lower than all while there is room: stored after the last", full, 3, 5, "1Yul 2New", 2,
         withoutLine(full, "3, 1, Yul, 2, 70\r\n") + "3, 1, Yul, 2, 70\r\n3, 2, New, 6, 5\r\n"},
        {"a mode with no rows yet", "1, 1, A, 3, 10\n", 2, 0, "1New", 1,
         "1, 1, A, 3, 10\r\n2, 1, New, 6, 0\r\n"},
    };
    for (const Case& c : cases) {
        Records r;
        r.writeFile(c.file);
        const RecordsView view = r.store.enter(c.mode, "New", 6, c.score);
        EXPECT_EQ(ranksAndNames(view), c.shown) << c.why;
        EXPECT_EQ(view.highlighted, c.highlighted) << c.why;
        EXPECT_EQ(view.stored, c.after != c.file) << c.why;
        EXPECT_EQ(r.fileText(), c.after) << c.why;
        EXPECT_TRUE(r.errors.empty()) << c.why;
        EXPECT_FALSE(fs::exists(r.bad())) << c.why;
    }
}

TEST(RecordsStore, ReadsEitherLineEndAndWritesCrLf) {
    Records r;
    r.writeFile("3, 1, Yul, 2, 70\n1, 1, Anna, 3, 500\n");
    EXPECT_EQ(ranksAndNames(r.store.table(1)), "1Anna");
    ASSERT_TRUE(r.store.enter(1, "Bert", 4, 600).stored);
    EXPECT_EQ(r.fileText(), "3, 1, Yul, 2, 70\r\n1, 1, Bert, 4, 600\r\n1, 2, Anna, 3, 500\r\n");
}

TEST(RecordsStore, LinesOfAModePastTheTenthAreLoggedAndDroppedAtTheNextRewrite) {
    std::string text = fullArcade();
    text += "1, 11, K, 3, 50\r\n1, 12, L, 3, 2000\r\n";
    Records r;
    r.writeFile(text);
    EXPECT_EQ(r.store.table(1).rows.size(), 10u);
    EXPECT_TRUE(r.logged(r.file().string() + " line 13: "));
    EXPECT_TRUE(r.logged(r.file().string() + " line 14: "));
    // Showing the table again does not log the same file again.
    const std::size_t errors = r.errors.size();
    r.store.table(1);
    EXPECT_EQ(r.errors.size(), errors);

    // The rewrite of another mode drops them too; the original is kept.
    ASSERT_TRUE(r.store.enter(2, "New", 1, 1).stored);
    EXPECT_EQ(test::readFile(r.bad()), text);
    EXPECT_EQ(r.fileText().find("1, 11, K"), std::string::npos);
    EXPECT_EQ(r.fileText().find("1, 12, L"), std::string::npos);
    EXPECT_EQ(r.store.table(1).rows.size(), 10u);
}

TEST(RecordsStore, AnUnreadableFileIsNeverWrittenAndThePlayerIsToldOnce) {
    struct Case {
        const char* what;
        std::function<bool(const Records&)> block;  // false: not possible here
    };
    const Case cases[] = {
        {"a folder", [](const Records& r) { return fs::create_directory(r.file()); }},
        {"a pipe", [](const Records& r) { return ::mkfifo(r.file().c_str(), 0600) == 0; }},
        {"no read permission",
         [](const Records& r) {
             // Root reads it anyway.
             if (::geteuid() == 0) return false;
             r.writeFile("1, 1, Anna, 3, 500\r\n");
             fs::permissions(r.file(), fs::perms::none);
             return true;
         }},
    };
    for (const Case& c : cases) {
        Records r;
        if (!c.block(r)) continue;
        const fs::file_type type = fs::symlink_status(r.file()).type();

        EXPECT_TRUE(r.store.table(1).rows.empty()) << c.what;
        EXPECT_FALSE(r.store.writable()) << c.what;
        const RecordsView view = r.store.enter(1, "Anna", 3, 500);
        EXPECT_EQ(ranksAndNames(view), "1Anna") << c.what;  // shown all the same
        EXPECT_EQ(view.highlighted, 1) << c.what;
        EXPECT_FALSE(view.stored) << c.what;
        EXPECT_FALSE(r.store.enter(2, "Bert", 3, 500).stored) << c.what;

        EXPECT_EQ(r.notices.size(), 1u) << c.what;
        EXPECT_TRUE(r.logged(r.file().string())) << c.what;
        EXPECT_EQ(fs::symlink_status(r.file()).type(), type) << c.what;
        EXPECT_FALSE(fs::exists(r.dir / "user" / "records.txt.tmp")) << c.what;
        fs::permissions(r.file(), fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST(RecordsStore, AFileThatTurnsUnreadableKeepsTheRowsReadBefore) {
    Records r;
    r.writeFile("1, 1, Anna, 3, 500\r\n");
    ASSERT_EQ(r.store.table(1).rows.size(), 1u);
    fs::remove(r.file());
    fs::create_directory(r.file());

    const RecordsView view = r.store.enter(1, "Bert", 2, 100);
    EXPECT_EQ(ranksAndNames(view), "1Anna 2Bert");
    EXPECT_FALSE(view.stored);
    EXPECT_EQ(r.notices.size(), 1u);
    EXPECT_TRUE(fs::is_directory(r.file()));
}

TEST(RecordsStore, ADamagedFileIsKeptBesideItBeforeItsFirstRewrite) {
    const std::string damaged = "1, 1, Anna, 3, 500, extra\r\n2, 1, Bo\0b, 1, 9\r\n"s;
    Records r;
    r.writeFile(damaged);
    EXPECT_EQ(ranksAndNames(r.store.table(1)), "1Anna");
    EXPECT_TRUE(r.logged(r.file().string() + " line 1: "));
    EXPECT_TRUE(r.logged(r.file().string() + " line 2: "));
    EXPECT_FALSE(fs::exists(r.bad()));  // reading alone changes nothing
    EXPECT_TRUE(r.notices.empty());

    ASSERT_TRUE(r.store.enter(1, "Cleo", 2, 600).stored);
    EXPECT_EQ(test::readFile(r.bad()), damaged);
    EXPECT_EQ(r.fileText(), "2, 1, Bo\r\n1, 1, Cleo, 2, 600\r\n1, 2, Anna, 3, 500\r\n");

    // Later rewrites leave the kept copy to the player.
    fs::remove(r.bad());
    ASSERT_TRUE(r.store.enter(1, "Dora", 2, 700).stored);
    EXPECT_FALSE(fs::exists(r.bad()));

    // Nothing lost, nothing kept: a score that is no number and a mode of no known kind are
    // logged and written back as they were.
    Records odd;
    odd.writeFile("9, 1, Zed, 1, 1\r\n1, 1, Anna, 3, many\r\n");
    ASSERT_TRUE(odd.store.enter(1, "Bert", 2, 5).stored);
    EXPECT_FALSE(fs::exists(odd.bad()));
    EXPECT_TRUE(odd.logged(odd.file().string() + " line 1: "));
    EXPECT_TRUE(odd.logged(odd.file().string() + " line 2: "));
    EXPECT_EQ(odd.fileText(), "9, 1, Zed, 1, 1\r\n1, 1, Bert, 2, 5\r\n1, 2, Anna, 3, many\r\n");
}

// Saving a result touches only its mode: every other line goes back as it was read, an
// over-long one cut at 255 characters and nothing else.
TEST(RecordsStore, LinesTheSaveDoesNotChangeAreWrittenBackAsRead) {
    const std::string longLine = "3, 2, " + std::string(300, 'Q');
    const std::string odd = "2,1,  Zed ,9,5000, extra";
    Records r;
    r.writeFile(odd + "\r\n" + longLine + "\r\n1, 1, Anna, 3, 500\r\n");
    ASSERT_TRUE(r.store.enter(1, "Bert", 2, 900).stored);
    EXPECT_EQ(r.fileText(), odd + "\r\n" + longLine.substr(0, kRecordsLineLimit) +
                                "\r\n1, 1, Bert, 2, 900\r\n1, 2, Anna, 3, 500\r\n");
}

TEST(RecordsStore, AFileTooLargeToBeRecordsIsLeftAsItIs) {
    Records r;
    r.writeFile("1, 1, Anna, 3, 500\r\n" + std::string(kRecordsFileLimit, 'x'));
    const auto size = fs::file_size(r.file());
    EXPECT_TRUE(r.store.table(1).rows.empty());
    EXPECT_FALSE(r.store.enter(1, "Bert", 2, 900).stored);
    EXPECT_EQ(fs::file_size(r.file()), size);
    EXPECT_FALSE(r.store.writable());
    EXPECT_TRUE(r.logged("more than the " + std::to_string(kRecordsFileLimit)));
    EXPECT_EQ(r.notices.size(), 1u);
}

TEST(RecordsStore, ADamagedFileIsNotRewrittenUntilItsCopyIsKept) {
    const std::string damaged = "1, 1, Anna, 3, 500, 7\r\n";
    Records r;
    r.writeFile(damaged);
    // Its copy cannot be written: a folder stands where the copy's temporary file goes.
    fs::create_directories(r.bad().string() + ".tmp");
    const RecordsView view = r.store.enter(1, "Bert", 2, 900);
    EXPECT_FALSE(view.stored);
    EXPECT_EQ(ranksAndNames(view), "1Bert 2Anna");
    EXPECT_EQ(r.fileText(), damaged);
    EXPECT_TRUE(r.logged(r.bad().string()));

    fs::remove(r.bad().string() + ".tmp");
    ASSERT_TRUE(r.store.enter(1, "Bert", 2, 900).stored);
    EXPECT_EQ(test::readFile(r.bad()), damaged);
}

TEST(RecordsStore, AFailedWriteKeepsTheOldFileAndStillShowsTheResult) {
    struct Case {
        const char* what;
        std::function<bool(const Records&)> block;  // false: not possible here
    };
    const Case cases[] = {
        {"a folder where the temporary file goes", [](const Records& r) {
             r.blockSaving();
             return true;
         }},
        {"a read-only folder", [](const Records& r) {
             // Root writes it anyway.
             if (::geteuid() == 0) return false;
             fs::permissions(r.dir / "user", fs::perms::owner_write, fs::perm_options::remove);
             return true;
         }},
    };
    for (const Case& c : cases) {
        Records r;
        r.writeFile("2, 1, Zed, 9, 5000\r\n1, 1, Anna, 3, 500\r\n");
        if (!c.block(r)) continue;
        const RecordsView view = r.store.enter(1, "Bert", 2, 900);
        EXPECT_EQ(ranksAndNames(view), "1Bert 2Anna") << c.what;
        EXPECT_EQ(view.highlighted, 1) << c.what;
        EXPECT_FALSE(view.stored) << c.what;
        EXPECT_EQ(r.fileText(), "2, 1, Zed, 9, 5000\r\n1, 1, Anna, 3, 500\r\n") << c.what;
        EXPECT_TRUE(r.logged(r.file().string() + " is not saved")) << c.what;
        EXPECT_EQ(ranksAndNames(r.store.table(1)), "1Anna") << c.what;
        EXPECT_TRUE(r.store.writable()) << c.what;  // the next result may be stored
        EXPECT_TRUE(r.notices.empty()) << c.what;
        fs::permissions(r.dir / "user", fs::perms::owner_all, fs::perm_options::add);
    }
}

TEST(RecordsStore, RefusesWhatTheFileCannotHold) {
    Records r;
    r.writeFile("1, 1, Anna, 3, 500\r\n");
    for (int mode : {0, 4, -1}) {
        EXPECT_TRUE(r.store.table(mode).rows.empty()) << mode;
        const RecordsView view = r.store.enter(mode, "Bert", 2, 900);
        EXPECT_TRUE(view.rows.empty()) << mode;
        EXPECT_EQ(view.highlighted, 0) << mode;
        EXPECT_FALSE(view.stored) << mode;
    }
    EXPECT_EQ(r.fileText(), "1, 1, Anna, 3, 500\r\n");
    EXPECT_TRUE(r.logged("mode 4"));

    // A name that would split its line is stored without what splits it.
    const RecordsView view = r.store.enter(1, " Bo, b\r\n3, 1, X", 2, 900);
    ASSERT_TRUE(view.stored);
    EXPECT_EQ(view.rows[0].name, "Bo  b3  1  X");
    EXPECT_EQ(r.fileText(), "1, 1, Bo  b3  1  X, 2, 900\r\n1, 2, Anna, 3, 500\r\n");
    EXPECT_EQ(r.store.table(1).rows, view.rows);
    EXPECT_TRUE(r.store.table(3).rows.empty());
}

}  // namespace
}  // namespace qs
