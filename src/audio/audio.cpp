#include "audio/audio.h"

#include <algorithm>
#include <cmath>

#include "audio/recording_audio_backend.h"
#include "core/log.h"
#include "core/options.h"
#include "core/text_util.h"

namespace qs {

namespace {

constexpr int kMaxLevel = 13;

// Ticks wrap after 49 days; compare by distance, not by value.
bool reached(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

// A fade of length 0 ends at its first tick.
double fadeStepFor(int lengthMs) { return lengthMs > 0 ? 100.0 / lengthMs : 1.0; }

uint32_t libraryHandle(int64_t handle) { return static_cast<uint32_t>(handle); }

}  // namespace

int roundHalfEven(double value) {
    double whole = std::floor(value);
    double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<int>(whole);
}

Audio::Audio(const AudioServices& services, std::unique_ptr<AudioBackend> backend)
    : services_(services), backend_(std::move(backend)) {}

const RecordingAudioBackend* Audio::recording() const {
    return dynamic_cast<const RecordingAudioBackend*>(backend_.get());
}

void Audio::initAudio() {
    // The log has always named the library call here; scripts that read logs expect it.
    services_.log.WriteLog("BASS_Init");
    soundReady_ = backend_->init(kFrequency);
    ApplyMusicVolume();
    ApplySoundVolume();
}

void Audio::findMusicHandles() {
    musicMenu = FindSound("music_menu");
    musicArcade = FindSound("music_arcade");
    musicPuzzle = FindSound("music_puzzle");
}

int64_t Audio::addSoundEntry(const std::string& name, const std::string& file,
                             const std::string& extension, const std::string& field3,
                             const std::string& line) {
    SoundEntry entry;
    entry.name = cutLine(name);
    entry.file = cutLine(file);
    entry.extension = cutLine(extension);
    entry.loop = loopRequested(field3);
    entry.kind = soundKindFor(line, entry.extension);
    uint32_t handle = 0;
    switch (entry.kind) {
        case kSoundStream: handle = backend_->loadStream(entry.file, entry.loop); break;
        case kSoundModule: handle = backend_->loadModule(entry.file, entry.loop); break;
        default: handle = backend_->loadSample(entry.file, entry.loop); break;
    }
    entry.handle = handle;
    table_.append(std::move(entry));
    return handle;
}

int64_t Audio::play(int64_t handle, int64_t position, bool at) {
    if (!soundReady_) return 0;
    const SoundEntry* entry = table_.entryWithHandle(handle);
    if (!entry) return 0;
    const uint32_t h = libraryHandle(entry->handle);
    switch (entry->kind) {
        case kSoundSample: return backend_->playSample(h, at ? position : 0, entry->loop);
        case kSoundModule:
            backend_->playModule(h, entry->loop);
            if (at)
                backend_->setPosition(h, position);
            else
                backend_->setModuleAmplify(h, services_.options.music_amplify);
            return 0;
        case kSoundStream:
            backend_->playStream(h, entry->loop);
            if (at) backend_->setPosition(h, position);
            return 0;
    }
    return 0;
}

int64_t Audio::PlaySound(int64_t handle) { return play(handle, 0, false); }

int64_t Audio::PlaySoundAt(int64_t handle, int64_t position) { return play(handle, position, true); }

void Audio::RequestMusic(int64_t handle, int fadeOutMs, int fadeInMs) {
    // A request in the middle of a fade starts the fade-out again from where the factor is.
    fadeState_ = kFadingOut;
    pendingMusic_ = handle;
    fadeInLength_ = fadeInMs;
    nextFadeTick_ = services_.frameTick + kFadeTickInterval;
    fadeStep_ = fadeStepFor(fadeOutMs);
}

void Audio::AdvanceMusicFades() {
    const uint32_t now = services_.frameTick;
    if (fadeState_ == kFadingOut && reached(now, nextFadeTick_)) {
        musicFade_ = std::max(0.0, musicFade_ - fadeStep_);
        ApplyMusicVolume();
        nextFadeTick_ = now + kFadeTickInterval;
        if (!(musicFade_ > 0.0)) switchMusic();
    }
    if (fadeState_ == kFadingIn && services_.appActive && reached(now, nextFadeTick_)) {
        musicFade_ = std::min(1.0, musicFade_ + fadeStep_);
        ApplyMusicVolume();
        nextFadeTick_ = now + kFadeTickInterval;
        if (musicFade_ >= 1.0) {
            musicFade_ = 1.0;
            fadeState_ = kFadeNone;
        }
    }
    if (focusTask_ != 0) services_.log.WriteLog("music_app_task: " + std::to_string(focusTask_));
    if (focusTask_ == kFocusFadingIn && reached(now, nextFocusTick_)) {
        musicFocus_ = std::min(1.0, musicFocus_ + focusStep_);
        ApplyMusicVolume();
        nextFocusTick_ = now + kFadeTickInterval;
        if (musicFocus_ >= 1.0) {
            musicFocus_ = 1.0;
            focusTask_ = 0;
        }
    }
}

void Audio::switchMusic() {
    musicFade_ = 0.0;
    fadeState_ = kFadingIn;
    if (currentMusic_ != -1) backend_->stopChannel(libraryHandle(currentMusic_));
    currentMusic_ = pendingMusic_;
    pendingMusic_ = -1;
    resumePosition_ = 0;
    fadeStep_ = fadeStepFor(fadeInLength_);
    if (currentMusic_ != -1) {
        if (currentMusic_ != musicArcade) arcadeAltStart = false;
        const int64_t start = arcadeAltStart ? kArcadeAltStartOrder : 0;
        arcadeAltStart = false;
        if (services_.appActive) {
            PlaySound(currentMusic_);
            backend_->setPosition(libraryHandle(currentMusic_), start);
        } else {
            // Nothing may sound while the application is in the background: the new music
            // waits for the restore, which starts it from here.
            resumePosition_ = start;
        }
    }
    ApplyMusicVolume();
}

int Audio::musicLevel() const { return std::clamp(services_.options.music_volume, 0, kMaxLevel); }

int Audio::soundLevel() const { return std::clamp(services_.options.sound_volume, 0, kMaxLevel); }

void Audio::setMusicLevel(int level) { services_.options.music_volume = std::clamp(level, 0, kMaxLevel); }

void Audio::setSoundLevel(int level) { services_.options.sound_volume = std::clamp(level, 0, kMaxLevel); }

void Audio::ApplyMusicVolume() {
    const int value = roundHalfEven(musicLevel() * 100.0 * musicFade_ * musicFocus_ / kMaxLevel);
    backend_->setVolume(VolumeKind::Stream, value);
    backend_->setVolume(VolumeKind::Module, value);
}

void Audio::ApplySoundVolume() {
    // A machine that had no usable sound device may have one now.
    if (soundLevel() > 0 && !soundReady_) soundReady_ = backend_->init(kFrequency);
    if (soundReady_)
        backend_->setVolume(VolumeKind::Sample,
                            roundHalfEven(soundLevel() * sampleFocus_ * 100.0 / kMaxLevel));
}

void Audio::onAppDeactivate() {
    musicFocus_ = 0.0;
    focusTask_ = 0;
    if (currentMusic_ != -1) {
        // A channel the library cannot place (never started, no device) resumes from its start.
        resumePosition_ = std::max<int64_t>(0, backend_->getPosition(libraryHandle(currentMusic_)));
        backend_->stopChannel(libraryHandle(currentMusic_));
    }
    ApplyMusicVolume();
    sampleFocus_ = 0.0;
    if (soundReady_) ApplySoundVolume();
}

void Audio::onAppRestore() {
    nextFocusTick_ = services_.frameTick;
    focusStep_ = 100.0;
    if (currentMusic_ != -1) PlaySoundAt(currentMusic_, resumePosition_);
    focusTask_ = kFocusFadingIn;
}

void Audio::restoreSampleFocus() {
    if (sampleFocus_ != 0.0) return;
    sampleFocus_ = 1.0;
    if (soundReady_) ApplySoundVolume();
}

}  // namespace qs
