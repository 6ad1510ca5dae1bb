#include "core/options.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"

namespace qs {

namespace {

enum class Kind { BoolText, BoolInt, Int, Volume, FpsMax };

// Every number has the range a player could sensibly want; beyond it a value would stall
// the frame (a huge move_cnt), stop the game (a move_cnt of 0 runs no step at all),
// overflow a sum or mean nothing, so it is clamped and logged. `shipped` is the value the
// data folder's options.txt gives the key: the value of a key no file mentions.
struct OptionKey {
    const char* name;
    Kind kind;
    bool GameOptions::*boolField;
    int GameOptions::*intField;
    int min = 0;
    int max = 0;
    int shipped = 0;
};

constexpr int kAny = 2147483647;

constexpr OptionKey boolText(const char* name, bool GameOptions::*field, int shipped) {
    return {name, Kind::BoolText, field, nullptr, 0, 1, shipped};
}
constexpr OptionKey boolInt(const char* name, bool GameOptions::*field, int shipped) {
    return {name, Kind::BoolInt, field, nullptr, -kAny, kAny, shipped};
}
constexpr OptionKey integer(const char* name, int GameOptions::*field, int min, int max, int shipped,
                            Kind kind = Kind::Int) {
    return {name, kind, nullptr, field, min, max, shipped};
}

const OptionKey kKeys[] = {
    boolText("fullscreen", &GameOptions::fullscreen, 0),
    boolText("mode16bit", &GameOptions::mode16bit, 0),
    boolText("textures16bit", &GameOptions::textures16bit, 0),
    boolText("log_enabled", &GameOptions::log_enabled, 0),
    integer("beg_level", &GameOptions::beg_level, 0, 999, 0),
    integer("explosion_sound_limit1", &GameOptions::explosion_sound_limit1, 0, 10000, 5),
    integer("explosion_sound_limit2", &GameOptions::explosion_sound_limit2, 0, 10000, 9),
    integer("sound_joy_limit", &GameOptions::sound_joy_limit, 0, 10000, 7),
    integer("sound_joy_limit_arcade1", &GameOptions::sound_joy_limit_arcade1, 0, 10000, 5),
    integer("sound_joy_limit_challenge1", &GameOptions::sound_joy_limit_challenge1, 0, 10000, 5),
    integer("sound_joy_limit_drop", &GameOptions::sound_joy_limit_drop, 0, 10000, 6),
    integer("sound_joy_limit_arcade1_drop", &GameOptions::sound_joy_limit_arcade1_drop, 0, 10000, 4),
    integer("sound_joy_limit_challenge1_drop", &GameOptions::sound_joy_limit_challenge1_drop, 0, 10000, 4),
    integer("music_volume", &GameOptions::music_volume, -kAny, kAny, 10, Kind::Volume),
    integer("music_amplify", &GameOptions::music_amplify, 0, 1000, 75),
    integer("sound_volume", &GameOptions::sound_volume, -kAny, kAny, 11, Kind::Volume),
    integer("no_sync", &GameOptions::no_sync, 0, 1000, 0),
    integer("fps_max", &GameOptions::fps_max, -1000, 1000, 60, Kind::FpsMax),
    boolInt("fps_show", &GameOptions::fps_show, 0),
    integer("move_cnt", &GameOptions::move_cnt, 1, 160, 16),
    integer("balls_climb_time_challenge", &GameOptions::balls_climb_time_challenge, 0, 600000, 100),
    integer("balls_climb_time_puzzle", &GameOptions::balls_climb_time_puzzle, 0, 600000, 25),
    integer("balls_climb_inc_arcade", &GameOptions::balls_climb_inc_arcade, 0, 30, 1),
    integer("balls_climb_inc_challenge", &GameOptions::balls_climb_inc_challenge, 0, 30, 1),
    integer("balls_climb_inc_puzzle", &GameOptions::balls_climb_inc_puzzle, 0, 30, 1),
    integer("ball_step", &GameOptions::ball_step, 1, 100, 10),
    integer("bigbomb_expl_count", &GameOptions::bigbomb_expl_count, -1000, 1000, 5),
    integer("bigbomb_radius", &GameOptions::bigbomb_radius, 0, 15, 2),
    integer("bonus_probability", &GameOptions::bonus_probability, 0, 10000, 12),
    integer("bonus_probability_random_proc", &GameOptions::bonus_probability_random_proc, 0, 100, 30),
    integer("bonus_inc_width_time", &GameOptions::bonus_inc_width_time, 0, 3600, 20),
    integer("bonus_freeze_time", &GameOptions::bonus_freeze_time, 0, 3600, 10),
    integer("bonus_target_time", &GameOptions::bonus_target_time, 0, 3600, 15),
    boolInt("wait_vblank", &GameOptions::wait_vblank, 0),
    integer("player_index", &GameOptions::player_index, 0, 1000000, 0),
    boolInt("intro_seen", &GameOptions::intro_seen, 0),
};

const OptionKey* findKey(const std::string& key) {
    for (const OptionKey& k : kKeys)
        if (key == k.name) return &k;
    return nullptr;
}

// Stores a number already brought into the key's range.
void assign(GameOptions& options, const OptionKey& key, int number) {
    switch (key.kind) {
        case Kind::BoolText:
        case Kind::BoolInt:
            options.*(key.boolField) = key.kind == Kind::BoolText ? number != 0 : number >= 1;
            break;
        case Kind::Volume:
            options.*(key.intField) = std::clamp(number, 0, 13);
            if (key.intField == &GameOptions::music_volume)
                options.musicVolumeShownStale = true;
            else
                options.soundVolumeShownStale = true;
            break;
        case Kind::FpsMax:
            options.fps_max = number;
            // A cap of 0 or below is no cap at all.
            options.frameInterval = number > 0 ? 1000 / number : 0;
            break;
        default:
            options.*(key.intField) = number;
            break;
    }
}

bool holdsControlCharacter(const std::string& line) {
    for (char c : line) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F) return true;
    }
    return false;
}

