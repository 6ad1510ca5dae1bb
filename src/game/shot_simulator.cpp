#include "game/shot_simulator.h"

#include <algorithm>
#include <sstream>

#include "core/comma_fields.h"
#include "core/json_writer.h"
#include "core/log.h"
#include "core/text_util.h"
#include "game/ball_queue.h"
#include "game/gameplay.h"

namespace qs {

namespace {

void writeBall(JsonWriter& json, int kind, int tint, int bonus) {
    json.beginObject().field("kind", kind).field("tint", tint).field("bonus", bonus).endObject();
}

}  // namespace

GameOptions defaultGameplayOptions() {
    GameOptions o;
    o.ball_step = 10;
    o.balls_climb_time_challenge = 12000;
    o.balls_climb_time_puzzle = 20000;
    o.balls_climb_inc_arcade = 1;
    o.balls_climb_inc_challenge = 1;
    o.balls_climb_inc_puzzle = 1;
    o.bigbomb_expl_count = 5;
    o.bigbomb_radius = 2;
    o.bonus_probability = 12;
    o.bonus_probability_random_proc = 30;
    o.explosion_sound_limit1 = 5;
    o.explosion_sound_limit2 = 9;
    o.sound_joy_limit = 7;
    o.sound_joy_limit_arcade1 = 5;
    o.sound_joy_limit_challenge1 = 5;
    o.sound_joy_limit_drop = 6;
    o.sound_joy_limit_arcade1_drop = 4;
    o.sound_joy_limit_challenge1_drop = 4;
    return o;
}

ShotSimulator::ShotSimulator(Log& log) : log_(log) {}
ShotSimulator::~ShotSimulator() = default;

void ShotSimulator::stepOnce() {
    now_ += kStepMs;
    std::vector<GameCommand> commands;
    commands.swap(pending_);
    session_->step(now_, commands);
    collected_.insert(collected_.end(), session_->game().events.begin(), session_->game().events.end());
}

bool ShotSimulator::settled() const {
    const Gameplay& g = session_->game();
    if (g.ball || g.bombDeadline != 0 || g.pendingClimb > 0 || session_->levelStartPending()) return false;
    if (g.mode == kModePuzzle && g.levelValues.pendingDescent > 0 && !lost()) return false;
    for (const PaintRocket& rocket : g.rockets)
        if (rocket.alive) return false;
    return true;
}

bool ShotSimulator::load(const SimulatorSetup& setup) {
    setup_ = setup;
    files_ = FileSystem(setup.contentRoot, {});
    options_ = defaultGameplayOptions();
    if (std::optional<std::string> text = files_.readContent(kOptionsFile))
        applyOptionsText(options_, *text, log_, kOptionsFile);
    options_.beg_level = 0;
    if (!setup.optionOverrides.empty()) applyOptionsText(options_, setup.optionOverrides, log_, "option overrides");
    combos_ = readComboTable(files_, log_);
    random_.reseed(setup.seed);

    progress_ = std::make_unique<MemoryProgressStore>();
    SavedProgress start;
    start.level = setup.level;
    progress_->save(setup.mode, start);
    session_ = std::make_unique<GameSession>(options_, combos_, random_, files_, log_, *progress_);
    session_->game().aim.smoothTurn = false;
    shotsFired_ = 0;
    now_ = 1000;
    session_->beginGame(setup.mode, now_);
    // The level starts after the cannon's intro; then the field comes in and the net closes.
    // A field that comes in slowly (a puzzle's last pixels) is brought down by a click, as a
    // player would.
    int still = 0;
    int lastPosition = 0;
    for (int i = 0; i < kMaxSettleSteps && !session_->mayFire(); ++i) {
        stepOnce();
        if (session_->levelFileFailed()) return false;
        const BallGrid& grid = session_->game().grid;
        const int position = grid.lowestRow * BallGrid::kRowPitch - grid.scroll;
        still = position == lastPosition ? still + 1 : 0;
        lastPosition = position;
        if (session_->fastDropping() && session_->cannonReady() && !session_->levelStartPending() &&
            still >= kStallSteps) {
            pending_.push_back(command::Fire{});
        }
    }
    collected_.clear();
    return session_->mayFire();
}

void ShotSimulator::writeState(JsonWriter& json) const {
    json.beginObject();
    if (!session_) {
        json.endObject();
        return;
    }
    const Gameplay& g = session_->game();
    const BallGrid& grid = g.grid;
    json.field("rows", grid.rows).field("scroll", grid.scroll);
    json.field("lowest_row", grid.lowestRow).field("consecutive_rows", grid.consecutiveRows);
    json.key("grid").beginArray();
    for (int r = BallGrid::kLastRow; r >= BallGrid::kFirstRow; --r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            const GridCell* cell = grid.cellAt(k, r);
            if (cell->empty()) continue;
            json.beginObject().field("column", k).field("row", r).field("kind", static_cast<int>(cell->kind));
            json.field("tint", static_cast<int>(cell->tint)).field("bonus", static_cast<int>(cell->bonus)).endObject();
        }
    }
    json.endArray();
    // The same field as text, ceiling row first: "11 ..LLLL", one letter a cell (. empty,
    // 1-9 colours, B colour bomb, G big bomb, M multiball, L land, C crystal).
    json.key("picture").beginArray();
    for (const std::string& line : fieldPicture(grid)) json.value(line);
    json.endArray();
    const ScoreState& s = g.score;
    json.key("score").beginObject();
    json.field("level", s.levelScore).field("plain", s.plainScore).field("total", s.totalScore);
    json.field("best_shot", s.bestShot).field("best_combo", s.bestCombo).field("multiplier", s.scoreMultiplier);
    json.field("gauge", s.scoreGauge).endObject();
    json.field("combo", s.comboCount).field("match_run", s.matchRun);
    json.field("crystals_collected", s.crystalsCollected).field("crystals_in_level", g.levelValues.crystalsInLevel);
    json.key("current");
    writeBall(json, g.queue.current.kind, g.queue.current.tint, g.queue.current.bonus);
    json.key("next");
    writeBall(json, g.queue.next.kind, g.queue.next.tint, g.queue.next.bonus);
    json.field("rockets", g.queue.rocketCount);
    json.key("bonuses").beginArray();
    for (const ActiveBonus& bonus : g.bonuses.entries)
        if (bonus.type > 0) json.beginObject().field("type", bonus.type).field("state", bonus.state).endObject();
    json.endArray();
    json.field("row0_occupied", grid.rowOccupied(0));
    json.field("complete", complete()).field("lost", lost());
    json.endObject();
}

