#include "app/main_form.h"

#include <cmath>
#include <cstdio>

#include "app/context.h"
#include "app/load_list.h"
#include "audio/audio.h"
#include "core/comma_fields.h"
#include "core/cpu_time.h"
#include "core/text_util.h"
#include "game/combo_table.h"
#include "game/view/game_scene.h"
#include "menu/menu_scene.h"
#include "render/render_pass.h"
#include "scene/scene_object_list.h"
#include "visual/object_3d.h"
#include "visual/object_3d_pass.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace qs {

namespace {

// The pointer's layer and above: drawn after the 3D models, so nothing covers the pointer.
constexpr int kPointerLayer = 2000;

}  // namespace

TMainForm::TMainForm(Context& context, std::unique_ptr<Scene> menu, std::unique_ptr<Scene> game)
    : ctx_(context), menu_(std::move(menu)), game_(std::move(game)) {
    if (!menu_) {
        auto menuScene = std::make_unique<MenuScene>(ctx_);
        menuScene_ = menuScene.get();
        menu_ = std::move(menuScene);
    }
    if (!game_) game_ = std::make_unique<GameScene>(ctx_);
    ctx_.switchDisplayMode = [this] { FullScreenChange(); };
}

bool TMainForm::quitRequested() const { return quitRequested_ || ctx_.frame.closeRequested; }

TMainForm::~TMainForm() { ctx_.switchDisplayMode = nullptr; }

void TMainForm::FormCreate() {
    ctx_.comboTexts = readComboTable(ctx_.files, ctx_.log);
    StartProgram();
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

void TMainForm::InitDeviceObjects() {
    ctx_.WriteLog("InitDeviceObjects");
    // The tile format is settled once per run, from the options read at start-up.
    ctx_.prototypes->textures().choosePixelFormat(ctx_.options.textures16bit);
    // Mesh textures first, then the pages.
    if (!ctx_.prototypes->meshes().restoreTextures(ctx_.platform().device()))
        ctx_.log.error("some mesh textures could not be rebuilt");
    // Every page the device lost is made again and its tiles cut anew from the image files;
    // a page that cannot be made again leaves its tiles undrawn, and the frame goes on.
    if (!ctx_.prototypes->restorePages())
        ctx_.log.error("some texture pages could not be rebuilt");
}

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

    ctx_.audio->AdvanceMusicFades();

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

    if (frame.appActive) {
        if (frame.previousHovered == -1 && ctx_.input.hoveredButton != -1)
            ctx_.audio->PlaySound(ctx_.audio->FindSound("sample_mouse_over_button"));
        ctx_.audio->restoreSampleFocus();
    }
    frame.previousHovered = ctx_.input.hoveredButton;

    dispatchScene();

    const GameOptions& options = ctx_.options;
    bool capped = options.no_sync == 0 && !options.wait_vblank && frame.frameCapHolds &&
                  static_cast<int32_t>(frame.frameTick - frame.nextRenderTime) < 0;
    if (capped || !frame.sceneLive) {
        frame.frameBusy = false;
        return true;
    }
    frame.renderSkipped = false;
    if (options.fps_max > 0) frame.nextRenderTime = frame.frameTick + options.frameInterval;

    if (frame.sceneSetupState == kSetupDone) {
        frame.stepsAllowed = true;
        frame.sceneSetupState = kSetupRunning;
        frame.stepStart = frame.frameTick;
        frame.gameClock = frame.stepStart;
        frame.paused = false;
        frame.previousPaused = false;
        frame.pausedTotal = 0;
        frame.stepBudget = 0;
    }
    frame.frameBusy = false;
    return true;
}