// A setting line as the reader sees it: lower case, comment and blanks gone; nothing for a
// line that sets no known key.
struct SettingLine {
    const OptionKey* key = nullptr;
    std::string name;
    std::string value;
};

std::optional<SettingLine> settingLine(const std::string& raw) {
    std::string line = toLower(trim(cutLine(raw)));
    size_t comment = line.find(';');
    if (comment != std::string::npos) line = trim(line.substr(0, comment));
    size_t equals = line.find('=');
    if (line.empty() || equals == std::string::npos || equals == 0) return std::nullopt;
    SettingLine setting;
    setting.name = trim(line.substr(0, equals));
    setting.value = trim(line.substr(equals + 1));
    setting.key = findKey(setting.name);
    if (!setting.key) return std::nullopt;
    return setting;
}

bool isUtf16(const std::string& text) {
    if (text.size() < 2) return false;
    const unsigned char a = static_cast<unsigned char>(text[0]), b = static_cast<unsigned char>(text[1]);
    // A byte order mark, or plain letters with a zero byte beside each.
    return (a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF) || (a != 0 && b == 0) || (a == 0 && b != 0);
}

// Without it a text editor's UTF-8 mark would hide the first key.
std::string withoutUtf8Mark(const std::string& text) {
    return startsWith(text, "\xEF\xBB\xBF") ? text.substr(3) : text;
}

// A file of junk must not flood the log: the first lines are named, then how many more.
constexpr int kLinesLogged = 20;

}  // namespace

GameOptions defaultOptions() {
    GameOptions options;
    for (const OptionKey& key : kKeys) assign(options, key, key.shipped);
    options.musicVolumeShownStale = options.soundVolumeShownStale = false;
    return options;
}

std::string optionsText(const GameOptions& options) {
    std::string text;
    for (const OptionKey& key : kKeys) {
        const int value = key.boolField ? (options.*(key.boolField) ? 1 : 0) : options.*(key.intField);
        text += std::string(key.name) + "=" + std::to_string(value) + "\r\n";
    }
    return text;
}

std::vector<std::string> optionKeyNames() {
    std::vector<std::string> names;
    for (const OptionKey& key : kKeys) names.push_back(key.name);
    return names;
}

