#include "audio/sdl_mixer_backend.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include <SDL.h>
#include <SDL_mixer.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"

namespace qs {

namespace {

constexpr int kUnityAmplify = 75;
constexpr int kChunkSize = 1024;

int mixerVolume(int volume) { return (std::clamp(volume, 0, 100) * MIX_MAX_VOLUME + 50) / 100; }

struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
};
struct MusicFree {
    void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
};
using ChunkPtr = std::unique_ptr<Mix_Chunk, ChunkFree>;
using MusicPtr = std::unique_ptr<Mix_Music, MusicFree>;

enum class Kind { Sample, Module, Stream };

struct Sound {
    Kind kind = Kind::Sample;
    ChunkPtr chunk;
    MusicPtr music;
    int amplify = kUnityAmplify;
};

// What one mixing channel plays, so a channel handle finds its channel and a full set
// knows which sample is the oldest.
struct ChannelSlot {
    uint32_t handle = 0;
    bool loop = false;
    uint64_t startOrder = 0;
    uint64_t startTick = 0;
    ChunkPtr tail;  // a view into a sample's data when it started past its beginning
};

class SdlMixerBackend final : public AudioBackend {
public:
    SdlMixerBackend(const FileSystem& files, Log& log) : files_(files), log_(log) {}
    ~SdlMixerBackend() override;

    bool init(int frequency) override;
    void setVolume(VolumeKind kind, int volume) override;
    uint32_t loadSample(const std::string& file, bool loop) override;
    uint32_t loadModule(const std::string& file, bool loop) override;
    uint32_t loadStream(const std::string& file, bool loop) override;
    uint32_t playSample(uint32_t sample, int64_t start, bool loop) override;
    bool playModule(uint32_t module, bool loop) override;
    bool setModuleAmplify(uint32_t module, int amplify) override;
    bool playStream(uint32_t stream, bool loop) override;
    bool stopChannel(uint32_t channel) override;
    bool setPosition(uint32_t channel, int64_t position) override;
    int64_t getPosition(uint32_t channel) override;

private:
    uint32_t newHandle();
    Sound* find(uint32_t handle, Kind kind);
    uint32_t loadMusic(const std::string& file, Kind kind);
    bool playMusic(uint32_t handle, Kind kind, bool loop);
    void applyMusicVolume();
    int stealChannel();
    ChannelSlot* slotFor(uint32_t channel);
    int64_t musicPosition();
    void reportLoadFailure(const std::string& what, const std::string& file, const char* reason);

    const FileSystem& files_;
    Log& log_;
    bool subsystem_ = false;
    bool decoders_ = false;
    bool open_ = false;
    bool initFailureReported_ = false;
    int frameBytes_ = 4;
    int frequency_ = 44100;
    int volumes_[3] = {100, 100, 100};

    std::unordered_map<uint32_t, Sound> sounds_;
    std::vector<ChannelSlot> channels_;
    uint32_t lastHandle_ = 0;
    uint64_t playCount_ = 0;

