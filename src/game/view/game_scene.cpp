#include "game/view/game_scene.h"

#include <algorithm>
#include <limits>

#include "ui/scene_services.h"
#include "audio/audio.h"
#include "audio/audio_backend.h"
#include "core/scene_codes.h"
#include "game/bot.h"
#include "game/game_session.h"
#include "game/view/cell_art.h"
#include "game/view/dragons.h"
#include "game/view/field_view.h"
#include "game/view/game_zone.h"
#include "game/view/player_progress.h"
#include "profile/player_store.h"
#include "profile/records_store.h"
#include "render/key_codes.h"
#include "scene/location_map.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "visual/prototype_library.h"
#include "ui/dialog_fade.h"
#include "ui/scores_screen.h"

namespace qs {

namespace {

// The overlays loaded hidden with the zone, each a map and its text under the map's tag.
struct OverlayFiles {
    const char* tag;
    const char* map;
    const char* text;
};
constexpr OverlayFiles kOverlays[] = {
    {"game_over", "game_over.map", nullptr},  // its text depends on how the game was lost
    {"exit_to_menu", "exit_to_menu.map", "text\\exit_to_menu.txt"},
    {"game_stat", "game_stat.map", "text\\stat_title.txt"},
};

const char* modeTitle(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_title_challenge.txt";
        case kModePuzzle: return "text\\game_title_puzzle.txt";
        default: return "text\\game_title_arcade.txt";
    }
}

// How long the bot looks at an overlay before it clicks on.
constexpr int32_t kBotReadingMs = 1500;

// The small menu button's hit zone on the panel.
bool overMenuButton(int x, int y) { return x >= 717 && x <= 796 && y >= 0 && y <= 17; }

}  // namespace

GameScene::GameScene(SceneServices& context) : ctx_(context), scores_(std::make_unique<ScoresScreen>(context)) {}
GameScene::~GameScene() = default;

void GameScene::StartSceneMain() {
    ctx_.WriteLog("StartSceneMain");
    ctx_.ReadOptions();
    ctx_.frame.sceneSetupState = kSetupPending;
    ctx_.frame.sceneLive = true;
    ctx_.input.ScreenKind = kScreenNone;
    ctx_.audio->arcadeAltStart = false;

    if (!ctx_.players) ctx_.openPlayers();
    if (ctx_.players->empty()) ctx_.players->addFirstPlayer("Player");
    if (ctx_.players->current())
        progress_ = std::make_unique<PlayerProgress>(*ctx_.players);
    else
        progress_ = std::make_unique<MemoryProgressStore>();

    // The loading screen and the logo stay behind the menu; a game covers them.
    for (const char* tag : {"loading", "zast", "scroll_element"}) ctx_.sceneObjects->SetVisibleByTag(tag, false);
    zone_ = std::make_unique<GameZone>(ctx_);
    zone_->build();
    for (const OverlayFiles& overlay : kOverlays) {
        load_location_map(*ctx_.sceneObjects, overlay.map);
        if (overlay.text) ShowTextFile(*ctx_.sceneObjects, overlay.text, overlay.tag);
        ctx_.sceneObjects->SetVisibleByTag(overlay.tag, false);
    }
    dragons_ = std::make_unique<Dragons>(ctx_, zone_->blueDragon(), zone_->greenDragon());
    field_ = std::make_unique<FieldView>(ctx_);
    session_ = std::make_unique<GameSession>(ctx_.options, ctx_.comboTexts, ctx_.random, ctx_.files, ctx_.log,
                                             *progress_);
    session_->setView(field_.get());
    ctx_.session = session_.get();

    ctx_.hooks.HandleButtonRelease = [this] { HandleButtonRelease(); };
    ctx_.hooks.command = [this](const InputCommand& command) { return take(command); };
}

bool GameScene::take(const InputCommand& command) {
    if (!session_) return false;
    if (const auto* key = std::get_if<input::Key>(&command)) {
        if (key->code == kVkEscape) queue(command::Escape{});
        else if (key->code == kVkSpace || key->code == kVkReturn) queue(command::Hurry{});
        return true;
    }
    // A press is a shot only in play, and not on the small menu button.
    const int button = std::get<input::Press>(command).button;
    if (session_->state() != kGamePlaying || ctx_.input.hoveredButton != -1) return true;
    if (button == 1) queue(command::Fire{});
    else queue(secondButton());
    return true;
}

