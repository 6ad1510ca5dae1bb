#include "game/shot_simulator.h"

#include <algorithm>
#include <sstream>

#include "core/comma_fields.h"
#include "core/json_writer.h"
#include "core/log.h"
#include "core/text_util.h"
#include "game/gameplay.h"

namespace qs {

namespace {

constexpr int kMaxFlightFrames = 200000;

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

bool ShotSimulator::load(const SimulatorSetup& setup) {
    setup_ = setup;
    files_ = FileSystem(setup.contentRoot, {});
    options_ = defaultGameplayOptions();
    if (std::optional<std::string> text = files_.readContent(kOptionsFile))
        applyOptionsText(options_, *text, log_, kOptionsFile);
    if (!setup.optionOverrides.empty()) applyOptionsText(options_, setup.optionOverrides, log_, "option overrides");
    combos_ = readComboTable(files_, log_);
    random_.reseed(setup.seed);

    game_ = std::make_unique<Gameplay>(options_, combos_, random_);
    game_->mode = setup.mode;
    game_->level = setup.level;
    currentKind_ = nextKind_ = 0;
    shotsFired_ = shotsSincePush_ = 0;
    if (!startLevel(*game_, files_, log_)) return false;
    advanceQueue();
    advanceQueue();
    if (setup.mode == kModePuzzle)
        settleDescent();
    else
        fastDrop();
    game_->grid.updateRowStats();
    game_->events.clear();
    return true;
}

int ShotSimulator::drawColour() {
    const Gameplay& g = *game_;
    if (g.mode == kModePuzzle && !g.levelValues.levelColourList.empty()) {
        const std::vector<int>& list = g.levelValues.levelColourList;
        return list[static_cast<size_t>(random_.below(static_cast<int>(list.size())))];
    }
    return 1 + random_.below(std::max(1, std::min(g.grid.colourCount, kColourCount)));
}

void ShotSimulator::advanceQueue() {
    if (nextKind_ != 0) {
        currentKind_ = nextKind_;
        currentTint_ = nextTint_;
        currentBonus_ = nextBonus_;
    }
    nextKind_ = drawColour();
    nextTint_ = 0;
    nextBonus_ = 0;
}

void ShotSimulator::settleDescent() {
    Gameplay& g = *game_;
    int& pending = g.levelValues.pendingDescent;
    while (pending > 0) {
        const int moved = g.grid.ballsDown(pending, random_, pending);
        if (moved == 0) break;
        pending -= moved;
    }
}

void ShotSimulator::fastDrop() {
    Gameplay& g = *game_;
    g.grid.updateRowStats();
    const int startRow = fastDropStartRow(g, g.grid.consecutiveRows);
    for (int pixels = 0; pixels < BallGrid::kRowCount * BallGrid::kRowPitch; ++pixels) {
        if (g.grid.rowOccupied(startRow)) break;
        if (g.grid.ballsDown(1, random_, 1) == 0) break;
    }
}

bool ShotSimulator::complete() const {
    if (!game_) return false;
    const Gameplay& g = *game_;
    switch (g.mode) {
        case kModePuzzle: return g.score.crystalsCollected >= g.levelValues.crystalsInLevel;
        case kModeChallenge: return g.score.scoreGauge >= 333;
        case kModeArcade: return static_cast<double>(g.score.plainScore) / g.levelValues.scoreDivisor >= 333;
    }
    return false;
}

bool ShotSimulator::lost() const {
    return game_ && game_->mode == kModePuzzle && game_->grid.rowOccupied(BallGrid::kFirstRow);
}

void ShotSimulator::writeState(JsonWriter& json) const {
    json.beginObject();
    if (!game_) {
        json.endObject();
        return;
    }
    const Gameplay& g = *game_;
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
    for (int r = std::min(grid.rows - 1, static_cast<int>(BallGrid::kLastRow)); r >= BallGrid::kFirstRow; --r) {
        std::string line = std::to_string(r) + " ";
        for (int k = 0; k < BallGrid::kColumns; ++k) line += cellLetter(grid.kindAt(k, r));
        json.value(line);
    }
    json.endArray();
    const ScoreState& s = g.score;
    json.key("score").beginObject();
    json.field("level", s.levelScore).field("plain", s.plainScore).field("total", s.totalScore);
    json.field("best_shot", s.bestShot).field("best_combo", s.bestCombo).field("multiplier", s.scoreMultiplier);
    json.field("gauge", s.scoreGauge).endObject();
    json.field("combo", s.comboCount).field("match_run", s.matchRun);
    json.field("crystals_collected", s.crystalsCollected).field("crystals_in_level", g.levelValues.crystalsInLevel);
    json.key("current");
    writeBall(json, currentKind_, currentTint_, currentBonus_);
    json.key("next");
    writeBall(json, nextKind_, nextTint_, nextBonus_);
    json.field("row0_occupied", grid.rowOccupied(0));
    json.field("complete", complete()).field("lost", lost());
    json.endObject();
}

bool ShotSimulator::shoot(const SimShot& shot, JsonWriter& json) {
    json.beginObject().field("shot", shotsFired_ + 1);
    if (!game_ || complete() || lost()) {
        json.field("skipped", !game_ ? "no level" : complete() ? "level complete" : "level lost").endObject();
        return false;
    }
    Gameplay& g = *game_;
    g.events.clear();
    if (shot.current != 0) {
        currentKind_ = shot.current;
        currentTint_ = shot.currentTint;
        currentBonus_ = shot.currentBonus;
    }
    if (shot.next != 0) {
        nextKind_ = shot.next;
        nextTint_ = 0;
        nextBonus_ = 0;
    }

    g.aim.smoothTurn = false;
    if (shot.byAngle)
        setAimAngle(g.aim, shot.angle);
    else
        updateAim(g.aim, shot.aimX, shot.aimY, 800, 600);
    g.updatePath();
    json.field("aim_angle", g.aim.aimAngle);
    json.key("fired");
    writeBall(json, currentKind_, currentTint_, currentBonus_);
    json.field("path_points", g.path.count());
    json.key("target");
    if (g.path.hasTarget())
        json.beginObject().field("column", g.path.targetColumn).field("row", g.path.targetRow).endObject();
    else
        json.null();

    fire(g, currentKind_, currentTint_, currentBonus_);
    ++shotsFired_;
    advanceQueue();
    if (g.mode == kModePuzzle && ++shotsSincePush_ >= g.levelValues.pushInterval) {
        shotsSincePush_ = 0;
        g.levelValues.pendingDescent += 30;
    }

    int frames = 0;
    while (g.ball && frames < kMaxFlightFrames) {
        stepShotBall(g);
        ++frames;
    }
    g.ball.reset();
    bool docked = false;
    for (const GameEvent& e : g.events) docked = docked || e.type == GameEvent::kDocked;
    if (g.mode == kModePuzzle) settleDescent();
    g.grid.updateRowStats();

    json.field("frames", frames).field("docked", docked);
    json.key("group");
    if (docked)
        json.value(g.grid.groupCounter);
    else
        json.null();
    json.key("events").beginArray();
    for (const GameEvent& e : g.events)
        if (setup_.withParticles || e.type != GameEvent::kParticles) writeEventJson(json, e);
    json.endArray();
    json.key("state");
    writeState(json);
    json.endObject();
    return true;
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
            return fail("a shot starts with \"aim X Y\" or \"angle A\"");
        }
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
