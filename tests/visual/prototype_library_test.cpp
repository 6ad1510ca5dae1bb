#include "visual/prototype_library.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

struct LibraryWorld {
    LibraryWorld() {
        world.ctx->log.setEnabled(true);
        for (const char* name : {"graphics/balls/ball1.spr", "graphics/other/ball1.spr",
                                 "graphics/title.spr", "Ball.spr", "ball.spr"})
            world.content(name, "z=1\r");
    }
    PrototypeLibrary& library() { return *world.ctx->prototypes; }
    std::string logText() { return test::readFile(world.dir / "user/log.txt"); }
    int loadsLogged() {
        const std::string log = logText();
        int count = 0;
        for (size_t at = log.find("index="); at != std::string::npos;
             at = log.find("index=", at + 1))
            ++count;
        return count;
    }
    test::TestWorld world;
};

TEST(PrototypeLibrary, FindPrototypeLooksUpTheBareNameOfASprFile) {
    LibraryWorld w;
    PrototypeLibrary& library = w.library();
    EXPECT_EQ(library.FindPrototype("graphics\\balls\\ball1.spr", 0), -1);  // empty library
    EXPECT_EQ(library.FindPrototype("", 0), -1);

    const int ball1 = library.LoadSpritePrototype("graphics\\balls\\ball1.spr");
    const int upper = library.LoadSpritePrototype("Ball.spr");
    const int lower = library.LoadSpritePrototype("ball.spr");
    ASSERT_EQ(library.prototypeAt(upper)->name, "Ball");
    ASSERT_EQ(library.prototypeAt(lower)->name, "ball");

    const std::pair<const char*, int> cases[] = {
        {"graphics\\balls\\ball1.spr", ball1},
        {"graphics\\other\\ball1.spr", ball1},  // any folder
        {"graphics/other/ball1.spr", ball1},
        {"  ball1.spr\t", ball1},              // trimmed
        {"graphics\\balls\\ball1.SPR", ball1},  // the suffix in any case
        {"Ball.spr", upper},                    // the name itself keeps its case
        {"ball.spr", lower},
        {"BALL.spr", -1},
        // Without ".spr" the key is the whole name, lower-cased.
        {"BALL1", ball1},
        {"Ball", lower},
        {"ball1.png", -1},
        {"graphics\\balls\\ball1", -1},
    };
    for (const auto& [name, index] : cases)
        EXPECT_EQ(library.FindPrototype(name, 0), index) << name;
    EXPECT_EQ(library.FindPrototype("ball1.spr", 1), -1);  // no 3D prototypes
}

TEST(PrototypeLibrary, ResourceEntriesLoadEachVisualPrototypeOnce) {
    LibraryWorld w;
    PrototypeLibrary& library = w.library();
    EXPECT_EQ(library.LoadResourceEntry("title, graphics\\title.spr"), 0);
    EXPECT_EQ(library.prototypeAt(0)->name, "title");
    EXPECT_EQ(library.LoadResourceEntry("title, graphics\\title.spr"), -1);
    EXPECT_EQ(library.LoadResourceEntry("graphics\\title.spr"), -1);
    EXPECT_EQ(w.loadsLogged(), 1);
    EXPECT_EQ(library.LoadResourceEntry("graphics\\balls\\ball1.spr"), 1);
    EXPECT_EQ(w.loadsLogged(), 2);
}

TEST(PrototypeLibrary, ResourceEntryKinds) {
    struct Call {
        std::string name, file, extension, field3;
    };
    struct Case {
        const char* line;
        int64_t result;
        std::vector<std::string> calls;  // "name|file|extension|field3" handed to the sound side
        const char* logged;
    };
    const Case cases[] = {
        {"sample_click, sound\\click.wav", 42, {"sample_click|sound\\click.wav|wav|"}, nullptr},
        {"music_menu, music\\Menu.OGG , loop ", 42, {"music_menu|music\\Menu.OGG|ogg|loop"},
         nullptr},
        {"music_game, music\\game.xm,loop", 42, {"music_game|music\\game.xm|xm|loop"}, nullptr},
        {"sound\\mix.mo3", 42, {"sound\\mix.mo3|sound\\mix.mo3|mo3|"}, nullptr},
        // No blank after the comma: one file name, a visual entry that is not there.
        {"a.spr,b.spr", 0, {}, "ERROR_prototype_create_file_not_found: \"a.spr,b.spr\""},
        // The extension starts at the first "." of the file, folders included.
        {"tune, sound.v2\\tune.ogg", 0, {}, "\"sound.v2\\tune.ogg\""},
        {"scene, objects\\scene.m3d", 0, {},
         "ERROR_prototype3d_create_file_not_found: \"objects\\scene.m3d\""},
        {"   ", -1, {}, "names no file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LibraryWorld w;
        std::vector<std::string> calls;
        w.library().audioEntryLoader = [&](const std::string& name, const std::string& file,
                                           const std::string& extension, const std::string& field3,
                                           const std::string&) -> int64_t {
            calls.push_back(name + "|" + file + "|" + extension + "|" + field3);
            return 42;
        };
        EXPECT_EQ(w.library().LoadResourceEntry(c.line), c.result);
        EXPECT_EQ(calls, c.calls);
        if (c.logged) {
            EXPECT_NE(w.logText().find(c.logged), std::string::npos) << w.logText();
        }
    }
}

TEST(PrototypeLibrary, AudioEntriesWithoutASoundLibraryAreLoggedAndSkipped) {
    LibraryWorld w;
    w.library().audioEntryLoader = nullptr;  // the context wires its sound table in by default
    EXPECT_EQ(w.library().LoadResourceEntry("sample_click, sound\\click.wav"), -1);
    EXPECT_NE(w.logText().find("no sound library for the resource entry"), std::string::npos);
    EXPECT_EQ(w.library().prototypeCount(), 0);
}

TEST(PrototypeLibrary, SlotsGrowBy256AndKeepTheirPlace) {
    LibraryWorld w;
    PrototypeLibrary& library = w.library();
    const TMultiSpritePrototype* first = nullptr;
    for (int i = 0; i < 256; ++i) {
        w.world.content("p" + std::to_string(i) + ".spr", "z=" + std::to_string(i) + "\r");
        EXPECT_EQ(library.LoadSpritePrototype("p" + std::to_string(i) + ".spr"), i);
        if (i == 0) first = library.prototypeAt(0);
    }
    // Within one block of 256 slots a prototype never moves.
    EXPECT_EQ(library.prototypeAt(0), first);
    EXPECT_EQ(library.FindPrototype("p255.spr", 0), 255);
    EXPECT_EQ(library.prototypeAt(255)->z, 255);
    EXPECT_EQ(library.prototypeAt(256), nullptr);
}

}  // namespace
}  // namespace qs
