#include "app/load_list.h"

#include <gtest/gtest.h>

#include "app/context.h"
#include "test_support.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

struct Lists {
    Lists() {
        ctx().log.setErrorSink([this](const std::string& message) { errors.push_back(message); });
    }
    Context& ctx() { return *world.ctx; }
    std::vector<ListEntry> read(const std::string& name, bool append = false) {
        ReadLoadList(entries, name, append, ctx().files, ctx().log);
        return entries;
    }
    test::TestWorld world;
    std::vector<ListEntry> entries;
    std::vector<std::string> errors;
};

TEST(LoadList, EveryEntryKeepsItsListAndLine) {
    Lists lists;
    lists.world.content("Main.msl",
                        "; the menu's pictures\r\n"
                        "\r\n"
                        "graphics\\back.spr\r\n"
                        "  title, graphics\\title.spr ; the logo\r\n"
                        "graphics\\back.spr\r\n"
                        "   ; only a comment\r\n"
                        "graphics\\ball.spr");
    lists.world.content("sound.ini", "sample_shot, sound\\shot.wav\n");
    lists.read("main");
    lists.read("sound.ini", true);
    struct Case {
        const char* text;
        const char* where;
    };
    // The repeated back.spr on line 5 is dropped; the first one keeps its place.
    const Case expected[] = {
        {"graphics\\back.spr", "main.msl line 3"},
        {"title, graphics\\title.spr", "main.msl line 4"},
        {"graphics\\ball.spr", "main.msl line 7"},
        {"sample_shot, sound\\shot.wav", "sound.ini line 1"},
    };
    ASSERT_EQ(lists.entries.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(lists.entries[i].text, expected[i].text) << i;
        EXPECT_EQ(lists.entries[i].where(), expected[i].where) << i;
    }
    EXPECT_TRUE(lists.errors.empty());
}

TEST(LoadList, ProblemsWithAnEntryNameItsListAndLine) {
    Lists lists;
    lists.world.content("graphics/bad.spr", "z=1,wobble=3\r1\rnothing.png,texture_size=32\r");
    lists.world.content("main.msl",
                        "graphics\\absent.spr\r\n"
                        "title, , loop\r\n"
                        "graphics\\bad.spr\r\n"
                        "scene, objects\\absent.m3d\r\n"
                        "sample_shot, sound\\absent.wav\r\n");
    struct Case {
        int line;
        const char* about;  // a word the loader's own message holds
    };
    const Case cases[] = {{1, "absent.spr"}, {2, "names no file"}, {3, "bad.spr"}, {4, "absent.m3d"},
                           {5, "sound\\absent.wav"}};
    for (const ListEntry& entry : lists.read("main")) lists.ctx().prototypes->LoadResourceEntry(entry);
    for (const Case& c : cases) {
        const std::string place = "main.msl line " + std::to_string(c.line) + ": ";
        bool found = false;
        for (const std::string& error : lists.errors)
            found = found || (error.rfind(place, 0) == 0 && error.find(c.about) != std::string::npos);
        EXPECT_TRUE(found) << place << c.about << "\n" << ::testing::PrintToString(lists.errors);
    }
    // Every problem came from some line of the list.
    for (const std::string& error : lists.errors) EXPECT_EQ(error.rfind("main.msl line ", 0), 0u) << error;

    // Outside the list the same entry says nothing of a list.
    lists.errors.clear();
    lists.ctx().prototypes->LoadResourceEntry(std::string("title, , loop"));
    ASSERT_EQ(lists.errors.size(), 1u);
    EXPECT_EQ(lists.errors[0].find("line"), std::string::npos) << lists.errors[0];
}

}  // namespace
}  // namespace qs
