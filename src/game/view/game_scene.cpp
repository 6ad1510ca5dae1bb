#include "game/view/game_scene.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "audio/audio.h"
#include "audio/audio_backend.h"
#include "core/scene_codes.h"
#include "game/bot.h"
#include "game/game_session.h"
#include "game/replay_folder.h"
#include "game/view/dragons.h"
#include "game/view/exit_overlay.h"
#include "game/view/field_view.h"
#include "game/view/game_over_overlay.h"
#include "game/view/game_zone.h"
#include "game/view/hud_layout.h"
#include "game/view/player_progress.h"
#include "game/view/records_overlay.h"
#include "game/view/statistics_overlay.h"
#include "game/view/try_again_overlay.h"
#include "profile/player_store.h"
#include "profile/records_store.h"
#include "render/key_codes.h"
#include "render/platform.h"
#include "scene/location_map.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "ui/focus.h"
#include "ui/scene_services.h"

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

// How long the bot looks at an overlay before it clicks on.
constexpr int32_t kBotReadingMs = 1500;


}  // namespace

GameScene::GameScene(SceneServices& context) : ctx_(context) {}
GameScene::~GameScene() {
    // A run stopped in mid-game (a headless run's time limit, the window closed) keeps its replay.
    if (replay_ && session_) replay_->save(ctx_.log, *session_);
}

void GameScene::StartSceneMain() {
    ctx_.WriteLog("StartSceneMain");
    ctx_.ReadOptions();
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
    random_ = std::make_unique<Random>();
    replay_ = std::make_unique<ReplayKeeper>();
    session_ = std::make_unique<GameSession>(ctx_.options, ctx_.comboTexts, *random_, ctx_.files, ctx_.log,
                                             *progress_);
    session_->setView(field_.get());
    ctx_.session = session_.get();

    overlayContext_ = std::make_unique<OverlayContext>(OverlayContext{
        ctx_, *zone_, [this]() -> const GameSession& { return *session_; },
        [this](GameCommand command) { queue(std::move(command)); }});
    overlays_ = std::make_unique<ScreenTable>();
    overlays_->add(std::make_unique<GameOverOverlay>(*overlayContext_));
    overlays_->add(std::make_unique<StatisticsOverlay>(*overlayContext_));
    overlays_->add(std::make_unique<TryAgainOverlay>(*overlayContext_));
    overlays_->add(std::make_unique<ExitOverlay>(*overlayContext_));
    overlays_->add(std::make_unique<RecordsOverlay>(*overlayContext_));
    shown_ = nullptr;
    bot_ = Bot{};

    ctx_.hooks.HandleButtonRelease = [this] { HandleButtonRelease(); };
    ctx_.hooks.keyButton = [this](int key) {
        return keyButtonOf(overlays_->find(ctx_.input.ScreenKind), key, ctx_.input.focusedButton);
    };
    ctx_.hooks.command = [this](const InputCommand& command) { return take(command); };
}

bool GameScene::take(const InputCommand& command) {
    if (!session_) return false;
    if (const auto* up = std::get_if<input::KeyUp>(&command)) {
        if (up->code == kVkLeft || up->code == kVkRight) keyAim_.release(up->code == kVkLeft ? -1 : 1);
        return true;
    }
    if (const auto* key = std::get_if<input::Key>(&command)) {
        takeKey(*key);
        return true;
    }
    // A press is a shot only in play, and not on the small menu button.
    const int button = std::get<input::Press>(command).button;
    if (session_->state() != kGamePlaying || ctx_.input.hoveredButton != -1) return true;
    if (button == 1) queue(command::Fire{});
    else queue(session_->secondButton());
    return true;
}

void GameScene::takeKey(const input::Key& key) {
    InputState& in = ctx_.input;
    // Over an overlay the arrows move between its buttons (Enter and Escape are its buttons).
    if (Screen* overlay = overlays_->find(in.ScreenKind)) {
        if (const int step = focusStep(key); step != 0 && moveFocus(in, overlay, step)) return;
    }
    switch (key.code) {
        case kVkEscape: queue(command::Escape{}); break;
        case kVkReturn: queue(command::Hurry{}); break;
        case kVkSpace:
        case kVkUp: queue(command::Fire{}); break;
        case kVkDown:
        case kVkTab: queue(command::Swap{}); break;
        case kVkR: queue(command::FireRocket{}); break;
        case kVkLeft:
        case kVkRight:
            // The keys own the aim now: the pointer stays put (and hidden) until the mouse moves.
            in.keysOwnPointer = true;
            keyAim_.press(key.code == kVkLeft ? -1 : 1, (key.mods & kShiftShift) != 0, ctx_.frame.gameClock);
            break;
        default: break;
    }
}

