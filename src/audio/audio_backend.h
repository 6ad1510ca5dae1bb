#pragma once

#include <cstdint>
#include <string>

namespace qs {

// The three global volumes the sound library keeps: one for all samples, one for all
// streams, one for all tracker modules.
enum class VolumeKind { Sample, Stream, Module };

const char* volumeKindName(VolumeKind kind);

// What every backend logs when a load fails, so a headless run reads like a real one:
// "cannot load sample sound\shot.wav: no such file".
std::string loadFailureMessage(const std::string& what, const std::string& file,
                               const std::string& reason);

// The sound library as the game uses it: exactly the calls the game makes, with the
// results it relies on. Handles are 32-bit and 0 means failure. A stream or a module is
// its own channel; playing a sample gives a new channel handle.
//
// Positions are 64-bit values whose unit the library defines; the game passes back what
// getPosition gave it, or small numbers it chose itself (0 = the start; for a module the
// value n means pattern order n, row 0).
class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Opens the output device at the given rate. True when it is ready (also when it
    // already was).
    virtual bool init(int frequency) = 0;
    // 0..100; applies at once to everything of that kind.
    virtual void setVolume(VolumeKind kind, int volume) = 0;

    // Content names as the lists write them ("sound\shot.wav").
    virtual uint32_t loadSample(const std::string& file, bool loop) = 0;
    virtual uint32_t loadModule(const std::string& file, bool loop) = 0;
    virtual uint32_t loadStream(const std::string& file, bool loop) = 0;

    // Plays a sample with its own defaults from `start`; the channel, or 0.
    virtual uint32_t playSample(uint32_t sample, int64_t start, bool loop) = 0;
    // Plays a module from its start with its state reset.
    virtual bool playModule(uint32_t module, bool loop) = 0;
    // The module's amplification (the game's music_amplify).
    virtual bool setModuleAmplify(uint32_t module, int amplify) = 0;
    virtual bool playStream(uint32_t stream, bool loop) = 0;

    virtual bool stopChannel(uint32_t channel) = 0;
    virtual bool setPosition(uint32_t channel, int64_t position) = 0;
    // The channel's position, or -1 when it has none.
    virtual int64_t getPosition(uint32_t channel) = 0;
};

}  // namespace qs
