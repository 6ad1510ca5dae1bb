#include "menu/menu_intro.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/load_list.h"
#include "menu/menu_context.h"
#include "menu/menu_state.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "ui/screen.h"
#include "visual/multisprite.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

// The intro alone over the game's own content, with a loading list of its own.
struct IntroBench {
    explicit IntroBench(const std::string& mainList) {
        const fs::path data = fs::path(QUIBBLESTAR_SOURCE_DIR) / "data";
        for (const fs::directory_entry& entry : fs::directory_iterator(data)) {
            const std::string name = entry.path().filename().string();
            if (name != "main.msl" && name != "sound.ini") fs::create_symlink(entry.path(), world.dir / "data" / name);
        }
        world.content("main.msl", mainList);
        world.content("sound.ini", "; samples\r\n\r\nsample_shot, sound\\shot.wav\r\n");
        world.ctx->log.setErrorSink([this](const std::string& message) { errors.push_back(message); });
        std::vector<ListEntry> entries;
        ReadLoadList(entries, "main", false, world.ctx->files, world.ctx->log);
        ReadLoadList(entries, "sound.ini", true, world.ctx->files, world.ctx->log);
        intro.takeLoadList(entries);
    }
    int countTagged(const std::string& tag) const {
        int count = 0;
        const SceneObjectList& objects = *world.ctx->sceneObjects;
        for (int slot = 0; slot < objects.count(); ++slot)
            if (const TMultiSprite* object = objects.at(slot)) count += object->tag == tag;
        return count;
    }
    bool errorAt(const std::string& place) const {
        for (const std::string& error : errors)
            if (error.rfind(place, 0) == 0) return true;
        return false;
    }

    test::TestWorld world;
    MenuState state;
    ScreenTable table;
    MenuContext menu{*world.ctx, state, table};
    MenuIntro intro{menu};
    std::vector<std::string> errors;
};

TEST(MenuIntro, LoadsTheHandedEntriesAStepEachThenTakesTheLogoAndTheBarAway) {
    IntroBench bench("graphics\\elements_gamezone\\loading_element_polosa.spr\r\ngraphics\\absent.spr\r\n");
    ASSERT_EQ(bench.intro.loadList().size(), 3u);
    EXPECT_EQ(bench.intro.loadList()[2].where(), "sound.ini line 3");
    bench.intro.show();
    EXPECT_EQ(bench.countTagged("zast"), 5);
    EXPECT_EQ(bench.countTagged("scroll_element"), 39);

    // The logo is still up: the entries load, the end waits for it.
    bench.state.introState = 2;
    for (int step = 0; step < 5; ++step) bench.intro.runLoading(bench.world.clock->now());
    EXPECT_TRUE(bench.intro.contentLoaded());
    EXPECT_FALSE(bench.state.loadingFinished);
    EXPECT_EQ(bench.countTagged("zast"), 5);
    // A bad entry is named by its list and line.
    EXPECT_TRUE(bench.errorAt("main.msl line 2: ")) << ::testing::PrintToString(bench.errors);

    bench.state.introState = -1;
    bench.intro.runLoading(bench.world.clock->now());
    EXPECT_TRUE(bench.state.loadingFinished);
    EXPECT_EQ(bench.countTagged("zast"), 0);
    EXPECT_EQ(bench.countTagged("scroll_element"), 0);
    EXPECT_NE(bench.world.ctx->sceneObjects->at(bench.world.ctx->input.cursorObject), nullptr);
    EXPECT_EQ(bench.state.menuFadeState, 2);  // the menu fades in next
}

TEST(MenuIntro, AGameStartedAtOnceLoadsEverythingWithoutTheLogo) {
    IntroBench bench("graphics\\elements_gamezone\\loading_element_polosa.spr\r\n");
    bench.intro.loadAtOnce();
    EXPECT_TRUE(bench.intro.contentLoaded());
    EXPECT_EQ(bench.countTagged("zast"), 0);
    EXPECT_NE(bench.world.ctx->sceneObjects->at(bench.world.ctx->input.cursorObject), nullptr);
}

}  // namespace
}  // namespace qs