void GameScene::setUp() {
    // The first frame of a game.
    GameOptions& options = ctx_.options;
    if (ctx_.startLevel > 0) options.beg_level = ctx_.startLevel;
    // The game's seed comes from the run's: a run with a fixed seed plays the same games, its
    // first game drawing the field the run's seed always drew, and each game after it another.
    const uint32_t seed = ctx_.random.seed() + gamesBegun_++ * 0x9E3779B9u;
    random_->reseed(seed);
    session_->beginGame(ctx_.selectedMode, ctx_.frame.gameClock);
    const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr;
    beginGameReplay(*replay_, ctx_.files, options, *session_, seed, player ? player->name : std::string(), ctx_.log);
    if (!ctx_.records) ctx_.openRecords();
    const RecordsView best = ctx_.records ? ctx_.records->table(ctx_.selectedMode) : RecordsView{};
    zone_->showModePanel(ctx_.selectedMode, best.rows.empty() ? std::string() : best.rows.front().score);
    ctx_.startLevel = 0;
    ctx_.audio->PlaySound(ctx_.audio->FindSound("sample_game_begin"));
    ctx_.input.pressedButton = -1;
    queued_.clear();
    // Arrows held when the last game ended turn nothing in this one.
    keyAim_ = KeyAim{};
    // The new session learns where the pointer is at its first step.
    pointerX_ = std::numeric_limits<int>::min();
}

bool GameScene::setUpUpdate() {
    if (ctx_.frame.sceneChangeRequest != 0 || !session_) return false;
    ctx_.readPointer(true);
    setUp();
    return true;
}

