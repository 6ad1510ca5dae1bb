#include <gtest/gtest.h>

#include "e2e_support.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

// The pictures of the game's own content: the first frame, and the game zone with a field of
// balls and a shot in flight. Strict content: every name the code asks for must exist.
// QUIBBLESTAR_KEEP_SCREENSHOTS=DIR keeps the pictures for a look.
TEST(ArtScreens, FirstFrameAndGameZoneDrawFromTheGamesContent) {
    TempDir dir;
    auto script = dir.write("zone.script",
                            "500 screenshot " + (dir / "first.png").string() + "\n"
                            "600 map main.map\n"
                            "650 field arcade 1\n"
                            "1400 shoot 330 260\n"
                            "1560 screenshot " + (dir / "zone.png").string() + "\n"
                            "1700 quit\n");
    RunResult run = runCommand(game() + " --headless --strict-content --seed 5 --data " + dataDir() +
                               " --user-dir " + (dir / "user").string() + " --script " +
                               script.string() + " --dump-state");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(*jsonNumber(run.output, "sceneObjects"), 100);
    for (const char* name : {"first.png", "zone.png"}) {
        ASSERT_TRUE(std::filesystem::exists(dir / name)) << name;
        if (const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS"))
            std::filesystem::copy_file(dir / name, std::string(keep) + "/" + name,
                                       std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace qs
