// libFuzzer target for the options reader: whatever the text, every number the game reads
// from options.txt must end up inside the range the game can play with, and over the
// shipped values the game always runs its steps.
//   scripts/fuzz 30 fuzz_options     (builds with the flags below and runs on fuzz/corpus/options)
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc fuzz/fuzz_options.cpp \
//     build-fuzz/libqs-fuzz.a -o build-fuzz/fuzz_options
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/log.h"
#include "core/options.h"

namespace {

// A value keeps its default when no line sets it, otherwise it lies inside [lo, hi].
void check(int value, int fallback, int lo, int hi) {
    if (value != fallback && (value < lo || value > hi)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qs::Log log;
    const qs::GameOptions defaults;
    qs::GameOptions o;
    qs::applyOptionsText(o, text, log);
    const qs::GameOptions& d = defaults;
    check(o.beg_level, d.beg_level, 0, 999);
    for (int qs::GameOptions::*limit :
         {&qs::GameOptions::explosion_sound_limit1, &qs::GameOptions::explosion_sound_limit2,
          &qs::GameOptions::sound_joy_limit, &qs::GameOptions::sound_joy_limit_arcade1,
          &qs::GameOptions::sound_joy_limit_challenge1, &qs::GameOptions::sound_joy_limit_drop,
          &qs::GameOptions::sound_joy_limit_arcade1_drop, &qs::GameOptions::sound_joy_limit_challenge1_drop,
          &qs::GameOptions::bonus_probability})
        check(o.*limit, d.*limit, 0, 10000);
    check(o.music_volume, d.music_volume, 0, 13);
    check(o.sound_volume, d.sound_volume, 0, 13);
    check(o.music_amplify, d.music_amplify, 0, 1000);
    check(o.no_sync, d.no_sync, 0, 1000);
    check(o.fps_max, d.fps_max, -1000, 1000);
    if (o.frameInterval != (o.fps_max > 0 ? 1000 / o.fps_max : 0)) abort();
    check(o.move_cnt, d.move_cnt, 1, 160);
    check(o.balls_climb_time_challenge, d.balls_climb_time_challenge, 0, 600000);
    check(o.balls_climb_time_puzzle, d.balls_climb_time_puzzle, 0, 600000);
    check(o.balls_climb_inc_arcade, d.balls_climb_inc_arcade, 0, 30);
    check(o.balls_climb_inc_challenge, d.balls_climb_inc_challenge, 0, 30);
    check(o.balls_climb_inc_puzzle, d.balls_climb_inc_puzzle, 0, 30);
    check(o.ball_step, d.ball_step, 1, 100);
    check(o.bigbomb_expl_count, d.bigbomb_expl_count, -1000, 1000);
    check(o.bigbomb_radius, d.bigbomb_radius, 0, 15);
    check(o.bonus_probability_random_proc, d.bonus_probability_random_proc, 0, 100);
    check(o.bonus_inc_width_time, d.bonus_inc_width_time, 0, 3600);
    check(o.bonus_freeze_time, d.bonus_freeze_time, 0, 3600);
    check(o.bonus_target_time, d.bonus_target_time, 0, 3600);
    check(o.player_index, d.player_index, 0, 1000000);

    qs::GameOptions shipped = qs::defaultOptions();
    qs::applyOptionsText(shipped, text, log);
    if (shipped.move_cnt < 1 || shipped.move_cnt > 160 || shipped.ball_step < 1) abort();
    return 0;
}
