#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/context.h"
#include "core/clock.h"
#include "game/game_session.h"
#include "game/progress.h"
#include "game/view/exit_overlay.h"
#include "game/view/game_over_overlay.h"
#include "game/view/game_zone.h"
#include "game/view/records_overlay.h"
#include "game/view/statistics_overlay.h"
#include "game/view/try_again_overlay.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "ui/focus.h"

namespace qs {
namespace {

// The game's overlays alone, over the shipped content: a zone and the hidden dialogs as the
// game scene loads them, a session of the mode, and the commands the overlays answer with.
struct OverlayWorld {
    explicit OverlayWorld(GameMode mode) {
        ctx = std::make_unique<Context>(std::make_unique<VirtualClock>(0),
                                        FileSystem(std::string(QUIBBLESTAR_SOURCE_DIR) + "/data", dir / "user"),
                                        platform, 1);
        std::filesystem::create_directories(dir / "user");
        ctx->log.setErrorSink([this](const std::string& e) { errors.push_back(e); });
        zone = std::make_unique<GameZone>(*ctx);
        zone->build();
        for (const char* map : {"game_over.map", "exit_to_menu.map", "game_stat.map"})
            load_location_map(*ctx->sceneObjects, map);
        session = std::make_unique<GameSession>(ctx->options, ctx->comboTexts, ctx->random, ctx->files, ctx->log,
                                                progress);
        session->beginGame(mode, 0);
        context = std::make_unique<OverlayContext>(OverlayContext{
            *ctx, *zone, [this]() -> const GameSession& { return *session; },
            [this](GameCommand command) { queued.push_back(describe(command)); }});
    }
    ~OverlayWorld() {
        zone->clear();
        zone.reset();
    }
    int liveObjects() const { return ctx->sceneObjects->liveCount(); }