    // The music now playing (one at a time), and where its position is measured from.
    uint32_t music_ = 0;
    Kind musicKind_ = Kind::Stream;
    bool musicLoop_ = false;
    int64_t anchorMs_ = 0;        // milliseconds from the start at anchorTick_
    int anchorOrder_ = 0;         // a module moved to another order has no time position
    uint64_t anchorTick_ = 0;
    // The last music stopped, with its position at that moment.
    uint32_t stopped_ = 0;
    int64_t stoppedPosition_ = 0;
};

SdlMixerBackend::~SdlMixerBackend() {
    if (open_) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        channels_.clear();
        sounds_.clear();
        Mix_CloseAudio();
    }
    if (decoders_) Mix_Quit();
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlMixerBackend::init(int frequency) {
    if (open_) return true;
    if (!subsystem_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::string reason = SDL_GetError();
            if (!initFailureReported_) log_.error("no sound: " + reason);
            initFailureReported_ = true;
            return false;
        }
        subsystem_ = true;
    }
    const int wanted = MIX_INIT_OGG | MIX_INIT_MOD | MIX_INIT_MP3;
    const int got = Mix_Init(wanted);
    decoders_ = true;
    if ((got & wanted) != wanted)
        log_.WriteLog(std::string("sound decoders missing: ") + Mix_GetError());
    if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, kChunkSize) != 0) {
        std::string reason = Mix_GetError();
        if (!initFailureReported_) log_.error("no sound: " + reason);
        initFailureReported_ = true;
        return false;
    }
    open_ = true;
    int channelCount = 2;
    Uint16 format = MIX_DEFAULT_FORMAT;
    Mix_QuerySpec(&frequency_, &format, &channelCount);
    frameBytes_ = std::max(1, static_cast<int>(SDL_AUDIO_BITSIZE(format)) / 8 * channelCount);
    Mix_AllocateChannels(kMixingChannels);
    channels_.clear();
    channels_.resize(kMixingChannels);
    // Volumes set before the device opened hold from now on.
    Mix_MasterVolume(mixerVolume(volumes_[static_cast<int>(VolumeKind::Sample)]));
    applyMusicVolume();
    return true;
}

uint32_t SdlMixerBackend::newHandle() {
    if (++lastHandle_ == 0) lastHandle_ = 1;
    return lastHandle_;
}

Sound* SdlMixerBackend::find(uint32_t handle, Kind kind) {
    auto it = sounds_.find(handle);
    if (it == sounds_.end() || it->second.kind != kind) return nullptr;
    return &it->second;
}

void SdlMixerBackend::reportLoadFailure(const std::string& what, const std::string& file,
                                        const char* reason) {
    log_.error(loadFailureMessage(what, file, reason));
}

void SdlMixerBackend::setVolume(VolumeKind kind, int volume) {
    volumes_[static_cast<int>(kind)] = std::clamp(volume, 0, 100);
    if (!open_) return;
    if (kind == VolumeKind::Sample)
        Mix_MasterVolume(mixerVolume(volume));
    else
        applyMusicVolume();
}

void SdlMixerBackend::applyMusicVolume() {
    if (!open_) return;
    if (music_ == 0) {
        Mix_VolumeMusic(mixerVolume(volumes_[static_cast<int>(VolumeKind::Stream)]));
        return;
    }
    if (musicKind_ == Kind::Stream) {
        Mix_VolumeMusic(mixerVolume(volumes_[static_cast<int>(VolumeKind::Stream)]));
        return;
    }
    const Sound* module = find(music_, Kind::Module);
    const int amplify = module ? module->amplify : kUnityAmplify;
    const double gain = static_cast<double>(amplify) / kUnityAmplify;
    const double volume = mixerVolume(volumes_[static_cast<int>(VolumeKind::Module)]) * gain;
    Mix_VolumeMusic(std::clamp(static_cast<int>(std::lround(volume)), 0, MIX_MAX_VOLUME));
}

uint32_t SdlMixerBackend::loadSample(const std::string& file, bool) {
    if (!open_) return 0;
    std::optional<std::filesystem::path> path = files_.resolveContent(file);
    if (!path) {
        reportLoadFailure("sample", file, "no such file");
        return 0;
    }
    ChunkPtr chunk(Mix_LoadWAV(path->string().c_str()));
    if (!chunk) {
        reportLoadFailure("sample", file, Mix_GetError());
        return 0;
    }
    uint32_t handle = newHandle();
    Sound& sound = sounds_[handle];
    sound.kind = Kind::Sample;
    sound.chunk = std::move(chunk);
    return handle;
}