GameCommand GameScene::secondButton() const {
    // The right (or middle) button swaps the balls, or fires the paint rocket while one is held.
    if (session_->game().queue.rocketCount >= 1) return command::FireRocket{};
    return command::Swap{};
}

void GameScene::setUp() {
    // The first frame of a game.
    GameOptions& options = ctx_.options;
    if (ctx_.startLevel > 0) options.beg_level = ctx_.startLevel;
    session_->beginGame(ctx_.selectedMode, ctx_.frame.gameClock);
    if (!ctx_.records) ctx_.openRecords();
    const RecordsView best = ctx_.records ? ctx_.records->table(ctx_.selectedMode) : RecordsView{};
    zone_->showModePanel(ctx_.selectedMode, best.rows.empty() ? std::string() : best.rows.front().score);
    ctx_.startLevel = 0;
    ctx_.audio->PlaySound(ctx_.audio->FindSound("sample_game_begin"));
    ctx_.frame.sceneSetupState = kSetupDone;
    ctx_.input.SceneCommand = kCommandNone;
    ctx_.input.pressedButton = -1;
    queued_.clear();
    // The new session learns where the pointer is at its first step.
    pointerX_ = std::numeric_limits<int>::min();
}

void GameScene::UpdateSceneMain() {
    FrameState& frame = ctx_.frame;
    if (frame.sceneChangeRequest != 0 || !session_) return;
    ctx_.readPointer(true);
    if (frame.sceneSetupState == kSetupPending) {
        setUp();
        return;
    }
    ctx_.dialogFade->update();
    dragons_->update(frame.gameClock, *session_);
    hoverButtons();
    if (ctx_.bot) botMoves();

    InputState& in = ctx_.input;
    // The pointer aims the cannon; the bot aims by itself.
    if (!ctx_.bot && (in.mouseX != pointerX_ || in.mouseY != pointerY_)) {
        pointerX_ = in.mouseX;
        pointerY_ = in.mouseY;
        queue(command::Pointer{pointerX_, pointerY_});
    }
    std::vector<GameCommand> commands;
    commands.swap(queued_);
    session_->step(frame.gameClock, commands);
    // Score pieces fly to the end of the gauge as it is shown.
    ctx_.particles->indicatorX = session_->shownProgress();
    if (ctx_.particles->pieceArrived) {
        ctx_.particles->pieceArrived = false;
        session_->scorePieceArrived();
    }

    playSessionEvents();
    if (frame.sceneChangeRequest != 0) return;
    field_->update(session_->game());
    zone_->update(*session_);
    in.ScreenKind = screenKindOf(*session_);
    ctx_.particles->UpdateAll();
}

void GameScene::playSessionEvents() {
    Audio& audio = *ctx_.audio;
    const Gameplay& game = session_->game();
    for (const GameEvent& event : game.events) {
        switch (event.type) {
            case GameEvent::kDragonsJoy: dragons_->setMood(Dragons::kJoy); break;
            case GameEvent::kCannonFired: zone_->cannonFired(); break;
            case GameEvent::kLevelStarted: {
                dragons_->start(ctx_.frame.gameClock);
                const bool puzzle = game.mode == kModePuzzle;
                if (!puzzle && game.level % 2 == 0) audio.arcadeAltStart = true;
                audio.RequestMusic(puzzle ? audio.musicPuzzle : audio.musicArcade, 500, 250);
                break;
            }
            case GameEvent::kChannelPlay: {
                const uint32_t channel = static_cast<uint32_t>(audio.PlaySound(audio.FindSound(event.name)));
                if (channel != 0) levelChannels_.push_back(static_cast<int>(channel));
                break;
            }
            case GameEvent::kChannelStop:
                for (int channel : levelChannels_) audio.backend().stopChannel(static_cast<uint32_t>(channel));
                levelChannels_.clear();
                break;
            case GameEvent::kBurningStart:
                burningChannel_ =
                    static_cast<int>(audio.PlaySound(audio.FindSound("sample_burning_big_bomb")));
                break;
            case GameEvent::kStopBurning:
                if (burningChannel_ != 0) audio.backend().stopChannel(static_cast<uint32_t>(burningChannel_));
                burningChannel_ = 0;
                break;
            case GameEvent::kShowOverlay: showOverlay(overlayName(static_cast<Overlay>(event.value))); break;
            case GameEvent::kHideOverlay: hideOverlay(overlayName(static_cast<Overlay>(event.value))); break;
            case GameEvent::kShowRecords: showRecords(); break;
            case GameEvent::kLeaveForMenu:
            case GameEvent::kLevelFailed: leaveForMenu(); return;
            default: break;
        }
    }
}

