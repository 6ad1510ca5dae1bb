#include "audio/audio.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "audio/audio_state.h"
#include "audio/recording_audio_backend.h"
#include "core/json_writer.h"
#include "test_support.h"

namespace qs {
namespace {

using Calls = std::vector<std::string>;

// A context whose audio runs on the recording library, with the levels at full, the
// application active and the clock at 1000 ms. The sound files the cases load are there
// (empty: the recording library only looks for them).
class AudioTest : public ::testing::Test {
protected:
    AudioTest() : audio(*world.ctx->audio) {
        for (const char* file : {"music/menu.ogg", "music/arcade.xm", "music/puzzle.ogg",
                                 "music/old.mo3", "music/up.xm", "music_theme.wav", "sound/hit.wav",
                                 "sound/hit2.wav", "sound/shot.wav", "sound/missing.wav"})
            world.content(file, "");
        world.ctx->options.music_volume = 13;
        world.ctx->options.sound_volume = 13;
        world.ctx->frame.appActive = true;
        world.ctx->frame.frameTick = 1000;
    }

    RecordingAudioBackend& recorder() {
        return static_cast<RecordingAudioBackend&>(audio.backend());
    }

    // Opens the library and loads menu (stream), arcade (module), puzzle (stream) and a
    // sample, then forgets the calls so far.
    void startWithMusic() {
        audio.initAudio();
        menu = audio.addSoundEntry("music_menu", "music\\menu.ogg", "ogg", " loop",
                                   "music_menu, music\\menu.ogg, loop");
        arcade = audio.addSoundEntry("music_arcade", "music\\arcade.xm", "xm", " loop",
                                     "music_arcade, music\\arcade.xm, loop");
        puzzle = audio.addSoundEntry("music_puzzle", "music\\puzzle.ogg", "ogg", " loop",
                                     "music_puzzle, music\\puzzle.ogg, loop");
        hit = audio.addSoundEntry("sample_hit", "sound\\hit.wav", "wav", "", "sample_hit, sound\\hit.wav");
        audio.findMusicHandles();
        recorder().clearCalls();
    }

    // Runs the per-frame fade step at a given tick and returns the calls it made.
    Calls frameAt(uint32_t tick) {
        recorder().clearCalls();
        world.ctx->frame.frameTick = tick;
        audio.AdvanceMusicFades();
        return recorder().calls();
    }

    Calls takeCalls() {
        Calls calls = recorder().calls();
        recorder().clearCalls();
        return calls;
    }

    bool anyPlay(const Calls& calls) {
        return std::any_of(calls.begin(), calls.end(),
                           [](const std::string& c) { return c.rfind("play_", 0) == 0; });
    }

    std::string h(int64_t handle) { return std::to_string(handle); }