    test::TempDir dir;
    test::FakePlatform platform;
    std::unique_ptr<Context> ctx;
    std::unique_ptr<GameZone> zone;
    MemoryProgressStore progress;
    std::unique_ptr<GameSession> session;
    std::unique_ptr<OverlayContext> context;
    std::vector<std::string> queued;
    std::vector<std::string> errors;
};

std::vector<std::unique_ptr<OverlayScreen>> allOverlays(OverlayContext& context) {
    std::vector<std::unique_ptr<OverlayScreen>> overlays;
    overlays.push_back(std::make_unique<GameOverOverlay>(context));
    overlays.push_back(std::make_unique<StatisticsOverlay>(context));
    overlays.push_back(std::make_unique<TryAgainOverlay>(context));
    overlays.push_back(std::make_unique<ExitOverlay>(context));
    overlays.push_back(std::make_unique<RecordsOverlay>(context));
    return overlays;
}

// Up and down again, three times: an overlay finds its buttons in the shipped maps, and
// entering it again replaces what it made rather than adding to
// it (a dialog's map and the records' screen stay loaded, hidden, for the next time).
TEST(GameOverlays, EnteringAgainAddsNothing) {
    for (GameMode mode : {kModeArcade, kModePuzzle}) {
        OverlayWorld w(mode);
        for (auto& overlay : allOverlays(*w.context)) {
            const std::string name = "overlay kind " + std::to_string(overlay->kind()) + " mode " +
                                     std::to_string(static_cast<int>(mode));
            std::vector<int> live;
            for (int round = 0; round < 3; ++round) {
                overlay->enter();
                overlay->leave();
                // The records' backdrop stays for the screen that follows them; the scene frees it.
                w.ctx->sceneObjects->unload_by_tag("hiscores");
                w.zone->setHidden(false);
                live.push_back(w.liveObjects());
            }
            EXPECT_EQ(live[1], live[0]) << name;
            EXPECT_EQ(live[2], live[0]) << name;
        }
        EXPECT_EQ(w.errors, std::vector<std::string>{}) << "mode " << mode;
    }
}

// Enter and Escape stand for the buttons a player expects: the safe answer on questions.
TEST(GameOverlays, EnterAndEscapeStandForTheirButtons) {
    OverlayWorld w(kModeArcade);
    struct Case {
        ScreenKind kind;
        int enter, escape;
    };
    const Case cases[] = {
        {kScreenGameOver, 1, 1},     // OK either way
        {kScreenStatistics, 1, 2},   // on / menu
        {kScreenTryAgain, 1, 2},     // again / leave
        {kScreenExitToMenu, 1, 2},   // Escape means "no, back to the game"
        {kScreenScores, 3, 3},       // back
    };
    ScreenTable table;
    for (auto& overlay : allOverlays(*w.context)) table.add(std::move(overlay));
    for (const Case& c : cases) {
        EXPECT_EQ(keyButtonOf(table.find(c.kind), 13), c.enter) << c.kind;
        EXPECT_EQ(keyButtonOf(table.find(c.kind), 27), c.escape) << c.kind;
        EXPECT_EQ(keyButtonOf(table.find(c.kind), 32), 0) << c.kind;
    }
    EXPECT_EQ(table.find(kScreenMainMenu), nullptr);
}

// The arrows walk an overlay's buttons as they read, and the first press shows its OK.
TEST(GameOverlays, KeysWalkTheButtonsFromTheirDefault) {
    OverlayWorld w(kModeArcade);
    struct Case {
        ScreenKind kind;
        std::vector<int> order;
        int first;
    };
    const Case cases[] = {
        {kScreenGameOver, {1}, 1},           {kScreenStatistics, {1, 2}, 1}, {kScreenTryAgain, {1, 2}, 1},
        {kScreenExitToMenu, {1, 2}, 1},      {kScreenScores, {1, 2, 3}, 3},
    };
    ScreenTable table;
    for (auto& overlay : allOverlays(*w.context)) table.add(std::move(overlay));
    for (const Case& c : cases) {
        Screen* overlay = table.find(c.kind);
        overlay->enter();
        std::vector<int> order;
        for (const FocusTarget& target : overlay->focusTargets()) order.push_back(target.button);
        EXPECT_EQ(order, c.order) << c.kind;
        InputState in;
        moveFocus(in, overlay, 1);
        EXPECT_EQ(in.focusedButton, c.first) << c.kind;
        overlay->leave();
        w.ctx->sceneObjects->unload_by_tag("hiscores");
        w.zone->setHidden(false);
    }
}

// A released button answers with the command the game takes, by mode where it differs.
TEST(GameOverlays, ButtonsAnswerWithTheGamesCommands) {
    struct Case {
        GameMode mode;
        ScreenKind kind;
        int button;
        std::vector<std::string> commands;
    };
    const Case cases[] = {
        {kModeArcade, kScreenGameOver, 1, {"show_records"}},
        {kModeArcade, kScreenStatistics, 1, {"next_level"}},
        {kModeArcade, kScreenStatistics, 2, {"open_exit_dialog"}},
        {kModeArcade, kScreenTryAgain, 1, {"try_again"}},
        {kModeArcade, kScreenTryAgain, 2, {"leave_for_menu"}},
        {kModePuzzle, kScreenTryAgain, 2, {"show_records"}},
        {kModeArcade, kScreenExitToMenu, 1, {"leave_for_menu"}},
        {kModeArcade, kScreenExitToMenu, 2, {"close_exit_dialog"}},
        {kModeArcade, kScreenScores, 1, {}},  // pages to the next mode's table
        {kModeArcade, kScreenScores, 3, {"leave_for_menu"}},
    };
    for (const Case& c : cases) {
        OverlayWorld w(c.mode);
        ScreenTable table;
        for (auto& overlay : allOverlays(*w.context)) table.add(std::move(overlay));
        Screen* screen = table.find(c.kind);
        ASSERT_NE(screen, nullptr) << c.kind;
        screen->enter();
        screen->release(c.button);
        EXPECT_EQ(w.queued, c.commands) << "kind " << c.kind << " button " << c.button << " mode " << c.mode;
        screen->leave();
    }
}

}  // namespace
}  // namespace qs
