#include <cmath>
#include <regex>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "picture.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

// The cannon turns about this point of the screen; its barrel reaches about 100 pixels.
constexpr int kPivotX = 400;
constexpr int kPivotY = 560;

// A point along the barrel when the cannon aims at (x, y), `reach` pixels out from the pivot.
std::pair<int, int> alongBarrel(int x, int y, double reach) {
    const double angle = std::atan2(static_cast<double>(x - kPivotX), static_cast<double>(kPivotY - y));
    return {kPivotX + static_cast<int>(std::lround(reach * std::sin(angle))),
            kPivotY - static_cast<int>(std::lround(reach * std::cos(angle)))};
}

// Pictures of the cannon aimed straight up, to the right and to the left: the barrel shows
// on the side the pointer is on, and its mirror image stays background.
TEST(CannonPicture, TheBarrelTurnsTowardsThePointer) {
    TempDir dir;
    auto script = dir.write("aim.script",
                            "100 mouse_move 400 300\n"
                            "9000 screenshot " + (dir / "up.png").string() + "\n"
                            "9100 mouse_move 600 300\n"
                            "9600 screenshot " + (dir / "right.png").string() + "\n"
                            "9700 mouse_move 200 300\n"
                            "10200 screenshot " + (dir / "left.png").string() + "\n"
                            "10300 quit\n");
    RunResult run = runCommand(game() + " --headless --seed 1 --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --start-game arcade --script " + script.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Picture up = loadPicture(dir / "up.png");
    ASSERT_FALSE(up.empty());

    struct Case {
        const char* picture;
        int pointerX;
    };
    for (const Case& c : {Case{"right.png", 600}, Case{"left.png", 200}}) {
        SCOPED_TRACE(c.picture);
        const Picture aimed = loadPicture(dir / c.picture);
        ASSERT_FALSE(aimed.empty());
        const auto [x, y] = alongBarrel(c.pointerX, 300, 90);
        const int mirrorX = 2 * kPivotX - x;
        EXPECT_GT(patchDifference(aimed, up, x, y), 25) << "no barrel at " << x << "," << y;
        EXPECT_LT(patchDifference(aimed, up, mirrorX, y), 8) << "a barrel at " << mirrorX << "," << y;
    }
}

// Lines of `found` with no line of `expected` within two pixels.
std::vector<int> unexpected(const std::vector<int>& found, const std::vector<int>& expected) {
    std::vector<int> extra;
    for (int line : found) {
        bool near = false;
        for (int e : expected) near = near || std::abs(e - line) <= 2;
        if (!near) extra.push_back(line);
    }
    return extra;
}

// A window of any size shows the 800 x 600 picture scaled as a whole: no thin dark lines
// between the tiles that the picture scaled by an image library does not have.
TEST(WindowScaling, ScaledWindowsShowNoSeamsBetweenTiles) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    TempDir dir;
    struct Size {
        int width, height;
    };
    const Size sizes[] = {{1024, 768}, {870, 653}};
    std::string lines = "100 mouse_move 600 300\n8800 screenshot " + (dir / "800.png").string() + "\n";
    int time = 8900;
    for (const Size& size : sizes) {
        const std::string name = std::to_string(size.width) + ".png";
        lines += std::to_string(time) + " window_size " + std::to_string(size.width) + " " +
                 std::to_string(size.height) + "\n" + std::to_string(time + 300) + " screenshot " +
                 (dir / name).string() + "\n";
        time += 400;
    }
    lines += std::to_string(time) + " quit\n";
    auto script = dir.write("sizes.script", lines);
    RunResult run = runCommand("env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1280x1024x24' " +
                               game() + " --seed 1 --data " + dataDir() + " --user-dir " + (dir / "user").string() +
                               " --start-game arcade --script " + script.string() + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Picture frame = loadPicture(dir / "800.png");
    ASSERT_EQ(frame.width(), 800);
    for (const Size& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        const Picture shot = loadPicture(dir / (std::to_string(size.width) + ".png"));
        ASSERT_EQ(std::make_pair(shot.width(), shot.height()), std::make_pair(size.width, size.height));
        // The art's own lines (the field's lip) count with half the strength: the balls moving in
        // front of them between the two pictures must not make them look new.
        const DarkLines expected =
            darkLines(scaledBrightness(frame, size.width, size.height), size.width, size.height, 1.0 / 6);
        const DarkLines found = darkLines(brightnessOf(shot), size.width, size.height);
        EXPECT_EQ(unexpected(found.rows, expected.rows), std::vector<int>{});
        EXPECT_EQ(unexpected(found.columns, expected.columns), std::vector<int>{});
    }
}

// Mean difference of two brightness maps of one size.
double meanDifference(const std::vector<int>& a, const std::vector<int>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) sum += std::abs(a[i] - b[i]);
    return a.empty() ? 0 : sum / static_cast<double>(a.size());
}

