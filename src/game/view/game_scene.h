#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/scene_codes.h"
#include "game/bot.h"
#include "game/view/key_aim.h"
#include "game/game_command.h"
#include "game/game_events.h"
#include "ui/input_command.h"
#include "ui/scene.h"
#include "ui/screen.h"

namespace qs {

class SceneServices;
class DialogFade;
class Dragons;
class FieldView;
class GameSession;
class GameZone;
class PlayerProgress;
class ProgressStore;
class Random;
class ReplayKeeper;
struct OverlayContext;
struct GameEvent;

// The screen a game's state puts up: an overlay's, the records', the main menu once the
// player chose to leave, none while playing.
ScreenKind screenKindOf(const GameSession& session);
// The screen kind of an overlay the session puts up.
ScreenKind overlayKind(Overlay overlay);

// The game scene: one game of arcade, challenge or puzzle from level start to game over. The
// rules live in the session; this scene shows them (zone, field, overlays), routes the input
// and the overlays' buttons to it, and hands back to the menu.
class GameScene final : public Scene {
public:
    explicit GameScene(SceneServices& context);
    ~GameScene() override;

    void StartSceneMain();
    void UpdateSceneMain();
    void UnloadSceneMain();

    void start() override { StartSceneMain(); }
    bool setUpUpdate() override;
    void update() override { UpdateSceneMain(); }
    void unload() override { UnloadSceneMain(); }

    const GameSession* session() const { return session_.get(); }
    // Tools and benchmarks set up a game's state through the session itself.
    GameSession* session() { return session_.get(); }

private:
    void setUp();
    void HandleButtonRelease();
    // A press or key from the window: queued for the next step as the game's commands.
    bool take(const InputCommand& command);
    void takeKey(const input::Key& key);
    void queue(GameCommand command) { queued_.push_back(std::move(command)); }
    void playSessionEvents();
    // Puts an overlay (or the records) up and takes it down again.
    void show(ScreenKind kind);
    void hide(ScreenKind kind);
    void hoverButtons();
    void botMoves();
    void leaveForMenu();

    SceneServices& ctx_;
    std::unique_ptr<ProgressStore> progress_;
    std::unique_ptr<GameSession> session_;
    std::unique_ptr<GameZone> zone_;
    std::unique_ptr<FieldView> field_;
    std::unique_ptr<Dragons> dragons_;
    // The overlays, found by their screen kind, and the one last put up.
    std::unique_ptr<OverlayContext> overlayContext_;
    std::unique_ptr<ScreenTable> overlays_;
    Screen* shown_ = nullptr;
    Bot bot_;
    std::vector<int> levelChannels_;
    int burningChannel_ = 0;
    uint32_t overlayShownAt_ = 0;
    // The commands for the next step, and the pointer position last handed on.
    std::vector<GameCommand> queued_;
    int pointerX_ = -1000;
    int pointerY_ = 0;
    // The arrows' hold on the cannon.
    KeyAim keyAim_;

    // The game's own generator, seeded afresh for each game: the particles' draws (which
    // follow the frames) never reach the rules, so the seed and the steps give the game.
    std::unique_ptr<Random> random_;
    uint32_t gamesBegun_ = 0;
    // Every game leaves a replay in the user folder.
    std::unique_ptr<ReplayKeeper> replay_;
    void saveReplayOn(const GameEvent& event);
};

}  // namespace qs
