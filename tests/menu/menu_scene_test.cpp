#include "menu/menu_scene.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/frame_timer.h"
#include "app/main_form.h"
#include "audio/audio.h"
#include "audio/recording_audio_backend.h"
#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "render/key_codes.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/multisprite.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

// The game's own menus, maps, texts and pictures, with nothing in the loading list: the menu
// makes its objects from their prototypes as it needs them, so a run starts in moments.
struct MenuRun {
    explicit MenuRun(const std::string& players = "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n",
                     const std::string& extraOptions = "") {
        const fs::path data = fs::path(QUIBBLESTAR_SOURCE_DIR) / "data";
        for (const fs::directory_entry& entry : fs::directory_iterator(data)) {
            const std::string name = entry.path().filename().string();
            if (name == "main.msl" || name == "options.txt") continue;
            fs::create_symlink(entry.path(), world.dir / "data" / name);
        }
        world.content("main.msl", "");
        const std::string options = "music_volume=5\r\nsound_volume=6\r\nmove_cnt=16\r\nfps_max=60\r\n" + extraOptions;
        world.content("options.txt", options);
        world.userFile("options.txt", options);
        if (!players.empty()) world.userFile("players.txt", players);
        form = std::make_unique<TMainForm>(*world.ctx);
        form->FormCreate();
        runFor(3000);  // the logo and the (empty) loading are over, the menu is set up
    }

    void runFor(uint32_t ms) {
        const uint32_t until = world.clock->now() + ms;
        while (world.clock->now() + FrameTimer::kInterval <= until) {
            world.clock->advance(FrameTimer::kInterval);
            form->TimerTick();
        }
    }
    void moveTo(int x, int y) {
        world.platform.mouse = {x, y};
        runFor(50);
    }
    void click(int x, int y) {
        moveTo(x, y);
        // A player's click comes after the screen has been up for a moment.
        while (world.ctx->handlers.guarded()) runFor(FrameTimer::kInterval);
        form->onMouseDown(1);
        runFor(20);
        form->onMouseUp(1);
        runFor(200);
    }
    // An arcade game starts as the game type screen would start it.
    void startArcade() {
        world.ctx->selectedMode = kModeArcade;
        form->menuScene()->post(kCommandStartArcade);
    }
    void key(int code, uint8_t shift = 0) {
        form->onKeyDown(code, shift);
        runFor(50);
    }

    int screen() const { return world.ctx->input.ScreenKind; }
    const MenuState& menu() const { return *world.ctx->menu; }
    TMultiSprite* object(const std::string& name, const std::string& tag) const {
        return world.ctx->sceneObjects->at(world.ctx->sceneObjects->FindSceneObject(name, -1, tag));
    }
    int played(const std::string& sample) const {
        const RecordingAudioBackend* audio = world.ctx->audio->recording();
        if (!audio) return -1;
        const std::string play = "play_sample " + std::to_string(world.ctx->audio->FindSound(sample)) + " ";
        int count = 0;
        for (const std::string& call : audio->calls()) count += call.rfind(play, 0) == 0;
        return count;
    }
    std::string userFile(const std::string& name) const { return test::readFile(world.dir / "user" / name); }

    test::TestWorld world;
    std::unique_ptr<TMainForm> form;
};

TEST(MenuScene, FirstVisitFadesTheMenuInAndALaterOneShowsItAtOnce) {
    MenuRun run;
    ASSERT_EQ(run.screen(), kScreenMainMenu);
    EXPECT_EQ(run.menu().introState, -1);
    TMultiSprite* start = run.object("button_start", "menu_buttons_mainmenu");
    ASSERT_NE(start, nullptr);
    EXPECT_LT(start->alpha, 255);  // still fading in, 1.5 s
    run.runFor(1600);
    EXPECT_EQ(start->alpha, 255);
    EXPECT_EQ(run.menu().menuFadeState, 1);

    // A game and back: the menu is there at once, without the logo or the fade.
    run.startArcade();
    run.runFor(500);
    ASSERT_EQ(run.world.ctx->frame.currentScene, kSceneGame);
    run.world.ctx->input.ScreenKind = kScreenMainMenu;
    run.world.ctx->requestScene(kSceneMenu);
    run.runFor(100);
    ASSERT_EQ(run.world.ctx->frame.currentScene, kSceneMenu);
    TMultiSprite* again = run.object("button_start", "menu_buttons_mainmenu");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->alpha, 255);
    EXPECT_EQ(run.menu().introState, -1);
}

