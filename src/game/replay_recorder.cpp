#include "game/replay_recorder.h"

#include <cstring>

#include "core/file_system.h"
#include "core/options.h"
#include "game/combo_table.h"
#include "game/game_session.h"
#include "game/level_files.h"

namespace qs {

namespace {

// The options the rules read. A sound limit is among them: it decides the dragons' praise,
// which draws from the game's generator.
struct PlayOptionKey {
    const char* key;
    int GameOptions::*member;
};
constexpr PlayOptionKey kPlayOptions[] = {
    {"explosion_sound_limit1", &GameOptions::explosion_sound_limit1},
    {"explosion_sound_limit2", &GameOptions::explosion_sound_limit2},
    {"sound_joy_limit", &GameOptions::sound_joy_limit},
    {"sound_joy_limit_arcade1", &GameOptions::sound_joy_limit_arcade1},
    {"sound_joy_limit_challenge1", &GameOptions::sound_joy_limit_challenge1},
    {"sound_joy_limit_drop", &GameOptions::sound_joy_limit_drop},
    {"sound_joy_limit_arcade1_drop", &GameOptions::sound_joy_limit_arcade1_drop},
    {"sound_joy_limit_challenge1_drop", &GameOptions::sound_joy_limit_challenge1_drop},
    {"balls_climb_time_challenge", &GameOptions::balls_climb_time_challenge},
    {"balls_climb_time_puzzle", &GameOptions::balls_climb_time_puzzle},
    {"balls_climb_inc_arcade", &GameOptions::balls_climb_inc_arcade},
    {"balls_climb_inc_challenge", &GameOptions::balls_climb_inc_challenge},
    {"balls_climb_inc_puzzle", &GameOptions::balls_climb_inc_puzzle},
    {"ball_step", &GameOptions::ball_step},
    {"bigbomb_expl_count", &GameOptions::bigbomb_expl_count},
    {"bigbomb_radius", &GameOptions::bigbomb_radius},
    {"bonus_probability", &GameOptions::bonus_probability},
    {"bonus_probability_random_proc", &GameOptions::bonus_probability_random_proc},
    {"bonus_inc_width_time", &GameOptions::bonus_inc_width_time},
    {"bonus_freeze_time", &GameOptions::bonus_freeze_time},
    {"bonus_target_time", &GameOptions::bonus_target_time},
};

class Fnv {
public:
    void bytes(const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash_ ^= p[i];
            hash_ *= 0x100000001b3ull;
        }
    }
    void text(const std::string& s) {
        add(static_cast<uint64_t>(s.size()));
        bytes(s.data(), s.size());
    }
    void add(int64_t value) { bytes(&value, sizeof value); }
    void add(uint64_t value) { bytes(&value, sizeof value); }
    void add(int value) { add(static_cast<int64_t>(value)); }
    void add(uint32_t value) { add(static_cast<uint64_t>(value)); }
    void add(bool value) { add(static_cast<int64_t>(value)); }
    // A double by its bits: the same play gives the very same numbers.
    void add(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        add(bits);
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace

uint64_t sessionStateHash(const GameSession& session) {
    Fnv h;
    const Gameplay& g = session.game();
    h.add(session.stepCount());
    h.add(static_cast<int>(session.state()));
    h.add(static_cast<int>(g.mode));
    h.add(g.level);
    h.add(g.now);
    const ScoreState& s = g.score;
    h.add(s.levelScore);
    h.add(s.plainScore);
    h.add(s.totalScore);
    h.add(s.scoreMultiplier);
    h.add(s.comboCount);
    h.add(s.bestShot);
    h.add(s.crystalsCollected);
    h.add(s.scoreGauge);
    h.add(session.shownScore());
    h.add(session.shownProgress());
    h.add(session.shotCount());
    h.add(session.pushCounter());
    h.add(session.lossCountdown());
    h.add(session.levelStartPending());
    h.add(session.cannonIntroFrame());
    const BallGrid& grid = g.grid;
    h.add(grid.scroll);
    h.add(grid.rows);
    for (int row = BallGrid::kFirstRow; row <= BallGrid::kLastRow; ++row)
        for (int column = 0; column < BallGrid::kColumns; ++column) {
            const GridCell* cell = grid.cellAt(column, row);
            if (!cell || cell->empty()) continue;
            h.add(row * BallGrid::kColumns + column);
            h.add(static_cast<int>(cell->kind));
            h.add(static_cast<int>(cell->tint));
            h.add(static_cast<int>(cell->bonus));
        }
    for (const QueuedBall& ball : {g.queue.current, g.queue.next}) {
        h.add(ball.kind);
        h.add(ball.tint);
        h.add(ball.bonus);
    }
    h.add(g.queue.rocketCount);
    h.add(g.queue.shotsSinceBonus);
    h.add(g.aim.aimAngle);
    h.add(g.ball.has_value());
    if (g.ball) {
        h.add(g.ball->x);
        h.add(g.ball->y);
        h.add(g.ball->kind);
    }
    h.add(g.net.frame);
    h.add(g.bombDeadline);
    h.add(g.pendingClimb);
    h.add(static_cast<uint64_t>(g.rockets.size()));
    return h.value();
}

std::vector<ReplayOption> playOptions(const GameOptions& options) {
    std::vector<ReplayOption> out;
    for (const PlayOptionKey& key : kPlayOptions) out.push_back({key.key, options.*key.member});
    return out;
}

bool applyPlayOptions(GameOptions& options, const std::vector<ReplayOption>& values) {
    bool known = true;
    for (const ReplayOption& value : values) {
        bool found = false;
        for (const PlayOptionKey& key : kPlayOptions)
            if (value.key == key.key) {
                options.*key.member = value.value;
                found = true;
            }
        known = known && found;
    }
    return known;
}

uint64_t contentFingerprint(const FileSystem& files, GameMode mode, const std::vector<ReplayOption>& options) {
    Fnv h;
    for (int level = 1; level < 10000; ++level) {
        const std::string name = levelFileName(mode, level);
        std::optional<std::string> text = files.readContent(name);
        if (!text) break;
        h.text(name);
        h.text(*text);
    }
    h.text(kComboFile);
    h.text(files.readContent(kComboFile).value_or(std::string()));
    for (const ReplayOption& option : options) {
        h.text(option.key);
        h.add(option.value);
    }
    return h.value();
}

void ReplayRecorder::begin(ReplayHeader header, const GameSession& session) {
    header.beginClock = session.game().now;
    header.start = session.saved();
    replay_ = Replay{};
    replay_.header = std::move(header);
    replay_.result = ReplayResult{session.game().mode, session.level(), session.game().score.totalScore,
                                  sessionStateHash(session), session.stepCount()};
    lastClock_ = replay_.header.beginClock;
    pointerX_ = session.pointerX();
    pointerY_ = session.pointerY();
    active_ = true;
}

void ReplayRecorder::recordStep(uint32_t now, const std::vector<GameCommand>& commands, const GameSession& session) {
    if (!active_) return;
    const uint64_t step = session.stepCount() - 1;
    const uint32_t delta = now - lastClock_;
    lastClock_ = now;
    if (!replay_.clock.empty() && replay_.clock.back().delta == delta && replay_.clock.back().count < 0xFFFFFFFFu)
        ++replay_.clock.back().count;
    else
        replay_.clock.push_back({delta, 1});
    // A pointer counts only where the session took it: the moves it let pass (a ball in
    // flight, a level coming in) change nothing and are left out.
    const bool pointerTaken = session.pointerX() != pointerX_ || session.pointerY() != pointerY_;
    if (pointerTaken) {
        pointerX_ = session.pointerX();
        pointerY_ = session.pointerY();
    }
    bool pointerWritten = false;
    for (const GameCommand& command : commands) {
        if (std::holds_alternative<command::Pointer>(command)) {
            if (!pointerTaken || pointerWritten) continue;
            replay_.commands.push_back({step, command::Pointer{pointerX_, pointerY_}});
            pointerWritten = true;
            continue;
        }
        replay_.commands.push_back({step, command});
    }
    const uint64_t steps = session.stepCount();
    if (steps % kReplayHashInterval == 0) replay_.hashes.push_back({steps, sessionStateHash(session)});
}

void ReplayRecorder::finish(const GameSession& session) {
    if (!active_) return;
    replay_.result = ReplayResult{session.game().mode, session.level(), session.game().score.totalScore,
                                  sessionStateHash(session), session.stepCount()};
}

}  // namespace qs