uint32_t SdlMixerBackend::loadMusic(const std::string& file, Kind kind) {
    if (!open_) return 0;
    const char* what = kind == Kind::Module ? "module" : "stream";
    if (kind == Kind::Module && endsWithNoCase(file, ".mo3")) {
        // MO3 packs its samples with codecs the mixer's module player does not have.
        reportLoadFailure(what, file, "MO3 modules cannot be decoded here");
        return 0;
    }
    std::optional<std::filesystem::path> path = files_.resolveContent(file);
    if (!path) {
        reportLoadFailure(what, file, "no such file");
        return 0;
    }
    MusicPtr music(Mix_LoadMUS(path->string().c_str()));
    if (!music) {
        reportLoadFailure(what, file, Mix_GetError());
        return 0;
    }
    uint32_t handle = newHandle();
    Sound& sound = sounds_[handle];
    sound.kind = kind;
    sound.music = std::move(music);
    return handle;
}

uint32_t SdlMixerBackend::loadModule(const std::string& file, bool) {
    return loadMusic(file, Kind::Module);
}

uint32_t SdlMixerBackend::loadStream(const std::string& file, bool) {
    return loadMusic(file, Kind::Stream);
}

int SdlMixerBackend::stealChannel() {
    // Busy moments (a chain of explosions) must still be heard: the oldest one-shot sample
    // gives way; a looping sound only when nothing else plays.
    int oldest = -1;
    for (int pass = 0; pass < 2 && oldest < 0; ++pass) {
        for (int ch = 0; ch < static_cast<int>(channels_.size()); ++ch) {
            if (pass == 0 && channels_[ch].loop) continue;
            if (oldest < 0 || channels_[ch].startOrder < channels_[oldest].startOrder) oldest = ch;
        }
    }
    if (oldest >= 0) Mix_HaltChannel(oldest);
    return oldest;
}

uint32_t SdlMixerBackend::playSample(uint32_t sample, int64_t start, bool loop) {
    if (!open_) return 0;
    Sound* sound = find(sample, Kind::Sample);
    if (!sound) return 0;
    Mix_Chunk* chunk = sound->chunk.get();
    ChunkPtr tail;
    if (start > 0) {
        const int64_t bytes = start * frequency_ / 1000 * frameBytes_;
        if (bytes >= static_cast<int64_t>(chunk->alen)) return 0;
        tail.reset(Mix_QuickLoad_RAW(chunk->abuf + bytes, chunk->alen - static_cast<Uint32>(bytes)));
        if (!tail) return 0;
        tail->volume = chunk->volume;
        chunk = tail.get();
    }
    const int loops = loop ? -1 : 0;
    int ch = Mix_PlayChannel(-1, chunk, loops);
    if (ch < 0) {
        ch = stealChannel();
        if (ch >= 0) ch = Mix_PlayChannel(ch, chunk, loops);
    }
    if (ch < 0 || ch >= static_cast<int>(channels_.size())) return 0;
    ChannelSlot& slot = channels_[ch];
    slot.handle = newHandle();
    slot.loop = loop;
    slot.startOrder = ++playCount_;
    slot.startTick = SDL_GetTicks64() - static_cast<uint64_t>(std::max<int64_t>(0, start));
    slot.tail = std::move(tail);  // the channel no longer plays the previous view
    return slot.handle;
}

bool SdlMixerBackend::playMusic(uint32_t handle, Kind kind, bool loop) {
    if (!open_) return false;
    Sound* sound = find(handle, kind);
    if (!sound) return false;
    if (Mix_PlayMusic(sound->music.get(), loop ? -1 : 1) != 0) {
        log_.WriteLog(std::string("music does not play: ") + Mix_GetError());
        return false;
    }
    music_ = handle;
    musicKind_ = kind;
    musicLoop_ = loop;
    anchorMs_ = 0;
    anchorOrder_ = 0;
    anchorTick_ = SDL_GetTicks64();
    if (stopped_ == handle) stopped_ = 0;
    applyMusicVolume();
    return true;
}

bool SdlMixerBackend::playModule(uint32_t module, bool loop) {
    return playMusic(module, Kind::Module, loop);
}

bool SdlMixerBackend::playStream(uint32_t stream, bool loop) {
    return playMusic(stream, Kind::Stream, loop);
}

bool SdlMixerBackend::setModuleAmplify(uint32_t module, int amplify) {
    Sound* sound = find(module, Kind::Module);
    if (!sound) return false;
    sound->amplify = std::clamp(amplify, 0, 100);
    if (music_ == module) applyMusicVolume();
    return true;
}

