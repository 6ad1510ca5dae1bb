#include "audio/recording_audio_backend.h"

#include <cstddef>

#include "core/file_system.h"
#include "core/log.h"

namespace qs {

namespace {

std::string loopWord(bool loop) { return loop ? " loop" : ""; }

}  // namespace

void RecordingAudioBackend::record(std::string line) {
    if (calls_.size() >= kMaxCalls) {
        // Soak runs play for hours; the recent calls are the interesting ones.
        const size_t drop = kMaxCalls / 2;
        calls_.erase(calls_.begin(), calls_.begin() + static_cast<std::ptrdiff_t>(drop));
        dropped_ += drop;
    }
    calls_.push_back(std::move(line));
}

uint32_t RecordingAudioBackend::nextHandle() {
    if (++lastHandle_ == 0) lastHandle_ = 1;
    return lastHandle_;
}

uint32_t RecordingAudioBackend::load(const char* what, const std::string& file, bool loop) {
    record(std::string("load_") + what + " " + file + loopWord(loop));
    if (!files_.contentExists(file)) {
        log_.error(loadFailureMessage(what, file, "no such file"));
        return 0;
    }
    if (failingFiles.count(file) != 0) {
        log_.error(loadFailureMessage(what, file, "scripted to fail"));
        return 0;
    }
    return nextHandle();
}

bool RecordingAudioBackend::init(int frequency) {
    record("init " + std::to_string(frequency));
    return !failInit;
}

void RecordingAudioBackend::setVolume(VolumeKind kind, int volume) {
    record(std::string("set_volume ") + volumeKindName(kind) + " " + std::to_string(volume));
}

uint32_t RecordingAudioBackend::loadSample(const std::string& file, bool loop) {
    return load("sample", file, loop);
}

uint32_t RecordingAudioBackend::loadModule(const std::string& file, bool loop) {
    return load("module", file, loop);
}

uint32_t RecordingAudioBackend::loadStream(const std::string& file, bool loop) {
    return load("stream", file, loop);
}

uint32_t RecordingAudioBackend::playSample(uint32_t sample, int64_t start, bool loop) {
    record("play_sample " + std::to_string(sample) + " at " + std::to_string(start) + loopWord(loop));
    return sample == 0 ? 0 : nextHandle();
}

bool RecordingAudioBackend::playModule(uint32_t module, bool loop) {
    record("play_module " + std::to_string(module) + loopWord(loop));
    positions[module] = 0;
    return module != 0;
}

bool RecordingAudioBackend::setModuleAmplify(uint32_t module, int amplify) {
    record("set_amplify " + std::to_string(module) + " " + std::to_string(amplify));
    return module != 0;
}

bool RecordingAudioBackend::playStream(uint32_t stream, bool loop) {
    record("play_stream " + std::to_string(stream) + loopWord(loop));
    return stream != 0;
}

bool RecordingAudioBackend::stopChannel(uint32_t channel) {
    record("stop " + std::to_string(channel));
    return channel != 0;
}

bool RecordingAudioBackend::setPosition(uint32_t channel, int64_t position) {
    record("set_position " + std::to_string(channel) + " " + std::to_string(position));
    if (channel == 0) return false;
    positions[channel] = position;
    return true;
}

int64_t RecordingAudioBackend::getPosition(uint32_t channel) {
    record("get_position " + std::to_string(channel));
    auto it = positions.find(channel);
    return it == positions.end() ? (channel == 0 ? -1 : 0) : it->second;
}

}  // namespace qs