void TMainForm::loadFirstFrame() {
    FrameState& frame = ctx_.frame;
    SceneObjectList& objects = *ctx_.sceneObjects;

    // The loading screen, under the menu's logo and loading bar.
    const double started = threadCpuMs();
    std::vector<ListEntry> loading;
    ReadLoadList(loading, "loading", false, ctx_.files, ctx_.log);
    for (const ListEntry& entry : loading) {
        const std::string& text = entry.text;
        std::string file = text.find(", ") != std::string::npos ? trim(GetCommaField(text, 2)) : text;
        Log::Scope place(ctx_.log, entry.where());
        objects.create(file).tag = "loading";
    }
    ctx_.WriteLog("the loading screen: " + std::to_string(std::lround(threadCpuMs() - started)) +
                  " ms of processor time");

    // Sound: the music is loaded at once, the rest of the content by the menu's loading phase.
    Audio& audio = *ctx_.audio;
    audio.initAudio();
    std::vector<ListEntry> music;
    ReadLoadList(music, "music.ini", false, ctx_.files, ctx_.log);
    for (const ListEntry& entry : music) ctx_.prototypes->LoadResourceEntry(entry);
    std::vector<ListEntry> content;
    ReadLoadList(content, "main", false, ctx_.files, ctx_.log);
    ReadLoadList(content, "sound.ini", true, ctx_.files, ctx_.log);
    if (menuScene_) menuScene_->takeLoadList(std::move(content));
    audio.findMusicHandles();

    frame.frameReady = true;
    frame.appActive = true;
    frame.previousHovered = -1;
    if (ctx_.startGameAtOnce) {
        // Straight into a game: everything the menu would load is loaded now.
        if (menuScene_) menuScene_->loadAtOnce();
        SetScene(kSceneGame);
        frame.firstFrame = false;
        return;
    }
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
    dispatchSceneSteps();
    ctx_.handlers.watchScreen(frame.frameTick);
}

void TMainForm::dispatchSceneSteps() {
    FrameState& frame = ctx_.frame;
    Scene* scene = sceneFor(frame.currentScene);
    if (!scene) return;
    if (frame.sceneSetupState == kSetupPending) {
        bool ready = scene->setUpUpdate();
        frame.stepsAllowed = false;
        // The intro and the loading phase advance by two updates a frame.
        if (!ready && scene->preparing()) ready = scene->setUpUpdate();
        // A scene that asked for the other one while it came in stays on its way out.
        if (ready && frame.sceneChangeRequest == 0) frame.sceneSetupState = kSetupDone;
        moveSprites();
        return;
    }
    if (frame.sceneSetupState == kSetupRunning && frame.frameTick > frame.stepStart) runStepLoop(*scene);
}

void TMainForm::runStepLoop(Scene& scene) {
    FrameState& frame = ctx_.frame;
    const int64_t elapsed = static_cast<int64_t>(frame.frameTick - frame.stepStart);
    while (ctx_.options.move_cnt > frame.stepBudget / elapsed) {
        // A switch asked for by an earlier step stops the rest of this frame's steps.
        const bool switching = frame.sceneChangeRequest != 0;
        if (frame.stepsAllowed && frame.sceneSetupState == kSetupRunning && !switching) {
            scene.update();
            ++frame.sceneStepsRun;
        }
        if (frame.stepsAllowed && frame.sceneSetupState != kSetupPending && frame.sceneChangeRequest == 0)
            moveSprites();
        frame.stepBudget += kStepCost;
    }
}

void TMainForm::moveSprites() {
    ctx_.sceneObjects->ApplyTransformAll();
    ctx_.spriteEngine->Move(kSpriteMoveCount);
    if (!ctx_.objects3D->empty()) ctx_.objects3D->Move(kSpriteMoveCount);
    ++spriteMoves_;
}