TEST(MenuScene, MainMenuZonesAndKeys) {
    MenuRun run;
    struct Case {
        int y;
        int hovered;
    };
    const Case cases[] = {{176, 1}, {300, 3}, {400, -1}, {453, -1}, {454, 5}, {498, 5}, {128, 6}};
    for (const Case& c : cases) {
        run.moveTo(400, c.y);
        EXPECT_EQ(run.world.ctx->input.hoveredButton, c.hovered) << c.y;
    }
    // Enter does nothing here; Escape asks whether to leave, and its "no" comes back.
    run.key(kVkReturn);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenExitQuestion);
    EXPECT_FALSE(run.world.ctx->frame.closeRequested);
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    run.key(kVkEscape);
    run.key(kVkReturn);
    EXPECT_TRUE(run.form->quitRequested());
}

TEST(MenuScene, GameTypeCommentFadeRestartsOnlyWhenTheHoveredModeChanges) {
    MenuRun run;
    run.click(400, 176);
    ASSERT_EQ(run.screen(), kScreenGameType);
    auto commentAlpha = [&](int mode) {
        TMultiSprite* any = nullptr;
        const std::string tag = "game_comment" + std::to_string(mode);
        for (int slot = 0; slot < run.world.ctx->sceneObjects->count() && !any; ++slot) {
            TMultiSprite* object = run.world.ctx->sceneObjects->at(slot);
            if (object && object->tag == tag) any = object;
        }
        return any ? any->alpha : -1;
    };
    run.moveTo(400, 176);  // arcade: its comment shows
    run.runFor(1000);
    EXPECT_EQ(commentAlpha(1), 255);
    run.moveTo(400, 236);  // challenge: the fade starts again from transparent
    EXPECT_LT(commentAlpha(2), 255);
    run.runFor(1000);
    EXPECT_EQ(commentAlpha(2), 255);
    run.moveTo(401, 237);  // staying on it does not
    EXPECT_EQ(commentAlpha(2), 255);
    run.moveTo(400, 400);  // off the modes: no comment
    TMultiSprite* comment = nullptr;
    for (int slot = 0; slot < run.world.ctx->sceneObjects->count(); ++slot) {
        TMultiSprite* object = run.world.ctx->sceneObjects->at(slot);
        if (object && object->tag.rfind("game_comment", 0) == 0 && object->visible) comment = object;
    }
    EXPECT_EQ(comment, nullptr);
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
}

TEST(MenuScene, WithNoPlayerTheMenuAsksForAName) {
    // A player index left over from players that are gone.
    MenuRun run("", "player_index=3\r\n");
    EXPECT_EQ(run.screen(), kScreenNameEntry);
    EXPECT_EQ(run.menu().editMode, kEditFirstPlayer);
    EXPECT_EQ(run.object("panel_cancel", "input_player_name")->visible, 0);
    // Escape with nobody stored says a name is needed; its OK returns to the entry.
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenNameMessage);
    run.key(kVkReturn);
    EXPECT_EQ(run.screen(), kScreenNameEntry);
    for (int k : {'B', 'O', 'B'}) run.key(k, k == 'B' && run.menu().nameText.empty() ? kShiftShift : 0);
    EXPECT_EQ(run.menu().nameText, "Bob");
    run.key(kVkReturn);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    ASSERT_EQ(run.world.ctx->players->count(), 1);
    EXPECT_EQ(run.userFile("players.txt").rfind("Bob, ", 0), 0u);
    EXPECT_NE(run.userFile("options.txt").find("player_index=0"), std::string::npos);
}

TEST(MenuScene, KeysTypedFasterThanTheStepsAllCountInOrder) {
    // A fast typist: the whole name and its Enter arrive between two steps of the menu.
    MenuRun run("");
    ASSERT_EQ(run.screen(), kScreenNameEntry);
    for (int k : {'E', 'V', 'A'}) run.form->onKeyDown(k, k == 'E' ? kShiftShift : 0);
    run.form->onKeyDown(kVkReturn, 0);
    run.runFor(100);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    ASSERT_EQ(run.world.ctx->players->count(), 1);
    EXPECT_EQ(run.world.ctx->players->players()[0].name, "Eva");
}