ScreenKind screenKindOf(const GameSession& session) {
    if (session.leaveRequested()) return kScreenMainMenu;
    switch (session.state()) {
        case kGameOverDialog: return kScreenGameOver;
        case kGameStatistics: return kScreenStatistics;
        case kGameRecords: return kScreenScores;
        case kGameTryAgain: return kScreenTryAgain;
        case kGameExitDialog: return kScreenExitToMenu;
        default: return kScreenNone;
    }
}

void GameScene::leaveForMenu() {
    ctx_.input.ScreenKind = kScreenMainMenu;
    ctx_.requestScene(kSceneMenu);
}

void GameScene::showRecords() {
    // The level's objects go; the records stand on the menu's backdrop.
    const Gameplay& game = session_->game();
    SceneObjectList& objects = *ctx_.sceneObjects;
    zone_->setHidden(true);
    for (const char* tag : {"balls", "land", "crystal", "shot_ball"}) objects.SetVisibleByTag(tag, false);
    objects.unload_by_tag("hiscores");
    // The records carry their own title; the mode's title from the menu would cover it.
    objects.unload_by_tag("game_type_text");
    for (const char* backdrop : {"graphics\\elements_gamezone\\space_background.spr",
                                 "graphics\\elements_gamezone\\dark_panel.spr",
                                 "graphics\\elements_gamezone\\menu_panel.spr"}) {
        TMultiSprite& made = objects.create(backdrop);
        made.tag = "hiscores";
    }
    scores_->prepare();
    const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr;
    scores_->OpenScoresScreen(game.mode, GameResult{player ? player->name : "Player", game.level,
                                                    game.score.totalScore});
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, 500, 250);
    overlayShownAt_ = ctx_.frame.gameClock;
    ctx_.input.pressedButton = -1;
}

void GameScene::leaveRecords() {
    const Gameplay& game = session_->game();
    scores_->close();
    // A game lost past a checkpoint offers to go back to it; anything else ends at the menu.
    if (!session_->gameWon() && game.mode != kModePuzzle && session_->saved().level > 4) {
        queue(command::ShowTryAgain{});
        return;
    }
    ctx_.sceneObjects->unload_by_tag("hiscores");
    queue(command::LeaveForMenu{});
}

void GameScene::setButtons(const std::string& tag, const std::vector<std::string>& names) {
    buttons_.clear();
    for (const std::string& name : names) {
        const int slot = ctx_.sceneObjects->FindSceneObject(name, 0, tag);
        if (slot < 0) ctx_.log.error(tag + " has no button \"" + name + "\"");
        buttons_.push_back(slot);
    }
}

