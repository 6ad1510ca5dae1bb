#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/options.h"
#include "core/random.h"
#include "core/scene_codes.h"
#include "game/combo_table.h"
#include "game/game_mode.h"
#include "ui/frame_state.h"
#include "ui/input_command.h"

namespace qs {

class Audio;
struct AudioServices;
class AudioBackend;
class DialogFade;
struct MenuState;
class Object3DList;
class ParticleList;
class Platform;
class PlayerStore;
class PrototypeLibrary;
class RecordsStore;
class GameSession;
class SceneObjectList;
class SpriteEngine;

// What a scene hands the window's input handlers: the release of a button on the screen up,
// the button Enter or Escape stands for there (0: none), and the scene's own reading of a
// press or key (true: taken; unset or false: it goes on the shared input board).
struct ScreenHooks {
    std::function<void()> HandleButtonRelease;
    std::function<int(int virtualKey)> keyButton;
    std::function<bool(const InputCommand&)> command;
};

// The run's services as the scenes and their screens see them: every subsystem, owned here
// and handed around by reference. The frame loop's owner adds the window's side (the input
// handlers and the draw list); tests build one with a virtual clock and a fake platform.
class SceneServices {
public:
    SceneServices(std::unique_ptr<Clock> clock, FileSystem files, Platform& platform, uint32_t seed);
    virtual ~SceneServices();
    SceneServices(const SceneServices&) = delete;
    SceneServices& operator=(const SceneServices&) = delete;

    Clock& clock() { return *clock_; }
    Platform& platform() { return platform_; }

    // Reads "options.txt" from the user folder over the shipped settings and switches the
    // log on or off to match.
    void ReadOptions();
    // Stores one key in "options.txt"; a failed write keeps the old file and is logged.
    bool WriteOptionValue(const std::string& key, const std::string& value);
    void WriteLog(const std::string& message) { log.WriteLog(message); }
    // Replaces the sound library (the recording one is in place from the start: tests and
    // headless runs keep it, the window's program hands in the real one before the first frame).
    void useAudioBackend(std::unique_ptr<AudioBackend> backend);
    // Reads "players.txt" into a new player store, with "player_index" from the options.
    void openPlayers();
    // Opens "records.txt" for this run (the records screen does it when it first needs it).
    void openRecords();
    // A scene asks the frame loop for the other scene: it is left and the other set up at
    // the start of the next frame.
    void requestScene(SceneId scene) {
        frame.sceneSetupState = kSetupPending;
        frame.sceneChangeRequest = scene;
    }
    // Reads the pointer into `input`; outside the 800 x 600 picture (when clipping) x
    // becomes -1000.
    virtual void readPointer(bool clip) = 0;

    FileSystem files;
    Log log;
    GameOptions options = defaultOptions();
    Random random;
    FrameState frame;
    InputState input;
    RecordsShown recordsShown;
    ScreenHooks hooks;
    std::vector<ComboText> comboTexts;

    // The players and who plays (read by the menu, saved into by the game).
    std::unique_ptr<PlayerStore> players;
    std::unique_ptr<RecordsStore> records;
    // The mode the menu chose; a level to start at instead of the saved one (0: none), from
    // the command line.
    GameMode selectedMode = kModeArcade;
    int startLevel = 0;
    // Skip the menu: the first frame loads everything and starts a game of `selectedMode`.
    bool startGameAtOnce = false;
    // A deterministic player takes the mouse in the game (headless runs and demos).
    bool bot = false;
    // The running game's session, for the state dump; null outside the game scene.
    const GameSession* session = nullptr;
    // The menu's numbers, for the state dump; null before the menu first starts.
    const MenuState* menu = nullptr;
    // The frame's display-mode switch, for the options screen (set by the main window).
    std::function<void()> switchDisplayMode;

    // Visual objects: prototypes and texture pages outlive scenes; the scene objects and
    // their image sprites come and go with the screens.
    std::unique_ptr<PrototypeLibrary> prototypes;
    std::unique_ptr<SpriteEngine> spriteEngine;
    std::unique_ptr<SceneObjectList> sceneObjects;
    std::unique_ptr<ParticleList> particles;
    // Brings each newly opened screen or dialog in; one for the whole run, shared by both scenes.
    std::unique_ptr<DialogFade> dialogFade;
    // Live 3D objects and the camera table they are seen through.
    std::unique_ptr<Object3DList> objects3D;
    // Sound table, playback, music fades.
    std::unique_ptr<Audio> audio;

private:
    const GameOptions& shippedOptions();
    AudioServices audioServices();

    bool optionsMissingShown_ = false;
    std::unique_ptr<GameOptions> shippedOptions_;
    std::unique_ptr<Clock> clock_;
    Platform& platform_;
};

}  // namespace qs