TEST(MenuScene, OptionsOpenWritesBothVolumesSilentlyAndTheArrowsStopAtTheEnds) {
    MenuRun run;
    run.click(400, 236);
    ASSERT_EQ(run.screen(), kScreenOptions);
    EXPECT_NE(run.userFile("options.txt").find("music_volume=5"), std::string::npos);
    EXPECT_NE(run.userFile("options.txt").find("sound_volume=6"), std::string::npos);
    EXPECT_EQ(run.played("sample_hit"), 0);
    // Sound one step up: heard at its new volume.
    run.click(480, 236);
    EXPECT_EQ(run.world.ctx->audio->soundLevel(), 7);
    EXPECT_EQ(run.played("sample_hit"), 1);
    for (int i = 0; i < 10; ++i) run.click(480, 176);
    EXPECT_EQ(run.world.ctx->audio->musicLevel(), 13);
    // Dragging the music bar: 6 pixels a level, halves to the even neighbour.
    struct Case {
        int x, level;
    };
    for (const Case& c : {Case{363, 0}, Case{369, 2}, Case{438, 13}}) {
        run.moveTo(400, 196);
        run.form->onMouseDown(1);
        run.moveTo(c.x, 196);
        run.form->onMouseUp(1);
        run.runFor(50);
        EXPECT_EQ(run.world.ctx->audio->musicLevel(), c.level) << c.x;
    }
    EXPECT_NE(run.userFile("options.txt").find("music_volume=13"), std::string::npos);
    // The messages switch: all three modes on (they were all off), then all off, each time
    // written at once.
    run.click(400, 356);
    for (const ModeProgress& mode : run.world.ctx->players->current()->modes) EXPECT_EQ(mode.showMessage, 1);
    EXPECT_EQ(run.userFile("players.txt").rfind("Ann, 1, 1, 1, 1, 1, 1, ", 0), 0u);
    run.click(400, 356);
    for (const ModeProgress& mode : run.world.ctx->players->current()->modes) EXPECT_EQ(mode.showMessage, 0);
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
}

TEST(MenuScene, HelpPagesFlipAndTheDemoStartsAtOnce) {
    MenuRun run;
    run.click(400, 356);
    ASSERT_EQ(run.screen(), kScreenHelp);
    EXPECT_EQ(run.menu().helpPage, 1);
    EXPECT_GE(run.menu().demoPhase, 0);
    TMultiSprite* previous = run.object("repair_left", "menu_help");
    TMultiSprite* next = run.object("repair_right", "menu_help");
    ASSERT_TRUE(previous && next);
    const int px = static_cast<int>(previous->x) + previous->width / 2, py = static_cast<int>(previous->y) + previous->height / 2;
    const int nx = static_cast<int>(next->x) + next->width / 2, ny = static_cast<int>(next->y) + next->height / 2;
    run.click(px, py);
    EXPECT_EQ(run.menu().helpPage, 1);  // nothing before page 1
    run.click(nx, ny);
    EXPECT_EQ(run.menu().helpPage, 2);
    run.click(nx, ny);
    EXPECT_EQ(run.menu().helpPage, 2);  // nothing after page 2
    run.click(px, py);
    EXPECT_EQ(run.menu().helpPage, 1);
    run.key(kVkEscape);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
}