    test::TestWorld world;
    Audio& audio;
    int64_t menu = -1, arcade = -1, puzzle = -1, hit = -1;
};

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double value;
        int expected;
    } cases[] = {{53.846, 54}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {7.49, 7}, {100.0, 100}, {0.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

TEST_F(AudioTest, MusicLevelsBecomeLibraryVolumesForStreamsAndModules) {
    struct Case {
        int level;
        std::string volume;
    } cases[] = {{13, "100"}, {7, "54"}, {1, "8"}, {0, "0"}};
    for (const Case& c : cases) {
        audio.setMusicLevel(c.level);
        audio.ApplyMusicVolume();
        EXPECT_EQ(takeCalls(), (Calls{"set_volume stream " + c.volume, "set_volume module " + c.volume}))
            << "level " << c.level;
    }
}

TEST_F(AudioTest, SoundLevelBecomesTheSampleVolume) {
    audio.initAudio();
    recorder().clearCalls();
    audio.setSoundLevel(7);
    audio.ApplySoundVolume();
    EXPECT_EQ(takeCalls(), (Calls{"set_volume sample 54"}));
    audio.setSoundLevel(40);  // out of range levels are held at the top
    EXPECT_EQ(audio.soundLevel(), 13);
}

TEST_F(AudioTest, InitAudioLogsOpensAt44100AndAppliesBothVolumes) {
    world.ctx->log.setEnabled(true);
    world.ctx->options.music_volume = 7;
    world.ctx->options.sound_volume = 13;
    audio.initAudio();
    EXPECT_TRUE(audio.soundReady());
    EXPECT_EQ(takeCalls(), (Calls{"init 44100", "set_volume stream 54", "set_volume module 54",
                                  "set_volume sample 100"}));
    EXPECT_NE(test::readFile(world.dir / "user/log.txt").find("BASS_Init"), std::string::npos);
}

TEST_F(AudioTest, ListLinesBecomeStreamsModulesOrSamples) {
    struct Case {
        std::string name, file, extension, field3, line;
        int kind;
        bool loop;
        std::string call;
    } cases[] = {
        {"music_menu", "music\\menu.ogg", "ogg", " loop", "music_menu, music\\menu.ogg, loop", kSoundStream,
         true, "load_stream music\\menu.ogg loop"},
        {"menu_sample", "music\\menu.ogg", "ogg", " loop", "menu_sample, music\\menu.ogg, loop",
         kSoundSample, true, "load_sample music\\menu.ogg loop"},
        {"music_arcade", "music\\arcade.xm", "xm", "", "music_arcade, music\\arcade.xm", kSoundModule,
         false, "load_module music\\arcade.xm"},
        {"music_old", "music\\old.mo3", "mo3", "loop  ", "music_old, music\\old.mo3,loop  ", kSoundModule,
         true, "load_module music\\old.mo3 loop"},
        {"music_theme.wav", "music_theme.wav", "wav", "", "music_theme.wav", kSoundStream, false,
         "load_stream music_theme.wav"},
        {"sample_shot1", "sound\\shot.wav", "wav", " Loop", "sample_shot1, sound\\shot.wav, Loop",
         kSoundSample, false, "load_sample sound\\shot.wav"},
        {"Music_up", "music\\up.xm", "xm", "", "Music_up, music\\up.xm", kSoundSample, false,
         "load_sample music\\up.xm"},
    };
    for (const Case& c : cases) {
        int64_t handle = audio.addSoundEntry(c.name, c.file, c.extension, c.field3, c.line);
        const SoundEntry& entry = audio.soundTable().entries().back();
        EXPECT_EQ(entry.kind, c.kind) << c.line;
        EXPECT_EQ(entry.loop, c.loop) << c.line;
        EXPECT_EQ(entry.handle, handle) << c.line;
        EXPECT_EQ(entry.name, c.name);
        EXPECT_EQ(entry.file, c.file);
        EXPECT_EQ(takeCalls(), (Calls{c.call}));
    }
}

TEST_F(AudioTest, AFileTheLibraryCannotLoadIsStillListedWithHandleZero) {
    recorder().failingFiles.insert("sound\\missing.wav");
    EXPECT_EQ(audio.addSoundEntry("sample_alarm", "sound\\missing.wav", "wav", "", "sample_alarm, sound\\missing.wav"), 0);
    EXPECT_EQ(audio.soundTable().size(), 1u);
    EXPECT_EQ(audio.FindSound("sample_alarm"), 0);
}

TEST_F(AudioTest, OnlyFilesThatAreThereGetAHandle) {
    std::vector<std::string> errors;
    world.ctx->log.setErrorSink([&errors](const std::string& message) { errors.push_back(message); });
    struct Case {
        const char* name;
        const char* file;
        const char* extension;
        bool loads;
        const char* logged;
    };
    // Names are found whatever their case, as the file layer finds every content file.
    const Case cases[] = {
        {"sample_hit", "SOUND\\Hit.WAV", "wav", true, nullptr},
        {"music_menu", "music\\menu.ogg", "ogg", true, nullptr},
        {"sample_gone", "sound\\gone.wav", "wav", false, "cannot load sample sound\\gone.wav: no such file"},
        {"music_gone", "music\\gone.ogg", "ogg", false, "cannot load stream music\\gone.ogg: no such file"},
        {"music_lost", "music\\lost.xm", "xm", false, "cannot load module music\\lost.xm: no such file"},
    };
    for (const Case& c : cases) {
        errors.clear();
        const std::string line = std::string(c.name) + ", " + c.file;
        const int64_t handle = audio.addSoundEntry(c.name, c.file, c.extension, "", line);
        EXPECT_EQ(handle != 0, c.loads) << line;
        EXPECT_EQ(audio.FindSound(c.name), handle) << line;
        EXPECT_EQ(errors, c.logged ? std::vector<std::string>{c.logged} : std::vector<std::string>{})
            << line;
    }
    // Nothing plays from a sound that did not load.
    audio.initAudio();
    EXPECT_EQ(audio.PlaySound(audio.FindSound("sample_gone")), 0);
}

TEST_F(AudioTest, FindSoundTakesTheFirstExactName) {
    startWithMusic();
    int64_t second = audio.addSoundEntry("sample_hit", "sound\\hit2.wav", "wav", "", "sample_hit, sound\\hit2.wav");
    EXPECT_NE(second, hit);
    EXPECT_EQ(audio.FindSound("sample_hit"), hit);
    EXPECT_EQ(audio.FindSound("Sample_hit"), -1);
    EXPECT_EQ(audio.FindSound("sample_nothing"), -1);
    EXPECT_EQ(audio.musicMenu, menu);
    EXPECT_EQ(audio.musicArcade, arcade);
    EXPECT_EQ(audio.musicPuzzle, puzzle);
}

TEST_F(AudioTest, PlaySoundPlaysEachKindItsWay) {
    startWithMusic();
    world.ctx->options.music_amplify = 60;
    int64_t channel = audio.PlaySound(hit);
    EXPECT_GT(channel, 0);
    EXPECT_EQ(audio.PlaySound(arcade), 0);
    EXPECT_EQ(audio.PlaySound(menu), 0);
    EXPECT_EQ(audio.PlaySound(-1), 0);
    EXPECT_EQ(takeCalls(), (Calls{"play_sample " + h(hit) + " at 0", "play_module " + h(arcade) + " loop",
                                  "set_amplify " + h(arcade) + " 60", "play_stream " + h(menu) + " loop"}));
    // Starting somewhere else moves the music after it starts, without amplification.
    audio.PlaySoundAt(arcade, 12);
    audio.PlaySoundAt(hit, 250);
    EXPECT_EQ(takeCalls(), (Calls{"play_module " + h(arcade) + " loop", "set_position " + h(arcade) + " 12",
                                  "play_sample " + h(hit) + " at 250"}));
}

TEST_F(AudioTest, FadeOutZeroSwitchesAtTheFirstFadeTick) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 250);
    EXPECT_TRUE(frameAt(1099).empty());
    EXPECT_EQ(audio.currentMusic(), -1);
    EXPECT_EQ(frameAt(1100), (Calls{"set_volume stream 0", "set_volume module 0", "play_stream " + h(menu) + " loop",
                                    "set_position " + h(menu) + " 0", "set_volume stream 0",
                                    "set_volume module 0"}));
    EXPECT_EQ(audio.currentMusic(), menu);
    EXPECT_EQ(audio.fadeState(), Audio::kFadingIn);
    // 250 ms of fade-in: +0.4 a tick.
    EXPECT_EQ(frameAt(1200), (Calls{"set_volume stream 40", "set_volume module 40"}));
    EXPECT_TRUE(frameAt(1250).empty());
    EXPECT_EQ(frameAt(1300), (Calls{"set_volume stream 80", "set_volume module 80"}));
    EXPECT_EQ(frameAt(1400), (Calls{"set_volume stream 100", "set_volume module 100"}));
    EXPECT_EQ(audio.fadeState(), Audio::kFadeNone);
    EXPECT_TRUE(frameAt(1500).empty());
}

TEST_F(AudioTest, CrossFadeStopsTheOldMusicWhenTheFadeOutEnds) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 0);
    frameAt(1100);
    frameAt(1200);  // the menu music at full volume
    audio.RequestMusic(puzzle, 250, 250);
    EXPECT_EQ(frameAt(1300), (Calls{"set_volume stream 60", "set_volume module 60"}));
    EXPECT_EQ(frameAt(1400), (Calls{"set_volume stream 20", "set_volume module 20"}));
    Calls calls = frameAt(1500);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[2], "stop " + h(menu));
    EXPECT_EQ(calls[3], "play_stream " + h(puzzle) + " loop");
    EXPECT_EQ(audio.currentMusic(), puzzle);
    EXPECT_EQ(audio.pendingMusic(), -1);
}