bool applyOptionsText(GameOptions& options, const std::string& given, Log& log,
                      const std::string& fileName) {
    if (isUtf16(given)) {
        log.error(fileName + " is UTF-16 text, which the game cannot read (save it as plain text); "
                  "none of its values is used");
        return false;
    }
    const std::string text = withoutUtf8Mark(given);
    int lineNumber = 0;
    int skipped = 0;
    auto skip = [&](const std::string& why) {
        if (++skipped <= kLinesLogged)
            log.error(fileName + " line " + std::to_string(lineNumber) + ": " + why + "; the line is skipped");
    };
    for (const std::string& raw : splitLines(text)) {
        ++lineNumber;
        if (holdsControlCharacter(cutLine(raw))) {
            skip("control characters, not a setting");
            continue;
        }
        std::optional<SettingLine> setting = settingLine(raw);
        if (!setting) continue;
        const OptionKey& key = *setting->key;
        if (key.kind == Kind::BoolText) {
            assign(options, key, setting->value != "0");
            continue;
        }
        std::optional<int> number = parseInt(setting->value);
        if (!number) {
            skip("\"" + setting->value + "\" is not a whole number for " + setting->name);
            continue;
        }
        if (*number < key.min || *number > key.max) {
            const int clamped = std::clamp(*number, key.min, key.max);
            log.error(fileName + " line " + std::to_string(lineNumber) + ": " + setting->name + "=" +
                      setting->value + " is outside " + std::to_string(key.min) + ".." +
                      std::to_string(key.max) + "; " + std::to_string(clamped) + " is used");
            number = clamped;
        }
        assign(options, key, *number);
    }
    if (skipped > kLinesLogged)
        log.error(fileName + ": " + std::to_string(skipped - kLinesLogged) + " more lines skipped");
    return skipped == 0;
}

std::vector<std::string> missingOptionKeys(const std::string& given) {
    std::vector<bool> seen(std::size(kKeys), false);
    if (!isUtf16(given)) {
        for (const std::string& raw : splitLines(withoutUtf8Mark(given))) {
            if (holdsControlCharacter(cutLine(raw))) continue;
            std::optional<SettingLine> setting = settingLine(raw);
            if (!setting) continue;
            if (setting->key->kind != Kind::BoolText && !parseInt(setting->value)) continue;
            seen[static_cast<size_t>(setting->key - kKeys)] = true;
        }
    }
    std::vector<std::string> missing;
    for (size_t i = 0; i < seen.size(); ++i)
        if (!seen[i]) missing.push_back(kKeys[i].name);
    return missing;
}

OptionsFileState ReadOptions(GameOptions& options, const std::filesystem::path& file, Log& log,
                             const MessageBoxFn& messageBox) {
    log.WriteLog("setup_refresh");
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    std::string why;
    std::optional<std::string> text;
    std::vector<std::string> missing;
    OptionsFileState state = OptionsFileState::Read;
    if (status.type() == std::filesystem::file_type::not_found) {
        state = OptionsFileState::Missing;
        log.error("the configuration file " + file.string() + " was not found; the shipped settings are used");
        if (messageBox) messageBox("Error", "Configuration file not found!\n" + file.string());
    } else if (!(text = FileSystem::readFile(file, &why, kOptionsFileLimit))) {
        state = OptionsFileState::Unreadable;
        log.error("the configuration file " + file.string() + " cannot be read (" + why +
                  "); the shipped settings are used and the file is left as it is");
        if (messageBox)
            messageBox("Error", "The configuration file " + file.string() + " cannot be read (" + why +
                                    "). The game uses its own settings and will not change the file.");
    } else {
        applyOptionsText(options, *text, log, file.string());
        missing = missingOptionKeys(*text);
    }
    log.setEnabled(options.log_enabled);
    if (!missing.empty()) {
        std::string names;
        for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
        log.WriteLog(file.string() + " has no value for " + names + "; the shipped values are used");
    }
    log.WriteLog(options.textures16bit ? " textures mode=16bit" : " textures mode=32bit");
    return state;
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
    std::error_code ec;
    std::optional<std::string> existing;
    if (std::filesystem::status(file, ec).type() != std::filesystem::file_type::not_found) {
        std::string why;
        existing = FileSystem::readFile(file, &why, kOptionsFileLimit);
        // Writing would put one line in the place of settings that could not be read.
        if (!existing) {
            log.error(file.string() + " cannot be read (" + why + "); " + key + "=" + value +
                      " is not stored, so that its other settings are not lost");
            return false;
        }
    }
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
