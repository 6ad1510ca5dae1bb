#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/platform.h"
#include "render/render_pass.h"
#include "ui/scene.h"

namespace qs {

class Context;
class MenuScene;

inline constexpr const char* kWindowTitle = "Quibblestar";
inline constexpr int64_t kStepCost = 267;
inline constexpr int kSpriteMoveCount = 16;

// The program's main window: start-up, the frame loop with its fixed-rate scene steps,
// scene switching and the focus changes. It receives the window's events.
class TMainForm final : public PlatformEvents {
public:
    // The scenes default to the menu and the game; tests hand in their own.
    explicit TMainForm(Context& context, std::unique_ptr<Scene> menu = nullptr,
                       std::unique_ptr<Scene> game = nullptr);
    ~TMainForm() override;

    void FormCreate();
    void StartProgram();

    // One tick of the frame timer: the game's frame, then its picture.
    void TimerTick();
    bool AdvanceFrame();
    void RenderFrame();

    void SetScene(uint8_t scene);
    void LeaveScene();
    void FullScreenChange();

    void AppActivate();
    void AppDeactivate();
    void AppRestore();
    void AppMinimize() { AppDeactivate(); }

    // Called after every creation of the picture device: the texture pages come back here.
    void InitDeviceObjects();

    bool quitRequested() const;
    void requestQuit() { quitRequested_ = true; }
    uint64_t spriteMoves() const { return spriteMoves_; }
    const RenderPassStats& lastPass() const { return lastPass_; }
    double framesPerSecond() const { return framesPerSecond_; }
    // The game's own menu scene (null when the form was handed other scenes).
    MenuScene* menuScene() const { return menuScene_; }

    // PlatformEvents: the window's handlers.
    void onKeyDown(int virtualKey, uint8_t shift) override;
    void onKeyUp(int virtualKey) override;
    void onMouseDown(int button) override;
    void onMouseUp(int button) override;
    void onMouseMove() override;
    void onDeactivate() override;
    void onActivate() override;
    void onMinimize() override;
    void onRestore() override;
    void onDeviceReset() override;
    void onToggleFullscreen() override;
    void onQuit() override { quitRequested_ = true; }

private:
    void loadFirstFrame();
    void dispatchScene();
    void dispatchSceneSteps();
    void runStepLoop(Scene& scene);
    void moveSprites();
    void countFrameRate();
    void applyDisplayMode(bool fullscreen);
    Scene* sceneFor(uint8_t id);

    Context& ctx_;
    std::unique_ptr<Scene> menu_;
    // The menu when it is the program's own (tests hand in scenes of their own): it is handed
    // the content its loading phase loads.
    MenuScene* menuScene_ = nullptr;
    std::unique_ptr<Scene> game_;
    bool frameworkReady_ = false;
    bool quitRequested_ = false;
    uint64_t spriteMoves_ = 0;
    RenderPassStats lastPass_;
    uint32_t fpsStart_ = 0;
    uint32_t fpsFrames_ = 0;
    double framesPerSecond_ = 0;
};

}  // namespace qs