// Full screen and back, on a display without a window manager: each picture is the whole
// 800 x 600 frame laid out for the size the window really has, never a crop of another.
TEST(WindowScaling, FullScreenAndBackShowTheWholePicture) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    TempDir dir;
    // The exit question holds the field still behind it while the window changes.
    auto script = dir.write("full.script", "100 mouse_move 600 300\n"
                                           "8000 key_down escape\n"
                                           "8800 screenshot " + (dir / "window.png").string() + "\n"
                                           "8900 toggle_fullscreen\n"
                                           "10400 screenshot " + (dir / "full.png").string() + "\n"
                                           "10500 toggle_fullscreen\n"
                                           "12000 screenshot " + (dir / "back.png").string() + "\n"
                                           "12100 quit\n");
    RunResult run = runCommand("env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' " +
                               game() + " --seed 1 --data " + dataDir() + " --user-dir " + (dir / "user").string() +
                               " --start-game arcade --script " + script.string() + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Picture window = loadPicture(dir / "window.png");
    const Picture full = loadPicture(dir / "full.png");
    const Picture back = loadPicture(dir / "back.png");
    ASSERT_EQ(std::make_pair(window.width(), window.height()), std::make_pair(800, 600));
    ASSERT_EQ(std::make_pair(full.width(), full.height()), std::make_pair(1024, 768));
    ASSERT_EQ(std::make_pair(back.width(), back.height()), std::make_pair(800, 600));
    // Only what still moves behind the dialog (the dragons, a twinkle) and the filtering of
    // the scaled picture may differ; a crop or a shifted layout differs everywhere. The
    // switches are given a second and a half each: a loaded machine takes its time.
    EXPECT_LT(meanDifference(scaledBrightness(full, 800, 600), brightnessOf(window)), 25);
    EXPECT_LT(meanDifference(brightnessOf(back), brightnessOf(window)), 12);
}

// A crystal that hangs at the ceiling's lip (here as puzzle 7 slides in) shows whole, over
// the lip, rather than half hidden under it: the lip's rows differ from the empty zone's.
TEST(GameTexts, CrystalsAtTheCeilingShowOverItsLip) {
    TempDir dir;
    auto script = dir.write("lip.script", "100 mouse_move 400 300\n"
                                          "300 screenshot " + (dir / "empty.png").string() + "\n"
                                          "9000 screenshot " + (dir / "crystals.png").string() + "\n"
                                          "9100 quit\n");
    RunResult run = runCommand(game() + " --headless --seed 3 --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --start-game puzzle --level 7 --script " + script.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Picture empty = loadPicture(dir / "empty.png");
    const Picture crystals = loadPicture(dir / "crystals.png");
    ASSERT_FALSE(empty.empty() || crystals.empty());
    int changed = 0;
    for (int y = 86; y <= 90; ++y)  // the lip's rows, above the field's window
        for (int x = 130; x < 670; ++x)
            changed += std::abs(empty.brightness(x, y) - crystals.brightness(x, y)) > 60;
    EXPECT_GT(changed, 100) << "four crystals hang at the lip";
}

// Score and combo texts rise inside the field: never over its frame or the gauge above it,
// even for matches in the top rows.
TEST(GameTexts, RisingTextsStayInsideTheField) {
    TempDir dir;
    std::string lines;
    std::vector<std::string> dumps;
    for (int ms = 3000; ms <= 15000; ms += 150) {
        dumps.push_back((dir / ("at" + std::to_string(ms) + ".json")).string());
        lines += std::to_string(ms) + " dump_state " + dumps.back() + " objects\n";
    }
    auto script = dir.write("texts.script", lines);
    RunResult run = runCommand(game() + " --headless --seed 3 --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --start-game arcade --bot --until 15100 --script " +
                               script.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    int glyphs = 0;
    long long highest = 1000;
    static const std::regex glyph("\\{\"tag\":\"explose_particle\",\"name\":\"font_[a-z0-9]*\",\"x\":-?\\d+,\"y\":(-?\\d+)");
    for (const std::string& dump : dumps) {
        const std::string text = readFile(dump);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), glyph); it != std::sregex_iterator(); ++it) {
            ++glyphs;
            highest = std::min(highest, std::stoll((*it)[1]));
        }
    }
    ASSERT_GT(glyphs, 0) << "the bot made no match to score";
    EXPECT_GE(highest, 92) << "a text rose over the field's top edge";
}

// A pointer moved by absolute jumps, as remote desktops send them, is seen at once, without
// a click. The desktop's pointer is moved from outside while the game runs.
TEST(WindowPointer, AnAbsoluteMoveIsSeenWithoutAClick) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xdotool is not installed";
    TempDir dir;
    auto script = dir.write("pointer.script", "12000 dump_state " + (dir / "state.json").string() + "\n12100 quit\n");
    // The window is centred on the 1024 x 768 screen: (700, 300) is (588, 216) in the picture;
    // the pointer keeps moving by a pixel so that the game has motion to see.
    const std::string mover = "for i in $(seq 1 200); do xdotool mousemove 700 300; sleep 0.15; "
                              "xdotool mousemove 700 301; sleep 0.15; done";
    RunResult run = runCommand("env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' "
                               "sh -c '" + game() + " --seed 1 --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --start-game arcade --script " + script.string() +
                               " >/dev/null 2>&1 & game=$!; (" + mover + ") & wait $game; kill $! 2>/dev/null; true'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string input = jsonValue(readFile(dir / "state.json"), "input");
    EXPECT_EQ(jsonNumber(input, "mouseX"), 588) << input;
    EXPECT_TRUE(jsonNumber(input, "mouseY") == 216 || jsonNumber(input, "mouseY") == 217) << input;
}

}  // namespace
}  // namespace qs
