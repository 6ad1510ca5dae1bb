#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace qs {

class Log;

// Every setting of "options.txt". A key absent from the file keeps its previous value.
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

// Applies the lines of an options text. Reading stops at a malformed integer (the keys
// before it keep their new values); the stop is logged with its line number.
// Returns false when it stopped early.
bool applyOptionsText(GameOptions& options, const std::string& text, Log& log,
                      const std::string& fileName = kOptionsFile);

// Reads the options file (a missing file shows "Configuration file not found!").
void ReadOptions(GameOptions& options, const std::filesystem::path& file, Log& log,
                 const MessageBoxFn& messageBox);

// Replaces every line whose key is exactly `key` by "key=value", or appends one; other
// lines are kept, trimmed. The new file replaces the old one only when fully written.
bool WriteOptionValue(const std::filesystem::path& file, const std::string& key,
                      const std::string& value, Log& log);

}  // namespace qs
