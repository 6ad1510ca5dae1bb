#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "core/options.h"
#include "core/random.h"
#include "game/combo_table.h"
#include "game/game_mode.h"
#include "game/game_session.h"

namespace qs {

class JsonWriter;
class Log;

// One line of a simulation: a shot (where the cannon points, and optionally which ball it
// fires and which ball comes next, 0: the one the queue deals), a swap of the two balls, or
// the paint rocket fired (along the aim given, or the cannon's own).
struct SimShot {
    enum class Action { kShot, kSwap, kRocket };
    Action action = Action::kShot;
    bool aimGiven = true;
    bool byAngle = false;
    int aimX = 400;       // a mouse position on the 800 x 600 screen
    int aimY = 300;
    double angle = 0;     // radians, 0 straight up, positive to the left
    int current = 0;
    int currentTint = 0;
    int currentBonus = 0;
    int next = 0;
};

struct SimulatorSetup {
    std::filesystem::path contentRoot;
    GameMode mode = kModeArcade;
    int level = 1;
    uint32_t seed = 1;
    // Extra "key=value" option lines applied over the content root's options.txt.
    std::string optionOverrides;
    // List particle and trail events too (they are many).
    bool withParticles = false;
};

// Plays shots on a level without a window, menus or clock: every shot is fired, the ball
// flown frame by frame until it has docked or left, and the field settled (drops done,
// puzzle pushes applied at once). Bombs dock but do not go off (their detonation is timed).
class ShotSimulator {
public:
    explicit ShotSimulator(Log& log);
    ~ShotSimulator();
    // The session refers to the options, combos and generator held here.
    ShotSimulator(const ShotSimulator&) = delete;
    ShotSimulator& operator=(const ShotSimulator&) = delete;

    // Reads options.txt and text\combo.txt of the content root, starts the level and plays
    // its start until the cannon may fire. False (logged) when the level cannot be played.
    bool load(const SimulatorSetup& setup);

    // Fires one shot and plays on until the field has settled, then writes its report as a
    // JSON object. False when the level is over or not loaded (the report then says why).
    bool shoot(const SimShot& shot, JsonWriter& json);
    // Fires one shot at `angle` (radians), first exchanging the cannon's ball with the next
    // one when `swap` is set, and plays on until the field has settled, without a report.
    // False when no shot left: the level is over, not loaded, or a swap is not possible
    // (a paint rocket is held).
    bool play(double angle, bool swap = false);
    // An independent copy of the level being played (field, queue, timers and generator):
    // shots played on the copy leave this one as it is.
    std::unique_ptr<ShotSimulator> clone() const;

    // The state alone (grid, scores, counters) as a JSON object.
    void writeState(JsonWriter& json) const;

    GameSession& session() { return *session_; }
    const GameSession& session() const { return *session_; }
    Gameplay& game() { return session_->game(); }
    const Gameplay& game() const { return session_->game(); }
    bool complete() const;
    bool lost() const;
    int currentKind() const { return session_->game().queue.current.kind; }
    int nextKind() const { return session_->game().queue.next.kind; }

    // Game time per step: the scene runs about 60 steps a second.
    static constexpr uint32_t kStepMs = 16;
    static constexpr int kMaxSettleSteps = 200000;
    static constexpr int kStallSteps = 30;

private:
    void stepOnce();
    bool settled() const;
    // Fires at `angle` and steps until the field has settled; the frames played.
    int fireAndSettle(double angle, bool rocket = false);
    void waitUntilReady();

    Log& log_;
    FileSystem files_;
    GameOptions options_;
    std::vector<ComboText> combos_;
    Random random_;
    std::unique_ptr<MemoryProgressStore> progress_;
    std::unique_ptr<GameSession> session_;
    SimulatorSetup setup_;
    uint32_t now_ = 0;
    std::vector<GameCommand> pending_;  // for the next step
    EventList collected_;
    int shotsFired_ = 0;
};

// The gameplay values of the shipped options.txt, used under a content root without one.
GameOptions defaultGameplayOptions();

// A shot list, one line a move ("#" starts a comment):
//   aim X Y [current K [tint T] [bonus B]] [next K]
//   angle A [current K ...] [next K]
//   swap                          (the ball in the cannon and the next change places)
//   rocket [aim X Y | angle A]    (fire the paint rocket held)
// Nothing (logged with the line) when a line cannot be read.
std::optional<std::vector<SimShot>> parseShotList(const std::string& text, Log& log,
                                                  const std::string& name = "shots");

// Loads the level, plays every shot and returns one JSON document:
// {"mode", "level", "seed", "loaded", "start": state, "shots": [report, ...]}.
std::string runShotSimulation(const SimulatorSetup& setup, const std::vector<SimShot>& shots, Log& log,
                              bool* ok = nullptr);

}  // namespace qs