TEST_F(AudioTest, SilenceStopsTheMusicAndPlaysNothing) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 0);
    frameAt(1100);
    audio.RequestMusic(-1, 0, 250);
    Calls calls = frameAt(1200);
    EXPECT_EQ(calls, (Calls{"set_volume stream 0", "set_volume module 0", "stop " + h(menu), "set_volume stream 0",
                            "set_volume module 0"}));
    EXPECT_EQ(audio.currentMusic(), -1);
}

TEST_F(AudioTest, ArcadeAltStartStartsTheArcadeMusicAtOrder12Once) {
    startWithMusic();
    audio.arcadeAltStart = true;
    audio.RequestMusic(-1, 0, 0);  // the silence at the game's start keeps the flag
    frameAt(1100);
    EXPECT_TRUE(audio.arcadeAltStart);
    audio.RequestMusic(arcade, 0, 250);
    Calls calls = frameAt(1200);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set_position " + h(arcade) + " 12"), calls.end());
    EXPECT_FALSE(audio.arcadeAltStart);
    // Next time without the flag the arcade music starts from its beginning.
    audio.RequestMusic(arcade, 0, 250);
    calls = frameAt(1300);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set_position " + h(arcade) + " 0"), calls.end());
}

TEST_F(AudioTest, AnyOtherMusicClearsArcadeAltStart) {
    startWithMusic();
    audio.arcadeAltStart = true;
    audio.RequestMusic(puzzle, 0, 250);
    Calls calls = frameAt(1100);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set_position " + h(puzzle) + " 0"), calls.end());
    EXPECT_FALSE(audio.arcadeAltStart);
    audio.RequestMusic(arcade, 0, 250);
    calls = frameAt(1200);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set_position " + h(arcade) + " 0"), calls.end());
}

