#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qs {

class Log;

// Every setting of "options.txt". The members start at zero (the pure game's tests build
// what they need); a running program starts from defaultOptions(), so a key absent from
// every file still has a value the game runs with.
struct GameOptions {
    bool fullscreen = false;
    bool mode16bit = false;
    bool textures16bit = false;
    bool log_enabled = false;
    int beg_level = 0;
    int explosion_sound_limit1 = 0;
    int explosion_sound_limit2 = 0;
    int sound_joy_limit = 0;
    int sound_joy_limit_arcade1 = 0;
    int sound_joy_limit_challenge1 = 0;
    int sound_joy_limit_drop = 0;
    int sound_joy_limit_arcade1_drop = 0;
    int sound_joy_limit_challenge1_drop = 0;
    int music_volume = 0;
    int music_amplify = 75;
    int sound_volume = 0;
    int no_sync = 0;
    int fps_max = 0;
    int frameInterval = 0;  // 1000 / fps_max, worked out when the key is read; 0 = no cap
    bool fps_show = false;
    int move_cnt = 0;
    int balls_climb_time_challenge = 0;
    int balls_climb_time_puzzle = 0;
    int balls_climb_inc_arcade = 0;
    int balls_climb_inc_challenge = 0;
    int balls_climb_inc_puzzle = 0;
    int ball_step = 0;
    int bigbomb_expl_count = 0;
    int bigbomb_radius = 0;
    int bonus_probability = 0;
    int bonus_probability_random_proc = 0;
    int bonus_inc_width_time = 0;
    int bonus_freeze_time = 0;
    int bonus_target_time = 0;
    bool wait_vblank = false;
    int player_index = 0;
    // The logo's intro has been seen to its end once: from then on a press skips it.
    bool intro_seen = false;

    // Set whenever a volume key is read, so the options screen redraws its level.
    bool musicVolumeShownStale = false;
    bool soundVolumeShownStale = false;
};

using MessageBoxFn = std::function<void(const std::string& caption, const std::string& text)>;

inline constexpr const char* kOptionsFile = "options.txt";

// An options file is a page of settings; anything near this size is not one, and reading
// it would only cost the start-up time and memory. Such a file is left as it is.
inline constexpr std::uintmax_t kOptionsFileLimit = std::uintmax_t{1024} * 1024;

// Every key at the value the game ships with (the data folder's options.txt holds the same).
GameOptions defaultOptions();

// Every key as "key=value" lines, in the table's order: what a set of options amounts to.
std::string optionsText(const GameOptions& options);

// The names of every key, in the order of the shipped file's table.
std::vector<std::string> optionKeyNames();

// Applies the lines of an options text. A line that cannot be used (a value that is not a
// whole number, a line of control characters) is skipped with its line number logged, and
// the lines after it are still read. A value outside its key's range is clamped and logged.
// Returns false when any line was skipped.
bool applyOptionsText(GameOptions& options, const std::string& text, Log& log,
                      const std::string& fileName = kOptionsFile);

// The keys a text gives no usable value for.
std::vector<std::string> missingOptionKeys(const std::string& text);

enum class OptionsFileState { Read, Missing, Unreadable };

// Reads the options file over `options` (a key the file lacks keeps its value). A missing
// file shows "Configuration file not found!" with its path; one that cannot be read says
// why. Keys the file lacks are logged.
OptionsFileState ReadOptions(GameOptions& options, const std::filesystem::path& file, Log& log,
                             const MessageBoxFn& messageBox);

// Replaces every line whose key is exactly `key` by "key=value", or appends one; other
// lines are kept, trimmed. The new file replaces the old one only when fully written. A
// file that exists but cannot be read is never written: its other settings would be lost.
bool WriteOptionValue(const std::filesystem::path& file, const std::string& key,
                      const std::string& value, Log& log);

}  // namespace qs
