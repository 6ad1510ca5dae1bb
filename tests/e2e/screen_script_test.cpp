#include <gtest/gtest.h>

#include "e2e_support.h"
#include "render/png_writer.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

// A small content folder: a background map with a three-frame button, a font and a text.
void writeScreenContent(const TempDir& dir) {
    auto image = [&](const std::string& name, int w, int h, auto colour) {
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = colour(x, y);
        std::filesystem::create_directories((dir / "data" / name).parent_path());
        writePng((dir / "data" / name).string(), w, h, pixels, nullptr);
    };
    image("back.png", 256, 256, [](int x, int y) { return 0xFF101830u + ((x + y) / 16 % 2) * 0x080808u; });
    // Frames: normal, hovered, pressed.
    image("button.png", 192, 32, [](int x, int) {
        static const uint32_t colours[] = {0xFF3050A0, 0xFF50A0F0, 0xFFF0C040};
        return colours[x / 64];
    });
    image("font.png", 64, 16, [](int x, int y) {
        return ((x % 16) > 2 && (x % 16) < 13 && y > 2 && y < 13) ? 0xFFFFFFFFu : 0u;
    });
    image("spark.png", 8, 8, [](int, int) { return 0xFFFFE080u; });
    dir.write("data/back.spr", "z=0,scale=3\r1\rback.png,texture_size=256\r");
    dir.write("data/button.spr", "z=5\r1\rbutton.png,texture_size=64,frame_width=64\r");
    dir.write("data/font.spr", "z=9\r1\rfont.png,texture_size=16,frame_width=16\r");
    dir.write("data/font.pos", "2\r\n#65\r\n14\r\n14\r\n14\r\n14\r\n");
    dir.write("data/graphics/particles/particle1.spr", "z=20\r1\r..\\..\\spark.png,texture_size=8\r");
    dir.write("data/screen.map", "2\r\nback\r\nbutton\r\n2\r\n0,0,0\r\n1,368,284,5\r\n");
    dir.write("data/text/title.txt", "font=font.spr\r\nz=9\r\nsize=2\r\nx=400\r\ny=200\r\n#begin\r\nABBA %1;\r\n#end\r\n");
    dir.write("data/options.txt", "move_cnt=16\r\nfps_max=60\r\n");
    dir.write("data/main.msl", "; nothing to load: the script builds the screen\r\n");
}

TEST(ScreenScript, BuildsAScreenPressesAButtonAndSparks) {
    TempDir dir;
    writeScreenContent(dir);
    // The menu is up by 1 s (its logo and loading are over); the screen is built on it.
    auto script = dir.write("screen.script",
                            "1100 map screen.map\n"
                            "1100 text text\\title.txt title CD\n"
                            "1100 button 1 button\n"
                            "1200 mouse_move 400 300\n"
                            "1300 mouse_down left\n"
                            "1400 screenshot " + (dir / "pressed.png").string() + "\n"
                            "1450 mouse_up left\n"
                            "1500 particles 16 400 300 30\n"
                            "1600 screenshot " + (dir / "sparks.png").string() + "\n"
                            "1700 quit\n");
    RunResult run = runCommand(game() + " --headless --data " + (dir / "data").string() +
                               " --user-dir " + (dir / "user").string() + " --script " +
                               script.string() + " --dump-state");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(jsonNumber(run.output, "lastReleasedButton"), 1) << run.output;
    EXPECT_EQ(jsonNumber(run.output, "hoveredButton"), 1);
    EXPECT_GT(*jsonNumber(run.output, "particles"), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "pressed.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "sparks.png"));
    if (const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS")) {
        std::filesystem::copy_file(dir / "pressed.png", std::string(keep) + "/pressed.png",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(dir / "sparks.png", std::string(keep) + "/sparks.png",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy(dir.path(), std::string(keep) + "/run",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace qs