ChannelSlot* SdlMixerBackend::slotFor(uint32_t channel) {
    for (size_t ch = 0; ch < channels_.size(); ++ch) {
        if (channels_[ch].handle == channel && Mix_Playing(static_cast<int>(ch)))
            return &channels_[ch];
    }
    return nullptr;
}

int64_t SdlMixerBackend::musicPosition() {
    if (musicKind_ == Kind::Module && anchorOrder_ != 0) return anchorOrder_;
    Sound* sound = find(music_, musicKind_);
    int64_t ms = -1;
    if (sound && musicKind_ == Kind::Stream) {
        double seconds = Mix_GetMusicPosition(sound->music.get());
        if (seconds >= 0) ms = static_cast<int64_t>(std::llround(seconds * 1000.0));
    }
    if (ms < 0) {
        // The module player cannot tell where it is; time since the anchor can.
        ms = anchorMs_ + static_cast<int64_t>(SDL_GetTicks64() - anchorTick_);
        double duration = sound ? Mix_MusicDuration(sound->music.get()) : -1.0;
        int64_t length = duration > 0 ? static_cast<int64_t>(duration * 1000.0) : 0;
        if (length > 0) ms = musicLoop_ ? ms % length : std::min(ms, length);
    }
    return musicKind_ == Kind::Module ? (kModuleTimeFlag | ms) : ms;
}

bool SdlMixerBackend::stopChannel(uint32_t channel) {
    if (!open_ || channel == 0) return false;
    if (channel == music_) {
        stoppedPosition_ = musicPosition();
        stopped_ = channel;
        Mix_HaltMusic();
        music_ = 0;
        return true;
    }
    if (ChannelSlot* slot = slotFor(channel)) {
        Mix_HaltChannel(static_cast<int>(slot - channels_.data()));
        return true;
    }
    return false;
}

bool SdlMixerBackend::setPosition(uint32_t channel, int64_t position) {
    if (!open_ || channel == 0 || channel != music_ || position < 0) return false;
    if (musicKind_ == Kind::Module && (position & kModuleTimeFlag) == 0) {
        if (position > 0xFFFF || Mix_ModMusicJumpToOrder(static_cast<int>(position)) != 0)
            return false;
        anchorOrder_ = static_cast<int>(position);
        anchorMs_ = 0;
    } else {
        const int64_t ms = position & ~kModuleTimeFlag;
        if (Mix_SetMusicPosition(static_cast<double>(ms) / 1000.0) != 0) return false;
        anchorOrder_ = 0;
        anchorMs_ = ms;
    }
    anchorTick_ = SDL_GetTicks64();
    return true;
}

int64_t SdlMixerBackend::getPosition(uint32_t channel) {
    if (!open_ || channel == 0) return -1;
    if (channel == music_) return musicPosition();
    if (channel == stopped_) return stoppedPosition_;
    if (ChannelSlot* slot = slotFor(channel))
        return static_cast<int64_t>(SDL_GetTicks64() - slot->startTick);
    return -1;
}

}  // namespace

bool decodeSoundFile(const std::string& path, std::string* error) {
    static bool opened = false;
    static std::string openError;
    if (!opened && openError.empty()) {
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            openError = SDL_GetError();
        } else {
            Mix_Init(MIX_INIT_OGG | MIX_INIT_MOD | MIX_INIT_MP3);
            if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, kChunkSize) != 0) openError = Mix_GetError();
            else opened = true;
        }
    }
    if (!opened) {
        if (error) *error = "no decoder: " + openError;
        return false;
    }
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (!music) {
        if (error) *error = Mix_GetError();
        return false;
    }
    Mix_FreeMusic(music);
    return true;
}

std::unique_ptr<AudioBackend> makeSdlMixerBackend(const FileSystem& files, Log& log) {
    return std::make_unique<SdlMixerBackend>(files, log);
}

}  // namespace qs