bool ShotSimulator::complete() const {
    return session_ && (session_->state() == kGameLevelCleared || session_->state() == kGameStatistics);
}

bool ShotSimulator::lost() const {
    return session_ && (session_->state() == kGameLosing || session_->state() == kGameOverDialog ||
                        session_->state() == kGameTryAgain);
}

bool ShotSimulator::shoot(const SimShot& shot, JsonWriter& json) {
    json.beginObject().field("shot", shotsFired_ + 1);
    if (!session_ || complete() || lost()) {
        json.field("skipped", !session_ ? "no level" : complete() ? "level complete" : "level lost").endObject();
        return false;
    }
    Gameplay& g = session_->game();
    collected_.clear();
    if (shot.action == SimShot::Action::kSwap) {
        json.field("swap", true);
        pending_.push_back(command::Swap{});
        stepOnce();
        json.key("current");
        writeBall(json, g.queue.current.kind, g.queue.current.tint, g.queue.current.bonus);
        json.key("next");
        writeBall(json, g.queue.next.kind, g.queue.next.tint, g.queue.next.bonus);
        json.endObject();
        return true;
    }
    if (shot.current != 0) g.queue.current = QueuedBall{shot.current, shot.currentTint, shot.currentBonus};
    if (shot.next != 0) g.queue.next = QueuedBall{shot.next, 0, 0};

    if (!shot.aimGiven)
        ;  // the cannon keeps its aim
    else if (shot.byAngle)
        setAimAngle(g.aim, shot.angle);
    else
        updateAim(g.aim, shot.aimX, shot.aimY, 800, 600);
    g.updatePath();
    json.field("aim_angle", g.aim.aimAngle);
    if (shot.action == SimShot::Action::kRocket) {
        json.field("rocket", true);
        if (g.queue.rocketCount < 1) {
            json.field("skipped", "no rocket held").endObject();
            return false;
        }
    }
    json.key("fired");
    const QueuedBall fired = g.queue.current;
    writeBall(json, fired.kind, fired.tint, fired.bonus);
    json.field("path_points", g.path.count());
    json.key("target");
    if (g.path.hasTarget())
        json.beginObject().field("column", g.path.targetColumn).field("row", g.path.targetRow).endObject();
    else
        json.null();

    const int frames = fireAndSettle(g.aim.aimAngle, shot.action == SimShot::Action::kRocket);

    bool docked = false;
    int group = 0;
    for (const GameEvent& e : collected_) {
        if (e.type == GameEvent::kDocked) {
            docked = true;
            group = e.count;
        }
    }
    json.field("frames", frames).field("docked", docked);
    json.key("group");
    if (docked)
        json.value(group);
    else
        json.null();
    json.key("events").beginArray();
    for (const GameEvent& e : collected_)
        if (setup_.withParticles || e.type != GameEvent::kParticles) writeEventJson(json, e);
    json.endArray();
    json.key("state");
    writeState(json);
    json.endObject();
    waitUntilReady();
    return true;
}

int ShotSimulator::fireAndSettle(double angle, bool rocket) {
    Gameplay& g = session_->game();
    // The shot leaves at the next step, from the path on show; then the field settles: the
    // ball docks or leaves, bombs go off, climbs and pushes are done.
    if (rocket) pending_.push_back(command::FireRocket{});
    else pending_.push_back(command::Fire{});
    stepOnce();
    ++shotsFired_;
    int frames = 1;
    for (; frames < kMaxSettleSteps && !settled() && !complete() && !lost(); ++frames) {
        setAimAngle(g.aim, angle);
        stepOnce();
    }
    // One more step: the level's complete and loss checks look at the settled field.
    if (!complete() && !lost()) stepOnce();
    return frames;
}

