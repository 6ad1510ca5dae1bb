#include "core/options.h"

#include <algorithm>

#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"

namespace qs {

namespace {

enum class Kind { BoolText, BoolInt, Int, Volume, FpsMax };

// Every number has the range a player could sensibly want; beyond it a value would stall
// the frame (a huge move_cnt), overflow a sum or mean nothing, so it is clamped and logged.
struct OptionKey {
    const char* name;
    Kind kind;
    bool GameOptions::*boolField;
    int GameOptions::*intField;
    int min = 0;
    int max = 0;
};

constexpr int kAny = 2147483647;

constexpr OptionKey boolText(const char* name, bool GameOptions::*field) {
    return {name, Kind::BoolText, field, nullptr, 0, 1};
}
constexpr OptionKey boolInt(const char* name, bool GameOptions::*field) {
    return {name, Kind::BoolInt, field, nullptr, -kAny, kAny};
}
constexpr OptionKey integer(const char* name, int GameOptions::*field, int min, int max, Kind kind = Kind::Int) {
    return {name, kind, nullptr, field, min, max};
}

const OptionKey kKeys[] = {
    boolText("fullscreen", &GameOptions::fullscreen),
    boolText("mode16bit", &GameOptions::mode16bit),
    boolText("textures16bit", &GameOptions::textures16bit),
    boolText("log_enabled", &GameOptions::log_enabled),
    integer("beg_level", &GameOptions::beg_level, 0, 999),
    integer("explosion_sound_limit1", &GameOptions::explosion_sound_limit1, 0, 10000),
    integer("explosion_sound_limit2", &GameOptions::explosion_sound_limit2, 0, 10000),
    integer("sound_joy_limit", &GameOptions::sound_joy_limit, 0, 10000),
    integer("sound_joy_limit_arcade1", &GameOptions::sound_joy_limit_arcade1, 0, 10000),
    integer("sound_joy_limit_challenge1", &GameOptions::sound_joy_limit_challenge1, 0, 10000),
    integer("sound_joy_limit_drop", &GameOptions::sound_joy_limit_drop, 0, 10000),
    integer("sound_joy_limit_arcade1_drop", &GameOptions::sound_joy_limit_arcade1_drop, 0, 10000),
    integer("sound_joy_limit_challenge1_drop", &GameOptions::sound_joy_limit_challenge1_drop, 0, 10000),
    integer("music_volume", &GameOptions::music_volume, -kAny, kAny, Kind::Volume),
    integer("music_amplify", &GameOptions::music_amplify, 0, 1000),
    integer("sound_volume", &GameOptions::sound_volume, -kAny, kAny, Kind::Volume),
    integer("no_sync", &GameOptions::no_sync, 0, 1000),
    integer("fps_max", &GameOptions::fps_max, -1000, 1000, Kind::FpsMax),
    boolInt("fps_show", &GameOptions::fps_show),
    integer("move_cnt", &GameOptions::move_cnt, 0, 160),
    integer("balls_climb_time_challenge", &GameOptions::balls_climb_time_challenge, 0, 600000),
    integer("balls_climb_time_puzzle", &GameOptions::balls_climb_time_puzzle, 0, 600000),
    integer("balls_climb_inc_arcade", &GameOptions::balls_climb_inc_arcade, 0, 30),
    integer("balls_climb_inc_challenge", &GameOptions::balls_climb_inc_challenge, 0, 30),
    integer("balls_climb_inc_puzzle", &GameOptions::balls_climb_inc_puzzle, 0, 30),
    integer("ball_step", &GameOptions::ball_step, 1, 100),
    integer("bigbomb_expl_count", &GameOptions::bigbomb_expl_count, -1000, 1000),
    integer("bigbomb_radius", &GameOptions::bigbomb_radius, 0, 15),
    integer("bonus_probability", &GameOptions::bonus_probability, 0, 10000),
    integer("bonus_probability_random_proc", &GameOptions::bonus_probability_random_proc, 0, 100),
    integer("bonus_inc_width_time", &GameOptions::bonus_inc_width_time, 0, 3600),
    integer("bonus_freeze_time", &GameOptions::bonus_freeze_time, 0, 3600),
    integer("bonus_target_time", &GameOptions::bonus_target_time, 0, 3600),
    boolInt("wait_vblank", &GameOptions::wait_vblank),
    integer("player_index", &GameOptions::player_index, 0, 1000000),
    boolInt("intro_seen", &GameOptions::intro_seen),
};

}  // namespace

bool applyOptionsText(GameOptions& options, const std::string& text, Log& log,
                      const std::string& fileName) {
    int lineNumber = 0;
    for (const std::string& raw : splitLines(text)) {
        ++lineNumber;
        std::string line = toLower(trim(cutLine(raw)));
        size_t comment = line.find(';');
        if (comment != std::string::npos) line = trim(line.substr(0, comment));
        if (line.empty()) continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        std::string key = trim(line.substr(0, equals));
        std::string value = trim(line.substr(equals + 1));

        const OptionKey* found = nullptr;
        for (const OptionKey& k : kKeys) {
            if (key == k.name) {
                found = &k;
                break;
            }
        }
        if (!found) continue;

        if (found->kind == Kind::BoolText) {
            options.*(found->boolField) = value != "0";
            continue;
        }
        std::optional<int> number = parseInt(value);
        if (!number) {
            log.error(fileName + " line " + std::to_string(lineNumber) + ": \"" + value +
                      "\" is not a whole number for " + key + "; the rest of the file is not read");
            return false;
        }
        if (*number < found->min || *number > found->max) {
            const int clamped = std::clamp(*number, found->min, found->max);
            log.error(fileName + " line " + std::to_string(lineNumber) + ": " + key + "=" + value +
                      " is outside " + std::to_string(found->min) + ".." + std::to_string(found->max) + "; " +
                      std::to_string(clamped) + " is used");
            number = clamped;
        }
        switch (found->kind) {
            case Kind::BoolInt:
                options.*(found->boolField) = *number >= 1;
                break;
            case Kind::Volume:
                options.*(found->intField) = std::clamp(*number, 0, 13);
                if (found->intField == &GameOptions::music_volume)
                    options.musicVolumeShownStale = true;
                else
                    options.soundVolumeShownStale = true;
                break;
            case Kind::FpsMax:
                options.fps_max = *number;
                // A cap of 0 or below is no cap at all.
                options.frameInterval = *number > 0 ? 1000 / *number : 0;
                break;
            default:
                options.*(found->intField) = *number;
                break;
        }
    }
    return true;
}

void ReadOptions(GameOptions& options, const std::filesystem::path& file, Log& log,
                 const MessageBoxFn& messageBox) {
    log.WriteLog("setup_refresh");
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(file, ec);
    std::optional<std::string> text = folder ? std::nullopt : FileSystem::readFile(file);
    if (folder) {
        log.error("the configuration file " + file.string() + " is a folder; the defaults are used");
    } else if (!text) {
        log.error("the configuration file " + file.string() + " was not found; the defaults are used");
        if (messageBox) messageBox("Error", "Configuration file not found!");
    } else {
        applyOptionsText(options, *text, log, file.filename().string());
    }
    log.setEnabled(options.log_enabled);
    log.WriteLog(options.textures16bit ? " textures mode=16bit" : " textures mode=32bit");
}

namespace {

// The key of a line as the writer sees it: text up to the first "=" (trimmed), stopping at
// ";"; a line without "=" keeps what it collected untrimmed.
std::string lineKey(const std::string& t) {
    if (t.empty() || t[0] == ';') return {};
    std::string collected;
    for (char c : t) {
        if (c == ';') break;
        if (c == '=') return trim(collected);
        collected += c;
    }
    return collected;
}

}  // namespace

bool WriteOptionValue(const std::filesystem::path& file, const std::string& key,
                      const std::string& value, Log& log) {
    std::string out;
    bool matched = false;
    std::optional<std::string> existing = FileSystem::readFile(file);
    if (existing) {
        for (const std::string& raw : splitLines(*existing)) {
            std::string t = trim(cutLine(raw));
            if (!t.empty() && lineKey(t) == key) {
                out += key + "=" + value + "\r\n";
                matched = true;
            } else {
                out += t + "\r\n";
            }
        }
    }
    if (!matched) out += key + "=" + value + "\r\n";

    std::string error;
    if (!FileSystem::writeFileAtomic(file, out, &error)) {
        log.error("could not store " + key + "=" + value + ": " + error);
        return false;
    }
    return true;
}

}  // namespace qs