void GameScene::UpdateSceneMain() {
    FrameState& frame = ctx_.frame;
    if (frame.sceneChangeRequest != 0 || !session_) return;
    ctx_.readPointer(true);
    ctx_.dialogFade->update();
    dragons_->update(frame.gameClock, *session_);
    keepFocus(ctx_.input, overlays_->find(ctx_.input.ScreenKind));
    hoverButtons();
    if (ctx_.bot) botMoves();

    InputState& in = ctx_.input;
    // The pointer aims the cannon while the mouse has it, the arrows while they are held; the
    // bot aims by itself.
    if (!ctx_.bot && !in.keysOwnPointer && (in.mouseX != pointerX_ || in.mouseY != pointerY_)) {
        pointerX_ = in.mouseX;
        pointerY_ = in.mouseY;
        queue(command::Pointer{pointerX_, pointerY_});
    }
    // The arrows' clock runs on through dialogs, so a key still held turns on from where it was.
    const std::optional<double> keyAngle = keyAim_.turn(session_->game().aim.aimAngle, frame.gameClock);
    if (keyAngle && !ctx_.bot && session_->state() == kGamePlaying) queue(command::AimAngle{*keyAngle});
    std::vector<GameCommand> commands;
    commands.swap(queued_);
    session_->step(frame.gameClock, commands);
    replay_->recordStep(frame.gameClock, commands, *session_);
    // Score pieces fly to the end of the gauge as it is shown.
    ctx_.particles->gaugeTarget = {hud::kGaugeLeft + session_->shownProgress(), hud::kGaugeTop};
    if (ctx_.particles->pieceArrived) {
        ctx_.particles->pieceArrived = false;
        queue(command::ScorePieceArrived{});
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
        saveReplayOn(event);
        switch (event.type) {
            case GameEvent::kDragonsJoy: dragons_->setMood(Dragons::kJoy); break;
            case GameEvent::kCannonFired: zone_->cannonFired(); break;
            case GameEvent::kLevelStarted: {
                dragons_->start(ctx_.frame.gameClock);
                const bool puzzle = game.mode == kModePuzzle;
                if (!puzzle && game.level % 2 == 0) audio.arcadeAltStart = true;
                audio.RequestMusic(puzzle ? audio.musicPuzzle : audio.musicArcade, hud::kMusicFadeOutMs, hud::kMusicFadeInMs);
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
            case GameEvent::kShowOverlay: show(overlayKind(static_cast<Overlay>(event.value))); break;
            case GameEvent::kHideOverlay: hide(overlayKind(static_cast<Overlay>(event.value))); break;
            case GameEvent::kShowRecords: show(kScreenScores); break;
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

ScreenKind overlayKind(Overlay overlay) {
    switch (overlay) {
        case Overlay::kGameOver: return kScreenGameOver;
        case Overlay::kStatistics: return kScreenStatistics;
        case Overlay::kExitToMenu: return kScreenExitToMenu;
        case Overlay::kTryAgain: return kScreenTryAgain;
    }
    return kScreenNone;
}

void GameScene::show(ScreenKind kind) {
    Screen* screen = overlays_->find(kind);
    if (!screen) return;
    overlayShownAt_ = ctx_.frame.gameClock;
    ctx_.input.pressedButton = -1;
    screen->enter();
    shown_ = screen;
}

void GameScene::hide(ScreenKind kind) {
    Screen* screen = overlays_->find(kind);
    if (!screen) return;
    screen->leave();
    if (shown_ == screen) shown_ = nullptr;
}

void GameScene::hoverButtons() {
    InputState& in = ctx_.input;
    SceneObjectList& objects = *ctx_.sceneObjects;
    in.hoveredButton = -1;
    const GameState state = session_->state();
    TMultiSprite* small = objects.at(zone_->menuButton());
    if (state == kGamePlaying) {
        const bool over = hud::overMenuButton(in.mouseX, in.mouseY);
        if (over) in.hoveredButton = 1;
        if (small && !small->sprites.empty())
            small->sprites[0]->animPos = over ? (in.pressedButton == 1 ? 2 : 1) : 0;
        return;
    }
    if (small && !small->sprites.empty()) small->sprites[0]->animPos = 0;
    if (state == kGameRecords) {
        overlays_->find(kScreenScores)->hover(ctx_.frame.frameTick);
        return;
    }
    if (shown_) shown_->hover(ctx_.frame.frameTick);
}

void GameScene::HandleButtonRelease() {
    InputState& in = ctx_.input;
    const int button = in.pressedButton;
    if (in.ScreenKind == kScreenNone) {
        // The small menu button while playing asks whether to leave.
        if (button == 1 && session_->state() == kGamePlaying) queue(command::OpenExitDialog{});
    } else if (Screen* screen = overlays_->find(in.ScreenKind)) {
        screen->release(button);
    }
    // A release by Enter or Escape must not fire again over another button.
    in.pressedButton = -1;
}

void GameScene::botMoves() {
    // Like a player, the bot waits for what it (or anyone) asked for to be done.
    const bool pending = std::any_of(queued_.begin(), queued_.end(), [](const GameCommand& command) {
        return !std::holds_alternative<command::ScorePieceArrived>(command);
    });
    if (pending) return;
    const GameSession& session = *session_;
    // Like a player, the bot reads an overlay for a moment before it clicks on.
    if (const int button = Bot::overlayButton(session)) {
        if (static_cast<int32_t>(ctx_.frame.gameClock - overlayShownAt_) < kBotReadingMs) return;
        ctx_.input.pressedButton = button;
        HandleButtonRelease();
        return;
    }
    for (GameCommand& command : bot_.play(session)) queue(std::move(command));
}

// The replay is written at every level start and whenever the game ends (lost, won, left):
// a crash or a kill loses at most the level under way.
void GameScene::saveReplayOn(const GameEvent& event) {
    const bool won = event.type == GameEvent::kShowOverlay && session_->gameWon();
    if (event.type == GameEvent::kLevelStarted || event.type == GameEvent::kGameLost ||
        event.type == GameEvent::kLeaveForMenu || won)
        replay_->save(ctx_.log, *session_);
}

void GameScene::UnloadSceneMain() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (replay_ && session_) replay_->save(ctx_.log, *session_);
    replay_.reset();
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
    if (overlays_) overlays_->find(kScreenScores)->leave();
    shown_ = nullptr;
    ctx_.particles->FreeAll();
    ctx_.hooks.HandleButtonRelease = nullptr;
    ctx_.hooks.keyButton = nullptr;
    ctx_.hooks.command = nullptr;
    queued_.clear();
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, hud::kMusicFadeOutMs, hud::kMusicFadeInMs);
}

}  // namespace qs