void ShotSimulator::waitUntilReady() {
    // Ready for the next shot: wait until the cannon may fire again.
    for (int i = 0; i < kMaxSettleSteps && !session_->mayFire() && !complete() && !lost(); ++i) stepOnce();
}

bool ShotSimulator::play(double angle, bool swap) {
    if (!session_ || complete() || lost()) return false;
    Gameplay& g = session_->game();
    if (swap) {
        if (g.queue.rocketCount > 0) return false;
        swapBalls(g);
    }
    collected_.clear();
    setAimAngle(g.aim, angle);
    g.updatePath();
    fireAndSettle(g.aim.aimAngle);
    collected_.clear();
    waitUntilReady();
    return true;
}

std::unique_ptr<ShotSimulator> ShotSimulator::clone() const {
    auto copy = std::make_unique<ShotSimulator>(log_);
    copy->files_ = files_;
    copy->options_ = options_;
    copy->combos_ = combos_;
    copy->random_ = random_;
    copy->setup_ = setup_;
    copy->now_ = now_;
    copy->pending_ = pending_;
    copy->shotsFired_ = shotsFired_;
    if (session_) {
        copy->progress_ = std::make_unique<MemoryProgressStore>(*progress_);
        copy->session_ = std::make_unique<GameSession>(copy->options_, copy->combos_, copy->random_, copy->files_,
                                                       copy->log_, *copy->progress_);
        copy->session_->copyPlayFrom(*session_);
    }
    return copy;
}

std::optional<std::vector<SimShot>> parseShotList(const std::string& text, Log& log, const std::string& name) {
    std::vector<SimShot> shots;
    int lineNumber = 0;
    for (const std::string& raw : splitLines(text)) {
        ++lineNumber;
        std::string line = raw.substr(0, raw.find('#'));
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        if (words.empty()) continue;
        auto fail = [&](const std::string& why) {
            log.error(name + " line " + std::to_string(lineNumber) + ": " + why);
            return std::nullopt;
        };
        SimShot shot;
        size_t i = 0;
        if (words[0] == "swap") {
            if (words.size() > 1) return fail("\"swap\" takes nothing after it");
            shot.action = SimShot::Action::kSwap;
            shots.push_back(shot);
            continue;
        }
        if (words[0] == "rocket") {
            shot.action = SimShot::Action::kRocket;
            words.erase(words.begin());
            if (words.empty()) {
                shot.aimGiven = false;
                shots.push_back(shot);
                continue;
            }
        }
        if (words[0] == "aim" && words.size() >= 3) {
            std::optional<int> x = parseInt(words[1]), y = parseInt(words[2]);
            if (!x || !y) return fail("\"aim\" takes two whole numbers");
            shot.aimX = *x;
            shot.aimY = *y;
            i = 3;
        } else if (words[0] == "angle" && words.size() >= 2) {
            std::optional<double> a = parseReal(words[1]);
            if (!a) return fail("\"angle\" takes a number of radians");
            shot.byAngle = true;
            shot.angle = *a;
            i = 2;
        } else {
            return fail("a shot starts with \"aim X Y\" or \"angle A\" (or is \"swap\" or \"rocket\")");
        }
        if (shot.action == SimShot::Action::kRocket && i < words.size())
            return fail("\"rocket\" takes only an aim");
        for (; i < words.size(); i += 2) {
            if (i + 1 >= words.size()) return fail("\"" + words[i] + "\" needs a value");
            std::optional<int> v = parseInt(words[i + 1]);
            if (!v || *v < 0 || *v > 255) return fail("\"" + words[i] + "\" takes a number 0 to 255");
            if (words[i] == "current") shot.current = *v;
            else if (words[i] == "tint") shot.currentTint = *v;
            else if (words[i] == "bonus") shot.currentBonus = *v;
            else if (words[i] == "next") shot.next = *v;
            else return fail("unknown word \"" + words[i] + "\"");
        }
        shots.push_back(shot);
    }
    return shots;
}

std::string runShotSimulation(const SimulatorSetup& setup, const std::vector<SimShot>& shots, Log& log, bool* ok) {
    ShotSimulator simulator(log);
    const bool loaded = simulator.load(setup);
    if (ok) *ok = loaded;
    JsonWriter json;
    json.beginObject();
    json.field("mode", gameModeName(setup.mode)).field("level", setup.level).field("seed", setup.seed);
    json.field("loaded", loaded);
    if (loaded) {
        json.key("start");
        simulator.writeState(json);
        json.key("shots").beginArray();
        for (const SimShot& shot : shots) simulator.shoot(shot, json);
        json.endArray();
    }
    json.endObject();
    return json.str();
}

}  // namespace qs
