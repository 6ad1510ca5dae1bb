#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/scene_codes.h"
#include "game/game_command.h"
#include "ui/input_command.h"
#include "ui/scene.h"

namespace qs {

class SceneServices;
class DialogFade;
class Dragons;
class FieldView;
class GameSession;
class GameZone;
class PlayerProgress;
class ProgressStore;
class ScoresScreen;
struct GameEvent;

// The screen a game's state puts up: an overlay's, the records', the main menu once the
// player chose to leave, none while playing.
ScreenKind screenKindOf(const GameSession& session);

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
    void queue(GameCommand command) { queued_.push_back(command); }
    GameCommand secondButton() const;
    void playSessionEvents();
    void showOverlay(const std::string& name);
    void hideOverlay(const std::string& name);
    void showStatistics();
    void showTryAgain();
    void hoverButtons();
    void setButtons(const std::string& tag, const std::vector<std::string>& names);
    void botMoves();
    void leaveForMenu();
    void showRecords();
    void leaveRecords();

    SceneServices& ctx_;
    std::unique_ptr<ProgressStore> progress_;
    std::unique_ptr<GameSession> session_;
    std::unique_ptr<GameZone> zone_;
    std::unique_ptr<FieldView> field_;
    std::unique_ptr<Dragons> dragons_;
    std::unique_ptr<ScoresScreen> scores_;
    std::vector<int> buttons_;  // the open overlay's buttons, 1-based by position
    std::vector<int> levelChannels_;
    int burningChannel_ = 0;
    uint32_t overlayShownAt_ = 0;
    // The commands for the next step, and the pointer position last handed on.
    std::vector<GameCommand> queued_;
    int pointerX_ = -1000;
    int pointerY_ = 0;
    bool botSwapped_ = false;
    double botAngle_ = 0;
};

}  // namespace qs