TEST(MenuScene, ThePlayerListScrollsChoosesAndDeletes) {
    std::string players;
    for (int i = 0; i < 10; ++i) players += "P" + std::to_string(i) + ", 1, 1, 1\r\n";
    MenuRun run(players);
    run.click(400, 128);
    ASSERT_EQ(run.screen(), kScreenPlayerList);
    for (int i = 0; i < 9; ++i) run.key(kVkDown);
    EXPECT_EQ(run.menu().list.selection, 9);
    EXPECT_EQ(run.menu().list.row, 6);
    EXPECT_EQ(run.menu().list.top, 3);
    for (int i = 0; i < 7; ++i) run.key(kVkUp);
    EXPECT_EQ(run.menu().list.selection, 2);
    EXPECT_EQ(run.menu().list.row, 0);
    EXPECT_EQ(run.menu().list.top, 2);
    // A row clicked once is highlighted, twice chosen.
    run.click(400, 208 + 24 * 2 + 10);
    EXPECT_EQ(run.menu().list.selection, 4);
    run.click(400, 208 + 24 * 2 + 10);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    EXPECT_EQ(run.world.ctx->players->currentPlayer(), 4);
    EXPECT_NE(run.userFile("options.txt").find("player_index=4"), std::string::npos);

    // Deleting a player before the current one keeps the same person current.
    run.click(400, 128);
    run.key(kVkUp);
    run.key(kVkUp);
    ASSERT_EQ(run.menu().list.selection, 2);
    TMultiSprite* remove = run.object("panel_delete", "select_player");
    ASSERT_NE(remove, nullptr);
    run.click(static_cast<int>(remove->x) + remove->width / 2, static_cast<int>(remove->y) + remove->height / 2);
    ASSERT_EQ(run.screen(), kScreenDeleteQuestion);
    run.key(kVkReturn);
    EXPECT_EQ(run.screen(), kScreenPlayerList);
    EXPECT_EQ(run.world.ctx->players->count(), 9);
    EXPECT_EQ(run.world.ctx->players->current()->name, "P4");
    EXPECT_EQ(run.menu().list.selection, 2);  // the list opens again on the same place
}

// Names that only letter case tells apart belong to one player: a rename to another
// player's name in other letters is refused as the same name is; a player may change the
// case of its own name.
TEST(MenuScene, ARenameToAnotherPlayersNameInOtherLettersIsRefused) {
    MenuRun run("Ann, 1, 1, 1\r\nBob, 1, 1, 1\r\n");
    auto rename = [&](int player, const std::vector<int>& keys) {
        run.click(400, 128);
        ASSERT_EQ(run.screen(), kScreenPlayerList);
        while (run.menu().list.selection > player) run.key(kVkUp);
        while (run.menu().list.selection < player) run.key(kVkDown);
        TMultiSprite* button = run.object("panel_rename", "select_player");
        ASSERT_NE(button, nullptr);
        run.click(static_cast<int>(button->x) + button->width / 2, static_cast<int>(button->y) + button->height / 2);
        ASSERT_EQ(run.screen(), kScreenNameEntry);
        while (!run.menu().nameText.empty()) run.key(kVkBack);
        for (int k : keys) run.key(k, kShiftShift);
        run.key(kVkReturn);
    };
    rename(1, {'A', 'N', 'N'});
    EXPECT_EQ(run.screen(), kScreenNameMessage);
    EXPECT_EQ(run.world.ctx->players->players()[1].name, "Bob");
    run.key(kVkReturn);
    run.key(kVkEscape);
    run.key(kVkEscape);
    rename(0, {'A', 'N', 'N'});
    EXPECT_EQ(run.screen(), kScreenPlayerList);
    EXPECT_EQ(run.world.ctx->players->players()[0].name, "ANN");
}

// A dialog that has just come up ignores presses for a moment (fast clicking on the screen
// behind must not go through it), and a press that began before it came up does not land.
TEST(MenuScene, ADialogIgnoresPressesInItsFirstMoments) {
    MenuRun run;
    auto press = [&](bool down, bool up) {
        if (down) run.form->onMouseDown(1);
        run.runFor(20);
        if (up) run.form->onMouseUp(1);
        run.runFor(20);
    };
    run.moveTo(460, 369);  // where the exit question's "no" comes up
    run.key(kVkEscape);
    ASSERT_EQ(run.screen(), kScreenExitQuestion);
    press(true, true);
    EXPECT_EQ(run.screen(), kScreenExitQuestion);
    run.runFor(InputHandlers::kClickGuardMs);
    press(true, true);
    EXPECT_EQ(run.screen(), kScreenMainMenu);
    // Held down on the main menu while the question comes up, released over its "no".
    press(true, false);
    run.key(kVkEscape);
    run.runFor(InputHandlers::kClickGuardMs);
    press(false, true);
    EXPECT_EQ(run.screen(), kScreenExitQuestion);
}

