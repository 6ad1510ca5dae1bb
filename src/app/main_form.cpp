#include "app/main_form.h"

#include "app/comma_fields.h"
#include "app/context.h"
#include "app/text_util.h"
#include "game/game_scene.h"
#include "menu/menu_scene.h"

namespace qs {

TMainForm::TMainForm(Context& context, std::unique_ptr<Scene> menu, std::unique_ptr<Scene> game)
    : ctx_(context), menu_(std::move(menu)), game_(std::move(game)) {
    if (!menu_) menu_ = std::make_unique<MenuScene>(ctx_);
    if (!game_) game_ = std::make_unique<GameScene>(ctx_);
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
    readComboTexts();
    StartProgram();
}

void TMainForm::readComboTexts() {
    const char* name = "text\\combo.txt";
    ctx_.comboTexts.clear();
    std::optional<std::string> text = ctx_.files.readContent(name);
    if (!text) {
        ctx_.log.error(std::string(name) + " is missing: no combo texts will be shown");
        return;
    }
    int lineNumber = 0;
    for (const std::string& raw : splitLines(*text)) {
        ++lineNumber;
        std::string line = cutLine(raw);
        if (trim(line).empty()) continue;
        std::optional<int> threshold = parseInt(GetCommaField(line, 1));
        if (!threshold) {
            ctx_.log.error(std::string(name) + " line " + std::to_string(lineNumber) +
                           ": the threshold \"" + GetCommaField(line, 1) +
                           "\" is not a whole number; line skipped");
            continue;
        }
        ctx_.comboTexts.push_back({*threshold, GetCommaField(line, 2)});
    }
}

void TMainForm::StartProgram() {
    FrameState& frame = ctx_.frame;
    frame.frameReady = false;
    // The options come first so that the start of the run reaches the log when it is on.
    frame.frameTick = ctx_.clock().now();
    ctx_.ReadOptions();
    ctx_.WriteLog("====");
    ctx_.WriteLog("start program");

    frameworkReady_ = true;
    InitDeviceObjects();
    ctx_.WriteLog("FullScreenChange");
    applyDisplayMode(ctx_.options.fullscreen);
}

void TMainForm::InitDeviceObjects() { ctx_.WriteLog("InitDeviceObjects"); }

void TMainForm::applyDisplayMode(bool fullscreen) {
    Platform& platform = ctx_.platform();
    if (platform.isFullscreen() != fullscreen) {
        if (platform.setFullscreen(fullscreen))
            InitDeviceObjects();
        else
            ctx_.log.error(fullscreen ? "cannot switch to full screen" : "cannot leave full screen");
    }
    ctx_.options.fullscreen = platform.isFullscreen();
    if (!platform.isFullscreen()) platform.centreWindow();
}

void TMainForm::FullScreenChange() {
    if (!frameworkReady_) return;
    applyDisplayMode(!ctx_.platform().isFullscreen());
}

void TMainForm::TimerTick() {
    if (!frameworkReady_) return;
    AdvanceFrame();
    RenderFrame();
}

bool TMainForm::AdvanceFrame() {
    FrameState& frame = ctx_.frame;
    if (frame.frameBusy || frame.renderBusy) return true;
    frame.frameBusy = true;
    frame.renderSkipped = true;
    ++frame.framesRun;

    if (frame.firstFrame) loadFirstFrame();
    if (!frame.frameReady) {
        frame.frameBusy = false;
        return true;
    }

    // The music fades advance here.

    if (frame.sceneChangeRequest != 0) {
        SetScene(frame.sceneChangeRequest);
        frame.sceneChangeRequest = 0;
    }

    frame.frameTick = ctx_.clock().now();
    if (!frame.paused) {
        if (frame.previousPaused) frame.pausedTotal += frame.frameTick - frame.pauseStart;
        frame.gameClock = frame.frameTick - frame.pausedTotal;
    }
    frame.previousPaused = frame.paused;

    // The hover sound and the sample volume come back here while active.
    frame.previousHovered = ctx_.input.hoveredButton;

    dispatchScene();

    const GameOptions& options = ctx_.options;
    bool capped = options.no_sync == 0 && !options.wait_vblank &&
                  static_cast<int32_t>(frame.frameTick - frame.nextRenderTime) < 0;
    if (capped || !frame.sceneLive) {
        frame.frameBusy = false;
        return true;
    }
    frame.renderSkipped = false;
    if (options.fps_max > 0) frame.nextRenderTime = frame.frameTick + options.frameInterval;

    if (frame.sceneSetupState == 1) {
        frame.stepsAllowed = true;
        frame.sceneSetupState = 2;
        frame.stepStart = frame.frameTick;
        frame.gameClock = frame.stepStart;
        frame.paused = false;
        frame.previousPaused = false;
        frame.pausedTotal = 0;
        frame.stepBudget = 0;
        if (Scene* scene = sceneFor(frame.currentScene)) scene->onStepsStarted();
    }
    frame.frameBusy = false;
    return true;
}

void TMainForm::loadFirstFrame() {
    FrameState& frame = ctx_.frame;
    // The loading screen, the logo, the loading bar, the audio start and the resource
    // lists are loaded here by their subsystems.
    frame.frameReady = true;
    frame.appActive = true;
    frame.previousHovered = -1;
    SetScene(kSceneMenu);
    frame.firstFrame = false;
}

Scene* TMainForm::sceneFor(uint8_t id) {
    if (id == kSceneMenu) return menu_.get();
    if (id == kSceneGame) return game_.get();
    return nullptr;
}

void TMainForm::dispatchScene() {
    FrameState& frame = ctx_.frame;
    if (!frame.sceneLive) return;
    const bool loading = frame.loadIndex < static_cast<int>(frame.LoadList.size());
    if (frame.currentScene == kSceneGame) {
        if (frame.sceneSetupState == 0) {
            game_->update();
            moveSprites();
            frame.stepsAllowed = false;
        }
        if (frame.sceneSetupState == 2 && frame.frameTick > frame.stepStart)
            runStepLoop(*game_, false);
    } else if (frame.currentScene == kSceneMenu) {
        if (frame.sceneSetupState == 0) {
            menu_->update();
            frame.stepsAllowed = false;
            // The intro and the loading phase advance by two updates a frame.
            if (frame.sceneSetupState == 0 && loading) {
                menu_->update();
                moveSprites();
                return;
            }
        }
        if (frame.sceneSetupState == 2 && frame.frameTick > frame.stepStart)
            runStepLoop(*menu_, true);
    }
}

void TMainForm::runStepLoop(Scene& scene, bool menu) {
    FrameState& frame = ctx_.frame;
    const int64_t elapsed = static_cast<int64_t>(frame.frameTick - frame.stepStart);
    while (ctx_.options.move_cnt > frame.stepBudget / elapsed) {
        // A switch asked for by an earlier step stops the rest of this frame's steps.
        bool switching = frame.sceneChangeRequest != 0;
        bool loading = frame.loadIndex < static_cast<int>(frame.LoadList.size());
        bool runnable = frame.sceneSetupState == 2 || (menu && loading);
        if (frame.stepsAllowed && runnable && !switching) {
            scene.update();
            ++frame.sceneStepsRun;
        }
        if (frame.stepsAllowed && frame.sceneSetupState != 0 && frame.sceneChangeRequest == 0)
            moveSprites();
        frame.stepBudget += kStepCost;
    }
}

void TMainForm::moveSprites() {
    // The sprite engine moves every sprite by kSpriteMoveCount here.
    ++spriteMoves_;
}

void TMainForm::RenderFrame() {
    FrameState& frame = ctx_.frame;
    if (!frame.appActive || frame.frameBusy || frame.renderBusy || frame.renderSkipped) return;
    frame.renderBusy = true;
    RenderDevice& device = ctx_.platform().device();
    device.clear();
    device.present();
    ++frame.framesRendered;
    frame.renderBusy = false;
}

void TMainForm::SetScene(uint8_t scene) {
    LeaveScene();
    ctx_.frame.currentScene = scene;
    if (Scene* next = sceneFor(scene)) next->start();
}

void TMainForm::LeaveScene() {
    if (Scene* current = sceneFor(ctx_.frame.currentScene)) current->unload();
}

void TMainForm::AppDeactivate() {
    FrameState& frame = ctx_.frame;
    ctx_.WriteLog("appdeactivate...");
    frame.appActive = false;
    if (frame.currentScene == kSceneGame && frame.sceneLive && !frame.paused) {
        frame.paused = true;
        frame.pauseStart = frame.frameTick;
    }
    ctx_.platform().showSystemCursor(true);
    // The music stops at a remembered position and the samples fall silent here.
}

void TMainForm::AppRestore() {
    FrameState& frame = ctx_.frame;
    if (ctx_.platform().isFullscreen()) InitDeviceObjects();
    if (frame.currentScene == kSceneGame && frame.sceneLive && frame.paused) frame.paused = false;
    // The music fades back in from where it stopped here.
    frame.appActive = true;
}

void TMainForm::AppActivate() {
    ctx_.WriteLog("appactivate...");
    ctx_.WriteLog("active...");
    AppRestore();
}

void TMainForm::onDeactivate() {
    if (ctx_.frame.frameReady && ctx_.frame.appActive) AppDeactivate();
}

void TMainForm::onMinimize() {
    if (ctx_.frame.frameReady && ctx_.frame.appActive) AppMinimize();
}

void TMainForm::onActivate() {
    if (ctx_.frame.frameReady && !ctx_.frame.appActive) AppActivate();
}

void TMainForm::onRestore() {
    if (ctx_.frame.frameReady && !ctx_.frame.appActive) AppRestore();
}

void TMainForm::onDeviceReset() { InitDeviceObjects(); }

void TMainForm::onToggleFullscreen() {
    FullScreenChange();
    ctx_.WriteOptionValue("fullscreen", ctx_.platform().isFullscreen() ? "1" : "0");
}

void TMainForm::onKeyDown(int virtualKey, uint8_t shift) {
    if (!ctx_.frame.appActive) return;
    InputState& input = ctx_.input;
    input.keyCode = static_cast<uint16_t>(virtualKey);
    input.shiftState = shift;
    input.SceneCommand = 1;
}

void TMainForm::onMouseDown(int) {}
void TMainForm::onMouseUp(int) {}
void TMainForm::onMouseMove() {}

}  // namespace qs
