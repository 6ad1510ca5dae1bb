#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/context.h"
#include "core/scene_codes.h"
#include "menu/continue_question_screen.h"
#include "menu/delete_question_screen.h"
#include "menu/exit_question_screen.h"
#include "menu/game_message_screen.h"
#include "menu/game_type_screen.h"
#include "menu/help_screen.h"
#include "menu/main_menu_screen.h"
#include "menu/menu_context.h"
#include "menu/menu_scene.h"
#include "menu/menu_state.h"
#include "menu/name_entry_screen.h"
#include "menu/name_message_screen.h"
#include "menu/options_screen.h"
#include "menu/player_list_screen.h"
#include "menu/records_screen.h"
#include "render/key_codes.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "ui/focus.h"
#include "ui/scores_screen.h"
#include "visual/multisprite.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

// One screen built alone over the game's own content, with one player: the panels it stands
// on are loaded as the menu's set-up loads them, and nothing else.
struct ScreenBench {
    ScreenBench() {
        const fs::path data = fs::path(QUIBBLESTAR_SOURCE_DIR) / "data";
        for (const fs::directory_entry& entry : fs::directory_iterator(data))
            fs::create_symlink(entry.path(), world.dir / "data" / entry.path().filename());
        world.userFile("options.txt", "");
        world.userFile("players.txt", "Ann, 1, 1, 1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
        world.ctx->ReadOptions();
        world.ctx->openPlayers();
    }

    // Every live object by slot, name and tag.
    std::set<std::tuple<int, std::string, std::string>> liveObjects() const {
        std::set<std::tuple<int, std::string, std::string>> live;
        const SceneObjectList& objects = *world.ctx->sceneObjects;
        for (int slot = 0; slot < objects.count(); ++slot)
            if (const TMultiSprite* object = objects.at(slot)) live.emplace(slot, object->name, object->tag);
        return live;
    }

    test::TestWorld world;
    MenuState state;
    ScreenTable table;
    MenuContext menu{*world.ctx, state, table};
    ScoresScreen scores{*world.ctx};
};

struct ScreenCase {
    const char* name;
    ScreenKind kind;
    std::vector<const char*> panels;  // maps the menu's set-up loads for it
    std::function<std::unique_ptr<MenuScreen>(ScreenBench&)> make;
    int enterButton, escapeButton;
    std::vector<int> focusOrder;  // the buttons the arrows walk, in order
    int defaultFocus;             // where the first key press puts the focus
};

template <typename T>
std::function<std::unique_ptr<MenuScreen>(ScreenBench&)> plain() {
    return [](ScreenBench& bench) { return std::make_unique<T>(bench.menu); };
}

const std::vector<ScreenCase>& screenCases() {
    static const std::vector<ScreenCase> cases = {
        {"main menu", kScreenMainMenu, {"menu.map", "menu_buttons_mainmenu.map"}, plain<MainMenuScreen>(), 0, 5, {6, 1, 2, 3, 4, 5}, 1},
        {"game type", kScreenGameType, {"menu_buttons_select_game_type.map"}, plain<GameTypeScreen>(), 0, 4, {1, 2, 3, 4}, 1},
        {"game message", kScreenGameMessage, {}, plain<GameMessageScreen>(), 2, 2, {1, 2}, 2},
        {"continue question", kScreenContinueQuestion, {}, plain<ContinueQuestionScreen>(), 1, 2, {1, 2}, 1},
        {"options", kScreenOptions, {"menu_buttons_music_sound_fullscreen.map"}, plain<OptionsScreen>(), 0, 5, {1, 2, 3, 4, 5}, 1},
        {"records", kScreenScores, {},
         [](ScreenBench& bench) {
             bench.scores.prepare();
             return std::make_unique<RecordsScreen>(bench.menu, bench.scores);
         },
         3, 3, {1, 2, 3}, 3},
        // Page one has no way back: its left arrow is hidden.
        {"help", kScreenHelp, {"menu_help.map"}, plain<HelpScreen>(), 1, 1, {3, 1}, 1},
        {"exit question", kScreenExitQuestion, {}, plain<ExitQuestionScreen>(), 1, 2, {1, 2}, 1},
        {"player list", kScreenPlayerList, {"input_player_name_back.map"}, plain<PlayerListScreen>(), 5, 6, {1, 2, 3, 4, 5, 6, 7}, 5},
        {"delete question", kScreenDeleteQuestion, {"input_player_name_back.map"}, plain<DeleteQuestionScreen>(), 1,
         2, {1, 2}, 1},
        // The first player cannot cancel: only OK is there.
        {"name entry", kScreenNameEntry, {"input_player_name.map", "input_player_name_back.map"},
         plain<NameEntryScreen>(), 1, 2, {1}, 1},
        {"name message", kScreenNameMessage, {"input_player_name.map", "input_player_name_back.map"},
         [](ScreenBench& bench) {
             bench.menu.nameMessage = {"text\\please_enter_name.txt", false};
             return std::make_unique<NameMessageScreen>(bench.menu);
         },
         1, 1, {1}, 1},
    };
    return cases;
}

// The case's screen over the panels the menu's set-up loads for it, its buttons found.
std::unique_ptr<MenuScreen> prepared(ScreenBench& bench, const ScreenCase& c) {
    for (const char* map : c.panels) load_location_map(*bench.world.ctx->sceneObjects, map);
    std::unique_ptr<MenuScreen> screen = c.make(bench);
    screen->prepare();
    return screen;
}

TEST(MenuScreens, EnteringThenLeavingLeavesNoObjectOfTheScreensOwn) {
    for (const ScreenCase& c : screenCases()) {
        SCOPED_TRACE(c.name);
        ScreenBench bench;
        std::unique_ptr<MenuScreen> screen = prepared(bench, c);
        const auto before = bench.liveObjects();
        screen->enter();
        EXPECT_EQ(bench.world.ctx->input.ScreenKind, c.kind);
        // A step on it: the hover pass, and what the screen draws after the step's command
        // (the options' volume bars).
        screen->hover(bench.world.clock->now());
        screen->step();
        // Each screen but the main menu (which writes its texts afresh where they were) makes
        // objects of its own, so the check below has something to find.
        size_t made = 0;
        for (const auto& object : bench.liveObjects()) made += before.count(object) == 0;
        if (c.kind != kScreenMainMenu) {
            EXPECT_GT(made, 0u);
        }
        screen->leave();
        for (const auto& object : bench.liveObjects())
            EXPECT_EQ(before.count(object), 1u) << std::get<1>(object) << " tagged " << std::get<2>(object);
    }
}

TEST(MenuScreens, KeysWalkEachScreensButtonsInTheirReadingOrder) {
    for (const ScreenCase& c : screenCases()) {
        SCOPED_TRACE(c.name);
        ScreenBench bench;
        std::unique_ptr<MenuScreen> screen = prepared(bench, c);
        screen->enter();
        std::vector<int> order;
        for (const FocusTarget& target : screen->focusTargets()) order.push_back(target.button);
        EXPECT_EQ(order, c.focusOrder);
        // The first key press shows the screen's natural default.
        InputState& in = bench.world.ctx->input;
        moveFocus(in, screen.get(), 1);
        EXPECT_EQ(in.focusedButton, c.defaultFocus);
        screen->leave();
    }
}

TEST(MenuScreens, TheSceneFindsEachScreenByItsKindWithItsEnterAndEscapeButtons) {
    test::TestWorld world;
    MenuScene scene(*world.ctx);
    for (const ScreenCase& c : screenCases()) {
        SCOPED_TRACE(c.name);
        const Screen* screen = scene.screens().find(c.kind);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->kind(), c.kind);
        EXPECT_EQ(keyButtonOf(screen, kVkReturn), c.enterButton);
        EXPECT_EQ(keyButtonOf(screen, kVkEscape), c.escapeButton);
        // Any other key goes on to the screen as a key.
        EXPECT_EQ(keyButtonOf(screen, kVkSpace), 0);
    }
    // The game's overlays and "none" are not the menu's.
    for (int kind : {kScreenNone, kScreenGameOver, kScreenStatistics, kScreenTryAgain, kScreenExitToMenu})
        EXPECT_EQ(scene.screens().find(kind), nullptr) << kind;
}

TEST(MenuScreens, TheScenesHookAnswersForTheScreenUpAndGoesWithTheScene) {
    test::TestWorld world;
    world.userFile("options.txt", "");
    MenuScene scene(*world.ctx);
    world.ctx->startGameAtOnce = true;  // no logo: the hook is all this needs
    scene.start();
    ASSERT_TRUE(world.ctx->hooks.keyButton);
    const struct {
        ScreenKind kind;
        int key, button;
    } cases[] = {{kScreenPlayerList, kVkReturn, 5}, {kScreenPlayerList, kVkEscape, 6},
                 {kScreenMainMenu, kVkReturn, 0},   {kScreenStatistics, kVkEscape, 0}};
    for (const auto& c : cases) {
        world.ctx->input.ScreenKind = c.kind;
        EXPECT_EQ(world.ctx->hooks.keyButton(c.key), c.button) << c.kind << " " << c.key;
    }
    scene.unload();
    EXPECT_FALSE(world.ctx->hooks.keyButton);
}

}  // namespace
}  // namespace qs
