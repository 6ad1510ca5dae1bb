#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_backend.h"
#include "audio/sound_table.h"

namespace qs {

class Log;
struct GameOptions;

// What the sound player needs of the run: the settings (the volumes are read and set there),
// the log, and the frame's tick and the window's focus, which pace the music's fades.
struct AudioServices {
    GameOptions& options;
    Log& log;
    const uint32_t& frameTick;
    const bool& appActive;
};
class RecordingAudioBackend;

// The game's sound: the sound table, sample playback, the music with its cross-fades,
// the focus fades and the two volume levels. It talks to whichever AudioBackend it was
// given and never knows which one that is.
//
// Levels come from the options (`music_volume`, `sound_volume`, 0..13); `music_amplify`
// too. Time is the frame's `frameTick`.
class Audio {
public:
    Audio(const AudioServices& services, std::unique_ptr<AudioBackend> backend);

    AudioBackend& backend() { return *backend_; }
    // The recording backend when that is the one in use (tests, headless runs).
    const RecordingAudioBackend* recording() const;
    const SoundTable& soundTable() const { return table_; }

    // First frame: logs "BASS_Init", opens the library at 44100 Hz, applies both volumes.
    void initAudio();
    // First frame, once the music list is loaded: `musicMenu`, `musicArcade`, `musicPuzzle`.
    void findMusicHandles();

    // Loads one sound line of a resource list and appends it to the table; the handle
    // (0 when the library could not load it). `line` is the whole list line.
    int64_t addSoundEntry(const std::string& name, const std::string& file,
                          const std::string& extension, const std::string& field3,
                          const std::string& line);

    int64_t FindSound(const std::string& name) const { return table_.FindSound(name); }
    // A sample gives its channel; music and everything that does not play give 0.
    int64_t PlaySound(int64_t handle);
    int64_t PlaySoundAt(int64_t handle, int64_t position);

    // Cross-fade to other music (-1: silence).
    void RequestMusic(int64_t handle, int fadeOutMs, int fadeInMs);
    // Once per frame, before `frameTick` moves on.
    void AdvanceMusicFades();

    void ApplyMusicVolume();
    void ApplySoundVolume();

    // The focus rules: the music stops at a remembered position and the samples fall
    // silent; on return the music starts again there and comes back to full volume.
    void onAppDeactivate();
    void onAppRestore();
    // Every frame while the application is active: the samples are heard again.
    void restoreSampleFocus();

    int musicLevel() const;
    int soundLevel() const;
    // Clamped to 0..13 and kept in the options; apply the volume afterwards.
    void setMusicLevel(int level);
    void setSoundLevel(int level);

    bool soundReady() const { return soundReady_; }
    int64_t currentMusic() const { return currentMusic_; }
    int64_t pendingMusic() const { return pendingMusic_; }
    double musicFade() const { return musicFade_; }
    double musicFocus() const { return musicFocus_; }
    double sampleFocus() const { return sampleFocus_; }
    int fadeState() const { return fadeState_; }
    int focusTask() const { return focusTask_; }
    int64_t resumePosition() const { return resumePosition_; }

    enum FadeState : int { kFadeNone = 0, kFadingOut = 1, kFadingIn = 2 };
    static constexpr int kFocusFadingIn = 4;
    static constexpr int kFrequency = 44100;
    static constexpr uint32_t kFadeTickInterval = 100;
    // Where the arcade music starts on the levels that ask for its second part.
    static constexpr int64_t kArcadeAltStartOrder = 12;

    // Set by the game on even arcade levels; cleared when any other music starts.
    bool arcadeAltStart = false;
    int64_t musicMenu = -1;
    int64_t musicArcade = -1;
    int64_t musicPuzzle = -1;

private:
    void switchMusic();
    int64_t play(int64_t handle, int64_t position, bool at);

    AudioServices services_;
    std::unique_ptr<AudioBackend> backend_;
    SoundTable table_;

    bool soundReady_ = false;
    int64_t currentMusic_ = -1;
    int64_t pendingMusic_ = -1;
    double musicFade_ = 1.0;
    int fadeState_ = kFadeNone;
    double fadeStep_ = 0.0;
    int fadeInLength_ = 0;
    uint32_t nextFadeTick_ = 0;
    double musicFocus_ = 1.0;
    int focusTask_ = 0;
    double focusStep_ = 0.0;
    uint32_t nextFocusTick_ = 0;
    int64_t resumePosition_ = 0;
    double sampleFocus_ = 1.0;
};

// The nearest integer; a value exactly halfway goes to the even neighbour.
int roundHalfEven(double value);

}  // namespace qs