// Controls show only where they do something: the help's arrows at the ends of the pages,
// and the player list's thumb at the top while every name fits.
TEST(MenuScene, HelpArrowsAndTheListThumbShowWhereTheyLead) {
    MenuRun run("Ann, 1, 1, 1\r\nBob, 1, 1, 1\r\n");
    auto shown = [&](const char* name, const char* tag) {
        TMultiSprite* object = run.object(name, tag);
        return object && object->visible;
    };
    run.click(400, 356);
    ASSERT_EQ(run.screen(), kScreenHelp);
    EXPECT_FALSE(shown("repair_left", "menu_help"));
    EXPECT_TRUE(shown("repair_right", "menu_help"));
    run.click(459, 120);
    EXPECT_TRUE(shown("repair_left", "menu_help"));
    EXPECT_FALSE(shown("repair_right", "menu_help"));
    run.key(kVkEscape);

    run.click(400, 128);
    ASSERT_EQ(run.screen(), kScreenPlayerList);
    run.key(kVkDown);
    ASSERT_EQ(run.menu().list.selection, 1);
    TMultiSprite* thumb = run.object("scroller_bar", "select_player");
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->y, 201);
}

TEST(MenuScene, DeletingTheOnlyPlayerAsksForAFirstPlayer) {
    MenuRun run;
    run.click(400, 128);
    ASSERT_EQ(run.screen(), kScreenPlayerList);
    TMultiSprite* remove = run.object("panel_delete", "select_player");
    ASSERT_NE(remove, nullptr);
    run.click(static_cast<int>(remove->x) + remove->width / 2, static_cast<int>(remove->y) + remove->height / 2);
    run.key(kVkReturn);
    EXPECT_EQ(run.screen(), kScreenNameEntry);
    EXPECT_EQ(run.menu().editMode, kEditFirstPlayer);
    EXPECT_TRUE(run.world.ctx->players->empty());
    EXPECT_EQ(run.userFile("players.txt"), "");
}

TEST(MenuScene, ChoosingAModeOffersToContinueWhereTheProgressAllows) {
    struct Case {
        const char* players;
        int modeRow;  // y of the mode's button
        int screen;   // where the choice leads
        int checkpoint;
    };
    // Messages off in every mode, so the choice goes straight to the decision.
    const Case cases[] = {
        {"Ann, 12, 1, 1, 0, 0, 0, 900, 0, 0, 0, -1, -1, 400, 0, 0\r\n", 176, kScreenContinueQuestion, 10},
        {"Ann, 4, 1, 1, 0, 0, 0, 900, 0, 0, 0, -1, -1, 400, 0, 0\r\n", 176, -1, -1},
        {"Ann, 1, 1, 3, 0, 0, 0, 0, 0, 0, -1, -1, 0, 0, 0, 0\r\n", 296, kScreenContinueQuestion, -1},
    };
    for (const Case& c : cases) {
        MenuRun run(c.players);
        run.click(400, 176);
        run.click(400, c.modeRow);
        if (c.screen == -1) {
            EXPECT_EQ(run.world.ctx->frame.currentScene, kSceneGame) << c.players;
            continue;
        }
        EXPECT_EQ(run.screen(), c.screen) << c.players;
        EXPECT_EQ(run.menu().offer.checkpointLevel, c.checkpoint) << c.players;
        run.key(kVkReturn);  // yes
        run.runFor(200);
        EXPECT_EQ(run.world.ctx->frame.currentScene, kSceneGame) << c.players;
    }
}

TEST(MenuScene, GamesAndReturnsLeaveNoObjectsBehind) {
    MenuRun run;
    run.runFor(1600);
    auto roundTrip = [&] {
        run.startArcade();
        run.runFor(1500);
        EXPECT_EQ(run.world.ctx->frame.currentScene, kSceneGame);
        run.world.ctx->input.ScreenKind = kScreenMainMenu;
        run.world.ctx->requestScene(kSceneMenu);
        run.runFor(500);
        EXPECT_EQ(run.world.ctx->frame.currentScene, kSceneMenu);
        return run.world.ctx->sceneObjects->liveCount();
    };
    const int first = roundTrip();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(roundTrip(), first) << "after game " << i + 2;
}

}  // namespace
}  // namespace qs