void TMainForm::RenderFrame() {
    FrameState& frame = ctx_.frame;
    if (!frame.appActive || frame.frameBusy || frame.renderBusy || frame.renderSkipped) return;
    frame.renderBusy = true;
    DrawList& quads = ctx_.drawList;
    quads.clear();
    ctx_.spriteEngine->Draw(quads, ctx_.prototypes->textures(), SpriteEngine::kLayerMin, kPointerLayer);
    // After a texture failure the screen keeps its last picture while the game runs on.
    if (!frame.textureFailure) {
        RenderDevice& device = ctx_.platform().device();
        device.clear();
        lastPass_ = {};
        drawQuadPass(device, quads, frame.textureFailure, &lastPass_);
        if (frame.textureFailure) ctx_.log.error("a texture page is missing: drawing stops");
        if (!ctx_.objects3D->empty())
            draw3DPass(device, *ctx_.objects3D, ctx_.prototypes->meshes(),
                       ctx_.spriteEngine->scrollX, ctx_.spriteEngine->scrollY);
        // The pointer's layer comes last, over the 3D models too.
        quads.clear();
        ctx_.spriteEngine->Draw(quads, ctx_.prototypes->textures(), kPointerLayer);
        if (!frame.textureFailure) drawQuadPass(device, quads, frame.textureFailure, &lastPass_);
        countFrameRate();
        if (ctx_.options.fps_show) {
            char text[64];
            std::snprintf(text, sizeof text, "%7.02f fps (%dx%dx%d)", framesPerSecond_, kScreenWidth, kScreenHeight,
                          ctx_.options.mode16bit && ctx_.platform().isFullscreen() ? 16 : 32);
            device.drawStatistics(text);
        }
        device.present();
        ++frame.framesRendered;
    }
    quads.clear();
    frame.renderBusy = false;
}

void TMainForm::countFrameRate() {
    uint32_t now = ctx_.frame.frameTick;
    ++fpsFrames_;
    uint32_t elapsed = now - fpsStart_;
    constexpr uint32_t kSecond = 1000;
    if (elapsed >= kSecond) {
        framesPerSecond_ = fpsFrames_ * double{kSecond} / elapsed;
        fpsFrames_ = 0;
        fpsStart_ = now;
    }
}

void TMainForm::SetScene(uint8_t scene) {
    LeaveScene();
    FrameState& frame = ctx_.frame;
    frame.currentScene = scene;
    // A scene comes in with the game clock running.
    frame.paused = false;
    frame.previousPaused = false;
    frame.pausedTotal = 0;
    Scene* next = sceneFor(scene);
    if (!next) return;
    frame.sceneSetupState = kSetupPending;
    frame.sceneLive = true;
    next->start();
}

void TMainForm::LeaveScene() {
    Scene* current = sceneFor(ctx_.frame.currentScene);
    if (!current) return;
    current->unload();
    ctx_.frame.sceneLive = false;
}

void TMainForm::AppDeactivate() {
    FrameState& frame = ctx_.frame;
    ctx_.WriteLog("appdeactivate...");
    frame.appActive = false;
    if (frame.currentScene == kSceneGame && frame.sceneLive && !frame.paused) {
        frame.paused = true;
        frame.pauseStart = frame.frameTick;
    }
    if (TMultiSprite* cursor = ctx_.sceneObjects->at(ctx_.input.cursorObject)) cursor->visible = 0;
    ctx_.platform().showSystemCursor(true);
    ctx_.audio->onAppDeactivate();
}

void TMainForm::AppRestore() {
    FrameState& frame = ctx_.frame;
    if (ctx_.platform().isFullscreen()) InitDeviceObjects();
    if (TMultiSprite* cursor = ctx_.sceneObjects->at(ctx_.input.cursorObject)) {
        cursor->visible = 1;
        ctx_.platform().showSystemCursor(false);
    }
    if (frame.currentScene == kSceneGame && frame.sceneLive && frame.paused) frame.paused = false;
    ctx_.audio->onAppRestore();
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

void TMainForm::onDeviceReset() {
    // The device's textures are gone even where their handles are left: every page and
    // mesh texture is made anew.
    ctx_.platform().device().releasePages();
    InitDeviceObjects();
}

void TMainForm::onToggleFullscreen() {
    FullScreenChange();
    ctx_.WriteOptionValue("fullscreen", ctx_.platform().isFullscreen() ? "1" : "0");
}

void TMainForm::onKeyDown(int virtualKey, uint8_t shift) { ctx_.handlers.FormKeyDown(virtualKey, shift); }
void TMainForm::onKeyUp(int virtualKey) { ctx_.handlers.FormKeyUp(virtualKey); }
void TMainForm::onMouseDown(int button) { ctx_.handlers.FormMouseDown(button); }
void TMainForm::onMouseUp(int button) { ctx_.handlers.FormMouseUp(button); }
void TMainForm::onMouseMove() { ctx_.handlers.FormMouseMove(); }

}  // namespace qs