void GameScene::showOverlay(const std::string& name) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    overlayShownAt_ = ctx_.frame.gameClock;
    ctx_.input.pressedButton = -1;
    if (name == "game_over") {
        objects.SetVisibleByTag("game_over", true);
        setButtons("game_over", {"panel_ok"});
        objects.unload_by_tag("game_over_text");
        // Lost past a checkpoint: the player learns the game goes on from there.
        const int checkpoint = session_->saved().level;
        if (session_->game().mode != kModePuzzle && checkpoint > 4)
            ShowTextFile(*ctx_.sceneObjects, "text\\game_over_checkpoint.txt", "game_over_text", std::to_string(checkpoint));
        else
            ShowTextFile(*ctx_.sceneObjects, "text\\game_over.txt", "game_over_text");
        ctx_.dialogFade->start({"game_over", "game_over_text"});
    } else if (name == "exit_to_menu") {
        objects.SetVisibleByTag("exit_to_menu", true);
        setButtons("exit_to_menu", {"panel_yes", "panel_no"});
        ctx_.dialogFade->start({"exit_to_menu"});
    } else if (name == "game_stat") {
        showStatistics();
    } else if (name == "try_again") {
        showTryAgain();
    }
}

void GameScene::hideOverlay(const std::string& name) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (name == "try_again") {
        objects.unload_by_tag("try_again");
        objects.unload_by_tag("try_again_puzzle");
        objects.unload_by_tag("game_type_text");
        zone_->setHidden(false);
    } else {
        objects.SetVisibleByTag(name, false);
        if (name == "game_stat") objects.SetVisibleByTag("game_stat_text", false);
        if (name == "game_over") objects.unload_by_tag("game_over_text");
    }
    buttons_.clear();
}

void GameScene::showStatistics() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    const Gameplay& game = session_->game();
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, 500, 250);
    objects.unload_by_tag("game_stat_text");
    objects.SetVisibleByTag("game_stat", true);
    setButtons("game_stat", {"panel_ok", "panel_menu"});
    const std::string level = std::to_string(game.level);
    const std::string total = std::to_string(game.score.totalScore);
    TMultiSprite* ok = objects.at(buttons_[0]);
    TMultiSprite* menu = objects.at(buttons_[1]);
    TMultiSprite* line = objects.at(objects.FindSceneObject("stat_poloska", 0, "game_stat"));
    switch (session_->statisticsKind()) {
        case StatisticsKind::kGameWon:
            ShowTextFile(*ctx_.sceneObjects, "text\\congratulations.txt", "game_stat_text");
            if (line) line->visible = 0;
            if (menu) menu->visible = 0;
            if (ok) ok->x = 352;
            break;
        case StatisticsKind::kBestShot:
            ShowTextFile(*ctx_.sceneObjects, "text\\stat_with_best_shot.txt", "game_stat_text",
                         level + "," + total + "," + std::to_string(game.score.bestShot));
            ShowTextFile(*ctx_.sceneObjects, "text\\best_combo.txt", "game_stat_text",
                         game.score.bestCombo > 0 ? std::to_string(game.score.bestCombo) : "NONE");
            if (line) line->visible = 0;
            break;
        case StatisticsKind::kNewItem: {
            ShowTextFile(*ctx_.sceneObjects, "text\\stat_with_bonus.txt", "game_stat_text", level + "," + total);
            if (line) line->y = 301;
            // The bonus's lines, a little smaller and wider apart than the figures, with room
            // for the ball that shows the bonus at their left.
            const char* font = "graphics\\fonts\\font_crystal1.spr";
            constexpr double kScale = 0.9, kTop = 314, kLeading = 19, kBallRoom = 44;
            double widest = 0;
            for (const std::string& text : game.levelValues.newBonusText)
                widest = std::max(widest, MeasureText(*ctx_.sceneObjects, text, font, kScale));
            int i = 0;
            for (const std::string& text : game.levelValues.newBonusText)
                create_txt(*ctx_.sceneObjects, text, 1010, font, 400 + kBallRoom / 2, kTop + kLeading * i++, kScale, 0xFFFFFF,
                           "game_stat_text", 2);
            const double lines = static_cast<double>(game.levelValues.newBonusText.size());
            const int item = game.levelValues.newBonus;
            const int kind = item == kBonusMultiball ? kCellMultiball
                             : item == kBonusColourBomb ? kCellColourBomb
                                                        : game.level % 7 + 1;
            TMultiSprite& picture = objects.create(cellArt(kind).prototype);
            picture.tag = "game_stat_text";
            picture.z = 1010;
            dressBall(picture, kind, kind == kCellColourBomb ? 4 : 0,
                      kind == kCellMultiball || kind == kCellColourBomb ? 0 : item);
            if (kind == kCellColourBomb && picture.sprites.size() >= 2) picture.sprites[1]->color = 0xFF0000;
            picture.x = 400 + kBallRoom / 2 - widest / 2 - kBallRoom;
            picture.y = kTop + kLeading * (std::max(lines, 1.0) - 1) / 2 + 7;
            break;
        }
    }
    ctx_.dialogFade->start({"game_stat", "game_stat_text"});
}