TEST_F(AudioTest, ARequestDuringAFadeRestartsTheFadeOutFromTheCurrentFactor) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 200);
    frameAt(1100);  // menu starts, factor 0
    frameAt(1200);  // fading in: 0.5
    ASSERT_DOUBLE_EQ(audio.musicFade(), 0.5);
    world.ctx->frame.frameTick = 1250;
    audio.RequestMusic(puzzle, 800, 250);
    EXPECT_EQ(audio.fadeState(), Audio::kFadingOut);
    EXPECT_TRUE(frameAt(1300).empty());  // the fade-out's first tick is 100 ms after the request
    // 0.375 gives 37.5, which goes to the even neighbour.
    EXPECT_EQ(frameAt(1350), (Calls{"set_volume stream 38", "set_volume module 38"}));
    EXPECT_EQ(frameAt(1450), (Calls{"set_volume stream 25", "set_volume module 25"}));
    // A second request during the fade-out replaces the music to come and goes on from 0.25.
    world.ctx->frame.frameTick = 1460;
    audio.RequestMusic(arcade, 800, 250);
    EXPECT_EQ(frameAt(1560), (Calls{"set_volume stream 12", "set_volume module 12"}));
    EXPECT_EQ(audio.currentMusic(), menu);
    Calls calls = frameAt(1660);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[2], "stop " + h(menu));
    EXPECT_EQ(calls[3], "play_module " + h(arcade) + " loop");
    EXPECT_EQ(audio.currentMusic(), arcade);
    EXPECT_EQ(audio.pendingMusic(), -1);
}

TEST_F(AudioTest, DeactivateAndRestoreContinueTheMusicWhereItStopped) {
    world.ctx->log.setEnabled(true);
    startWithMusic();
    audio.RequestMusic(menu, 0, 0);
    frameAt(1100);
    frameAt(1200);
    recorder().positions[static_cast<uint32_t>(menu)] = 34567;
    recorder().clearCalls();

    world.ctx->frame.appActive = false;
    audio.onAppDeactivate();
    EXPECT_EQ(takeCalls(), (Calls{"get_position " + h(menu), "stop " + h(menu), "set_volume stream 0",
                                  "set_volume module 0", "set_volume sample 0"}));
    EXPECT_EQ(audio.resumePosition(), 34567);
    EXPECT_EQ(audio.musicFocus(), 0.0);

    world.ctx->frame.frameTick = 5000;
    audio.onAppRestore();
    world.ctx->frame.appActive = true;
    EXPECT_EQ(takeCalls(), (Calls{"play_stream " + h(menu) + " loop", "set_position " + h(menu) + " 34567"}));
    // Full focus volume at the next frame.
    EXPECT_EQ(frameAt(5000), (Calls{"set_volume stream 100", "set_volume module 100"}));
    EXPECT_EQ(audio.focusTask(), 0);
    EXPECT_TRUE(frameAt(5100).empty());
    EXPECT_NE(test::readFile(world.dir / "user/log.txt").find("music_app_task: 4"), std::string::npos);

    audio.restoreSampleFocus();
    EXPECT_EQ(takeCalls(), (Calls{"set_volume sample 100"}));
    audio.restoreSampleFocus();  // only once: the factor is back at 1
    EXPECT_TRUE(takeCalls().empty());
}

