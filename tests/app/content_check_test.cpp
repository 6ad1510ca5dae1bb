#include "app/content_check.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "core/options.h"
#include "render/png_writer.h"
#include "test_support.h"

namespace qs {
namespace {

void writeImage(const test::TempDir& dir, const std::string& name) {
    std::filesystem::create_directories((dir / name).parent_path());
    std::vector<uint32_t> pixels(32 * 32, 0xFF808080);
    writePng((dir / name).string(), 32, 32, pixels, nullptr);
}

TEST(ContentCheck, CleanContentHasNoProblems) {
    test::TempDir dir;
    writeImage(dir, "graphics/back.png");
    dir.write("graphics/back.spr", "z=1\r1\rback.png,texture_size=32\r");
    dir.write("graphics/font.spr", "z=1\r1\rback.png,texture_size=32\r");
    dir.write("graphics/font.pos", "1\r\n#65\r\n20\r\n");
    dir.write("menu.map", "1\r\ngraphics\\back\r\n1\r\n0,0,0\r\n");
    dir.write("main.msl", "graphics\\back.spr\r\n; comment\r\n");
    dir.write("text/title.txt", "font=graphics\\font.spr\r\nsize=1\r\n#begin\r\nAA\r\n#end\r\n");
    dir.write("text/combo.txt", "3,Combo\r\n");
    // What the game asks for by name.
    dir.write("main.map", "1\r\ngraphics\\back\r\n1\r\n0,0,0\r\n");
    dir.write("loading.msl", "graphics\\back.spr\r\n");
    dir.write("sound/s.wav", "RIFF");
    dir.write("music.ini", "music_menu, sound\\s.wav, loop\r\n");
    dir.write("sound.ini", "sample_shot, sound\\s.wav\r\n");
    dir.write("options.txt", optionsText(defaultOptions()));
    for (std::string name : filesOpenedByName()) {
        std::replace(name.begin(), name.end(), '\\', '/');
        if (name == "menu.map" || name == "text/title.txt") continue;
        if (name.rfind("text/", 0) == 0)
            dir.write(name, "font=graphics\\font.spr\r\nsize=1\r\n#begin\r\nAA\r\n#end\r\n");
        else
            dir.write(name, "1\r\ngraphics\\back\r\n1\r\n0,0,0\r\n");
    }
    const int screenFiles = static_cast<int>(filesOpenedByName().size()) - 1;  // menu.map is among them
    for (const char* level : {"levels/arcade-01.ini", "levels/challenge-01.ini"})
        dir.write(level, "1000\r\n2.5\r\n5\r\n2\r\n0\r\n");
    dir.write("levels/puzzle-01.ini", "8\r\n1\r\n11C\r\n#\r\n0\r\n0\r\n");
    std::ostringstream report;
    EXPECT_EQ(checkContent(dir.path().string(), report), 0) << report.str();
    EXPECT_NE(report.str().find(std::to_string(15 + screenFiles) + " files checked, 0 problems"), std::string::npos)
        << report.str();
}

TEST(ContentCheck, ReportsEveryProblemWithItsFile) {
    test::TempDir dir;
    writeImage(dir, "graphics/back.png");
    dir.write("graphics/bad.spr", "z=1,wobble=3\r1\rback.png,texture_size=30\r");
    dir.write("graphics/gone.spr", "z=1\r1\rmissing.png,texture_size=32\r");
    dir.write("menu.map", "2\r\ngraphics\\back\r\ngraphics\\nothing\r\n2\r\n0,0,0\r\n7,1,1\r\n");
    dir.write("main.msl", "graphics\\absent.spr\r\nmusic_menu, music\\menu.ogg, loop\r\n");
    dir.write("text/combo.txt", "three,Combo\r\n");
    dir.write("text/title.txt", "font=graphics\\nofont.spr\r\nsize=1\r\n#begin\r\nAA\r\n#end\r\n");
    dir.write("levels/puzzle-01.ini", "this is not a level\r\n");
    dir.write("levels/bonus.ini", "1\r\n");
    std::ostringstream report;
    int problems = checkContent(dir.path().string(), report);
    const std::string text = report.str();
    EXPECT_GE(problems, 9) << text;
    for (const char* expected : {"wobble", "texture_size", "missing.png", "menu.map line 6",
                                 "main.msl line 1: graphics\\absent.spr is missing",
                                 "main.msl line 2: sound file music\\menu.ogg is missing",
                                 "combo.txt line 1", "nofont.pos", "puzzle-01.ini",
                                 "levels\\bonus.ini: not a level file name"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

TEST(ContentCheck, WhatTheGameAsksForByNameIsCheckedToo) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "empty");
    std::ostringstream emptyReport;
    EXPECT_GT(checkContent((dir / "empty").string(), emptyReport), 0);
    for (const char* expected : {"main.msl is missing", "text\\combo.txt is missing", "options.txt is missing",
                                 "levels\\puzzle-01.ini is missing"})
        EXPECT_NE(emptyReport.str().find(expected), std::string::npos) << expected << "\n" << emptyReport.str();

    writeImage(dir, "c/graphics/back.png");
    // Two prototypes of one bare name: the second is read as well, and its fault is found.
    dir.write("c/graphics/balls/ball1.spr", "z=1\r1\r..\\back.png,texture_size=32\r");
    dir.write("c/graphics/balls/ball1/ball1.spr", "z=1,nonsense=4\r1\r..\\..\\back.png,texture_size=32\r");
    dir.write("c/graphics/hello.spr", "hello world\r");
    dir.write("c/text/hello.txt", "hello world\r\n");
    dir.write("c/levels/arcade-1.ini", "1000\r\n2.5\r\n5\r\n2\r\n0\r\n");
    dir.write("c/options.txt", "move_cnt=2147483647\r\n");
    std::ostringstream report;
    EXPECT_GT(checkContent((dir / "c").string(), report), 0);
    for (const char* expected : {"nonsense", "graphics\\hello.spr: no part line", "text\\hello.txt: no #begin section",
                                 "levels\\arcade-1.ini: the game reads this level as levels\\arcade-01.ini",
                                 "options.txt line 1: move_cnt=2147483647 is outside"})
        EXPECT_NE(report.str().find(expected), std::string::npos) << expected << "\n" << report.str();
}

// The shipped settings are what a new player's folder starts with: a key they lack or a
// file that cannot be read leaves the game on values nobody chose.
TEST(ContentCheck, ShippedSettingsThatLackAKeyOrCannotBeReadAreFlagged) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        const char* expected;
    };
    std::string utf16 = std::string("\xFF\xFE", 2);
    for (char c : optionsText(defaultOptions())) utf16 += std::string{c, '\0'};
    auto writing = [](std::string text) {
        return [text](const std::filesystem::path& f) { std::ofstream(f, std::ios::binary) << text; };
    };
    const Case cases[] = {
        {"empty", writing(""), "options.txt has no value for fullscreen, mode16bit"},
        {"one key short", writing("log_enabled=1\r\n"), "options.txt has no value for fullscreen"},
        {"UTF-16", writing(utf16), "options.txt is UTF-16 text"},
        {"junk", writing(std::string("\x01\x02\x03\x04", 4)), "options.txt line 1: control characters"},
        {"no steps", writing(optionsText(defaultOptions()) + "move_cnt=0\r\n"), "move_cnt=0 is outside 1..160"},
        {"a folder", [](const std::filesystem::path& f) { std::filesystem::create_directories(f); },
         "options.txt is missing"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        c.make(dir / "options.txt");
        std::ostringstream report;
        EXPECT_GT(checkContent(dir.path().string(), report), 0) << c.name;
        EXPECT_NE(report.str().find(c.expected), std::string::npos) << c.name << "\n" << report.str();
    }
}

}  // namespace
}  // namespace qs