void GameScene::showTryAgain() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    const Gameplay& game = session_->game();
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, 500, 250);
    objects.unload_by_tag("hiscores");
    objects.SetVisibleByTag("game_over", false);
    objects.unload_by_tag("game_over_text");
    std::vector<std::string> tags;
    if (game.mode == kModePuzzle) {
        load_location_map(*ctx_.sceneObjects, "try_again_puzzle.map");
        ShowTextFile(*ctx_.sceneObjects, "text\\try_again_puzzle.txt", "try_again_puzzle");
        setButtons("try_again_puzzle", {"panel_ok", "panel_menu"});
        tags = {"try_again_puzzle"};
    } else {
        // A screen of its own: the zone goes behind it.
        zone_->setHidden(true);
        for (const char* backdrop : {"graphics\\elements_gamezone\\space_background.spr",
                                     "graphics\\elements_gamezone\\dark_panel.spr",
                                     "graphics\\elements_gamezone\\menu_panel.spr"}) {
            TMultiSprite& made = objects.create(backdrop);
            made.tag = "try_again";
        }
        load_location_map(*ctx_.sceneObjects, "try_again.map");
        ShowTextFile(*ctx_.sceneObjects, "text\\try_again.txt", "try_again");
        setButtons("try_again", {"panel_ok", "panel_menu"});
        tags = {"try_again"};
    }
    ShowTextFile(*ctx_.sceneObjects, modeTitle(game.mode), "game_type_text");
    tags.push_back("game_type_text");
    ctx_.dialogFade->start(tags);
}

void GameScene::hoverButtons() {
    InputState& in = ctx_.input;
    SceneObjectList& objects = *ctx_.sceneObjects;
    in.hoveredButton = -1;
    const GameState state = session_->state();
    TMultiSprite* small = objects.at(zone_->menuButton());
    if (state == kGamePlaying) {
        const bool over = overMenuButton(in.mouseX, in.mouseY);
        if (over) in.hoveredButton = 1;
        if (small && !small->sprites.empty())
            small->sprites[0]->animPos = over ? (in.pressedButton == 1 ? 2 : 1) : 0;
        return;
    }
    if (small && !small->sprites.empty()) small->sprites[0]->animPos = 0;
    if (state == kGameRecords) {
        scores_->UpdateScoresButtons(ctx_.frame.frameTick);
        return;
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
        TMultiSprite* button = objects.at(buttons_[i]);
        if (!button || !button->visible || button->sprites.empty()) continue;
        const int number = static_cast<int>(i) + 1;
        const bool over = objects.ObjectContainsPoint(*button, in.mouseX, in.mouseY, 0, 0, ctx_.prototypes->textures());
        if (over) in.hoveredButton = number;
        button->sprites[0]->animPos = over ? (in.pressedButton == number ? 2 : 1) : 0;
        button->sprites[0]->animSpeed = 0;
    }
}