TEST_F(AudioTest, MusicChangedWhileInactiveWaitsForTheRestore) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 250);
    frameAt(1100);
    audio.RequestMusic(arcade, 250, 250);
    audio.arcadeAltStart = true;
    world.ctx->frame.appActive = false;
    audio.onAppDeactivate();
    for (uint32_t tick = 1200; tick <= 1600; tick += 100) EXPECT_FALSE(anyPlay(frameAt(tick))) << tick;
    EXPECT_EQ(audio.currentMusic(), arcade);
    EXPECT_EQ(audio.fadeState(), Audio::kFadingIn);
    EXPECT_EQ(audio.musicFade(), 0.0);  // no fade-in while in the background
    recorder().clearCalls();
    audio.onAppRestore();
    world.ctx->frame.appActive = true;
    EXPECT_EQ(takeCalls(), (Calls{"play_module " + h(arcade) + " loop", "set_position " + h(arcade) + " 12"}));
    EXPECT_FALSE(audio.arcadeAltStart);
}

TEST_F(AudioTest, WithoutSoundNothingPlaysAndVolumeChangesRetryTheInit) {
    recorder().failInit = true;
    world.ctx->options.sound_volume = 5;
    startWithMusic();
    EXPECT_FALSE(audio.soundReady());
    EXPECT_EQ(audio.PlaySound(hit), 0);
    EXPECT_EQ(audio.PlaySoundAt(menu, 100), 0);
    audio.RequestMusic(menu, 0, 250);
    for (uint32_t tick = 1100; tick <= 1500; tick += 100) EXPECT_FALSE(anyPlay(frameAt(tick)));
    audio.onAppDeactivate();
    audio.onAppRestore();
    audio.restoreSampleFocus();
    EXPECT_FALSE(anyPlay(takeCalls()));

    // At level 0 nothing is tried; above it every change tries the library again.
    audio.setSoundLevel(0);
    audio.ApplySoundVolume();
    EXPECT_TRUE(takeCalls().empty());
    audio.setSoundLevel(3);
    audio.ApplySoundVolume();
    EXPECT_EQ(takeCalls(), (Calls{"init 44100"}));
    recorder().failInit = false;
    audio.ApplySoundVolume();
    EXPECT_EQ(takeCalls(), (Calls{"init 44100", "set_volume sample 23"}));
    EXPECT_TRUE(audio.soundReady());
    EXPECT_GT(audio.PlaySound(hit), 0);
}

TEST_F(AudioTest, InitFailureAtStartTriesAgainOnlyWhenTheSoundLevelIsAboveZero) {
    recorder().failInit = true;
    world.ctx->options.sound_volume = 0;
    audio.initAudio();
    EXPECT_EQ(takeCalls(), (Calls{"init 44100", "set_volume stream 100", "set_volume module 100"}));
    world.ctx->options.sound_volume = 1;
    audio.initAudio();
    EXPECT_EQ(takeCalls(), (Calls{"init 44100", "set_volume stream 100", "set_volume module 100", "init 44100"}));
}

TEST_F(AudioTest, StateDumpListsTheCallsAndTheMusic) {
    startWithMusic();
    audio.RequestMusic(menu, 0, 250);
    frameAt(1100);
    JsonWriter json;
    writeAudioState(json, audio);
    const std::string& text = json.str();
    EXPECT_NE(text.find("\"soundReady\":true"), std::string::npos) << text;
    EXPECT_NE(text.find("\"currentMusic\":" + h(menu)), std::string::npos) << text;
    EXPECT_NE(text.find("\"play_stream " + h(menu) + " loop\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"name\":\"music_arcade\""), std::string::npos) << text;
}

TEST(RecordingAudioBackend, KeepsTheNewestCallsOfALongRun) {
    test::TestWorld world;
    RecordingAudioBackend recorder(world.ctx->files, world.ctx->log);
    for (size_t i = 0; i < RecordingAudioBackend::kMaxCalls + 10; ++i) recorder.stopChannel(static_cast<uint32_t>(i + 1));
    EXPECT_LE(recorder.calls().size(), RecordingAudioBackend::kMaxCalls);
    EXPECT_EQ(recorder.calls().back(), "stop " + std::to_string(RecordingAudioBackend::kMaxCalls + 10));
    EXPECT_EQ(recorder.droppedCalls() + recorder.calls().size(), RecordingAudioBackend::kMaxCalls + 10);
}

}  // namespace
}  // namespace qs
