#include "core/log.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

using test::readFile;
using test::TempDir;

TEST(WriteLog, OffWritesNothing) {
    TempDir dir;
    Log log(dir / "log.txt");
    log.WriteLog("====");
    EXPECT_FALSE(std::filesystem::exists(dir / "log.txt"));
}

TEST(WriteLog, AppendsAcrossRuns) {
    TempDir dir;
    for (int run = 0; run < 2; ++run) {
        Log log(dir / "log.txt", [] { return std::string("2026-12-10 10:00:00"); });
        log.setEnabled(true);
        log.WriteLog("====");
        log.WriteLog("start program");
    }
    EXPECT_EQ(readFile(dir / "log.txt"),
              "2026-12-10 10:00:00 : ====\r\n2026-12-10 10:00:00 : start program\r\n"
              "2026-12-10 10:00:00 : ====\r\n2026-12-10 10:00:00 : start program\r\n");
}

TEST(WriteLog, LongLineIsCutAndLosesItsLineEnd) {
    TempDir dir;
    Log log(dir / "log.txt", [] { return std::string("T"); });
    log.setEnabled(true);
    log.WriteLog(std::string(255, 'x'));
    log.WriteLog("next");
    std::string text = readFile(dir / "log.txt");
    EXPECT_EQ(text.substr(0, 255), "T : " + std::string(251, 'x'));
    EXPECT_EQ(text.substr(255), "T : next\r\n");
}

TEST(WriteLog, UnwritableFileIsSwallowed) {
    TempDir dir;
    std::filesystem::create_directory(dir / "log.txt");  // cannot be opened as a file
    Log log(dir / "log.txt");
    log.setEnabled(true);
    log.WriteLog("still running");
    SUCCEED();
}

TEST(LogScope, ErrorsNameTheLiveScopesOutermostFirst) {
    Log log;
    std::vector<std::string> errors;
    log.setErrorSink([&errors](const std::string& message) { errors.push_back(message); });
    log.error("before");
    {
        Log::Scope list(log, "main.msl line 4");
        log.error("outer");
        {
            Log::Scope unplaced(log, "");
            Log::Scope sprite(log, "ball.spr line 2");
            log.error("inner");
        }
        log.error("outer again");
    }
    log.error("after");
    EXPECT_EQ(errors, (std::vector<std::string>{"before", "main.msl line 4: outer",
                                                "main.msl line 4: ball.spr line 2: inner",
                                                "main.msl line 4: outer again", "after"}));
}

}  // namespace
}  // namespace qs