void GameScene::HandleButtonRelease() {
    InputState& in = ctx_.input;
    int button = in.pressedButton;
    const Gameplay& game = session_->game();
    switch (in.ScreenKind) {
        case kScreenNone:
            // The small menu button while playing asks whether to leave.
            if (button == 1 && session_->state() == kGamePlaying) queue(command::OpenExitDialog{});
            break;
        case kScreenGameOver:
            if (button == 1) {
                hideOverlay("game_over");
                queue(command::ShowRecords{});
            }
            break;
        case kScreenStatistics:
            // After the last level the menu button is hidden: Escape then means OK.
            if (button == 2 && session_->gameWon()) button = 1;
            if (button == 1) {
                if (session_->gameWon()) queue(command::ShowRecords{});
                else queue(command::NextLevel{});
            } else if (button == 2) {
                hideOverlay("game_stat");
                queue(command::OpenExitDialog{});
            }
            break;
        case kScreenTryAgain:
            if (button == 1 || button == 2) {
                hideOverlay("try_again");
                in.ScreenKind = kScreenNone;
                if (button == 1) queue(command::TryAgain{});
                else if (game.mode == kModePuzzle) queue(command::ShowRecords{});
                else queue(command::LeaveForMenu{});
            }
            in.pressedButton = -1;
            break;
        case kScreenScores:
            if (scores_->release(button)) leaveRecords();
            break;
        case kScreenExitToMenu:
            if (button == 1) {
                in.ScreenKind = kScreenMainMenu;
                queue(command::LeaveForMenu{});
            } else if (button == 2) {
                queue(command::CloseExitDialog{});
            }
            break;
        default:
            break;
    }
    // A release by Enter or Escape must not fire again over another button.
    in.pressedButton = -1;
}

void GameScene::botMoves() {
    GameSession& session = *session_;
    InputState& in = ctx_.input;
    if (!queued_.empty()) return;
    Gameplay& game = session.game();
    const GameState state = session.state();
    // Like a player, the bot reads an overlay for a moment before it clicks on.
    const bool overlayRead = static_cast<int32_t>(ctx_.frame.gameClock - overlayShownAt_) >= kBotReadingMs;
    if ((state == kGameStatistics || state == kGameOverDialog || state == kGameTryAgain || state == kGameRecords) &&
        !overlayRead)
        return;
    if (state == kGameRecords) {
        in.pressedButton = 3;
        HandleButtonRelease();
        return;
    }
    if (state == kGameStatistics) {
        if (session.gameWon()) queue(command::ShowRecords{});
        else queue(command::NextLevel{});
        hideOverlay("game_stat");
        return;
    }
    if (state == kGameOverDialog) {
        hideOverlay("game_over");
        queue(command::ShowRecords{});
        return;
    }
    if (state == kGameTryAgain) {
        hideOverlay("try_again");
        queue(command::TryAgain{});
        return;
    }
    if (state != kGamePlaying || !session.cannonReady() || session.levelStartPending() || game.ball) return;
    if (session.fastDropping()) {
        queue(command::Fire{});
        return;
    }
    if (!session.mayFire()) return;
    game.aim.smoothTurn = false;
    if (!botSwapped_) {
        const BotChoice choice = chooseShot(game);
        botAngle_ = choice.angle;
        if (choice.swap) {
            botSwapped_ = true;
            queue(secondButton());
            return;
        }
    }
    botSwapped_ = false;
    setAimAngle(game.aim, botAngle_);
    game.updatePath();
    queue(command::Fire{});
}

void GameScene::UnloadSceneMain() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (burningChannel_ != 0) ctx_.audio->backend().stopChannel(static_cast<uint32_t>(burningChannel_));
    burningChannel_ = 0;
    for (int channel : levelChannels_) ctx_.audio->backend().stopChannel(static_cast<uint32_t>(channel));
    levelChannels_.clear();
    ctx_.session = nullptr;
    if (session_) session_->game().grid.setView(nullptr);
    field_.reset();
    dragons_.reset();
    if (zone_) zone_->clear();
    zone_.reset();
    session_.reset();
    for (const char* tag : {"main", "font_score", "font_level", "poloska", "planka", "bonus_icon", "rocket",
                            "crystal_st", "trasser", "cannon_ball", "shot_ball", "balls", "land", "crystal", "mode_panel",
                            "game_over", "game_over_text", "game_stat", "game_stat_text", "game_type_text", "exit_to_menu",
                            "try_again", "try_again_puzzle", "hiscores"})
        objects.unload_by_tag(tag);
    scores_->close();
    ctx_.particles->FreeAll();
    ctx_.hooks.HandleButtonRelease = nullptr;
    ctx_.hooks.command = nullptr;
    queued_.clear();
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, 500, 250);
    ctx_.frame.sceneLive = false;
}

}  // namespace qs
