#include "game/game_events.h"

#include <cstdio>

#include "core/json_writer.h"

namespace qs {

const char* overlayName(Overlay overlay) {
    switch (overlay) {
        case Overlay::kGameOver: return "game_over";
        case Overlay::kStatistics: return "game_stat";
        case Overlay::kExitToMenu: return "exit_to_menu";
        case Overlay::kTryAgain: return "try_again";
    }
    return "";
}

const char* eventTypeName(GameEvent::Type type) {
    switch (type) {
        case GameEvent::kSound: return "sound";
        case GameEvent::kStopBurning: return "stop_burning";
        case GameEvent::kParticles: return "particles";
        case GameEvent::kDocked: return "docked";
        case GameEvent::kBombArmed: return "bomb_armed";
        case GameEvent::kRemoved: return "removed";
        case GameEvent::kDropped: return "dropped";
        case GameEvent::kCrystalToCounter: return "crystal";
        case GameEvent::kBonusReleased: return "bonus";
        case GameEvent::kDragonsJoy: return "dragons_joy";
        case GameEvent::kPraise: return "praise";
        case GameEvent::kScoreText: return "score_text";
        case GameEvent::kComboText: return "combo_text";
        case GameEvent::kBallGone: return "ball_gone";
        case GameEvent::kQueueChanged: return "queue_changed";
        case GameEvent::kBurningStart: return "burning_start";
        case GameEvent::kLevelStarted: return "level_started";
        case GameEvent::kLevelFailed: return "level_failed";
        case GameEvent::kChannelPlay: return "channel_play";
        case GameEvent::kChannelStop: return "channel_stop";
        case GameEvent::kCannonFired: return "cannon_fired";
        case GameEvent::kLevelCleared: return "level_cleared";
        case GameEvent::kGameLost: return "game_lost";
        case GameEvent::kShowOverlay: return "show";
        case GameEvent::kHideOverlay: return "hide";
        case GameEvent::kShowRecords: return "records";
        case GameEvent::kLeaveForMenu: return "leave";
    }
    return "unknown";
}

namespace {

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string at(const GameEvent& e) { return " at " + number(e.x) + "," + number(e.y); }

}  // namespace

std::string describe(const GameEvent& e) {
    std::string out = eventTypeName(e.type);
    switch (e.type) {
        case GameEvent::kSound:
        case GameEvent::kPraise:
            return out + " " + e.name;
        case GameEvent::kParticles:
            return out + " " + std::to_string(e.count) + "x" + std::to_string(e.particle) +
                   (e.shards ? " shards" : "") + " kind " + std::to_string(e.kind) + at(e);
        case GameEvent::kDocked:
            return out + " " + std::to_string(e.column) + "," + std::to_string(e.row) + " kind " +
                   std::to_string(e.kind);
        case GameEvent::kRemoved:
        case GameEvent::kDropped:
            return out + " " + std::to_string(e.count);
        case GameEvent::kCrystalToCounter:
            return out + at(e);
        case GameEvent::kBonusReleased:
            return out + " " + std::to_string(e.value) + " kind " + std::to_string(e.kind) + at(e);
        case GameEvent::kScoreText:
            return out + " " + std::to_string(e.value) + at(e);
        case GameEvent::kComboText:
            return out + " \"" + e.text + "\"" + at(e);
        case GameEvent::kShowOverlay:
        case GameEvent::kHideOverlay:
            return out + " " + e.name;
        case GameEvent::kChannelPlay:
            return out + " " + std::to_string(e.value) + " " + e.name;
        case GameEvent::kChannelStop:
        case GameEvent::kLevelStarted:
            return out + " " + std::to_string(e.value);
        default:
            return out;
    }
}

std::vector<std::string> describeAll(const EventList& events, bool withParticles) {
    std::vector<std::string> lines;
    for (const GameEvent& e : events) {
        if (e.type == GameEvent::kParticles && !withParticles) continue;
        lines.push_back(describe(e));
    }
    return lines;
}

void writeEventJson(JsonWriter& json, const GameEvent& e) {
    json.beginObject();
    json.field("type", eventTypeName(e.type));
    switch (e.type) {
        case GameEvent::kSound:
        case GameEvent::kPraise:
            json.field("name", e.name);
            break;
        case GameEvent::kParticles:
            json.field("particle", e.particle).field("count", e.count).field("kind", e.kind);
            if (e.shards) json.field("shards", true);
            json.field("x", e.x).field("y", e.y);
            break;
        case GameEvent::kDocked:
            json.field("column", e.column).field("row", e.row).field("kind", e.kind);
            break;
        case GameEvent::kRemoved:
        case GameEvent::kDropped:
            json.field("count", e.count);
            break;
        case GameEvent::kCrystalToCounter:
            json.field("x", e.x).field("y", e.y);
            break;
        case GameEvent::kBonusReleased:
            json.field("bonus", e.value).field("kind", e.kind).field("x", e.x).field("y", e.y);
            break;
        case GameEvent::kScoreText:
            json.field("points", e.value).field("font", e.name).field("x", e.x).field("y", e.y);
            break;
        case GameEvent::kComboText:
            json.field("text", e.text).field("font", e.name).field("x", e.x).field("y", e.y);
            break;
        default:
            break;
    }
    json.endObject();
}

}  // namespace qs
