#pragma once

#include <cstdint>
#include <string>

namespace qs {

enum SceneId : uint8_t { kSceneNone = 0, kSceneMenu = 1, kSceneGame = 2 };

// The clocks and flags of the frame loop and the running scene.
struct FrameState {
    uint32_t frameTick = 0;
    uint32_t gameClock = 0;
    bool paused = false;
    bool previousPaused = false;
    uint32_t pauseStart = 0;
    uint32_t pausedTotal = 0;
    bool appActive = false;
    uint8_t currentScene = kSceneNone;
    uint8_t sceneChangeRequest = 0;
    int sceneSetupState = 0;  // 0 not set up, 1 set up, 2 running on the step schedule
    bool sceneLive = false;
    // A scene asked the window to close (the exit question): the run ends after this frame.
    bool closeRequested = false;
    bool stepsAllowed = false;
    uint32_t stepStart = 0;
    int64_t stepBudget = 0;
    uint32_t nextRenderTime = 0;
    bool frameReady = false;
    bool firstFrame = true;
    bool frameBusy = false;
    bool renderBusy = false;
    // The frame-rate cap (or a scene that is not live) ended this frame before its picture.
    bool renderSkipped = false;
    int previousHovered = -1;

    // Set once a page was missing at draw time: no picture is drawn from then on.
    bool textureFailure = false;

    // False when the frames follow the display's refresh and the fps_max cap gives way.
    bool frameCapHolds = true;

    // Counters for the state dump and the tests.
    uint64_t framesRun = 0;
    uint64_t framesRendered = 0;
    uint64_t sceneStepsRun = 0;
};

// The shared input values the window's handlers record and the scenes consume.
struct InputState {
    int mouseX = -1000;
    int mouseY = 0;
    int hoveredButton = -1;
    int pressedButton = -1;
    // The last key pressed and its Shift, Ctrl and Alt bits (for the state dump).
    uint16_t keyCode = 0;
    uint8_t shiftState = 0;
    int ScreenKind = 0;
    int cursorObject = -1;  // slot of the game's own mouse pointer, -1 before it exists
    // Keys took the pointer over (it stands on the focused button, or stays put while the
    // cannon is aimed by keys) until the mouse moves again; 0: no button focused.
    bool keysOwnPointer = false;
    int focusedButton = 0;
    int focusKind = 0;  // the screen the focus was put on: another one starts at its default
    int lastReleasedButton = -1;  // for the state dump: the last button that fired
    uint32_t presses = 0;  // mouse buttons and Enter, Escape or Space pressed in this run
};

// What the records screen shows now (for the state dump and the tests): the mode's table,
// its row count and the highlighted row (0 none).
struct RecordsShown {
    bool open = false;
    int mode = 0;
    int rows = 0;
    int highlighted = 0;
};

}  // namespace qs
