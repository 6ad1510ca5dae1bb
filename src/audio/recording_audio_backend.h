#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/audio_backend.h"

namespace qs {

class FileSystem;
class Log;

// A sound library that plays nothing and writes down every call as one readable line
// ("init 44100", "set_volume stream 54", "load_stream music\menu.ogg loop"). Tests and
// headless runs use it; its results can be scripted.
//
// Loads look for the file through the file layer as the real library does and fail (handle
// 0, logged) when it is not there, so a headless run takes the paths a real one would.
// The file is never read.
class RecordingAudioBackend final : public AudioBackend {
public:
    RecordingAudioBackend(const FileSystem& files, Log& log) : files_(files), log_(log) {}

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

    // The calls so far, oldest first. A long run keeps the newest ones only.
    const std::vector<std::string>& calls() const { return calls_; }
    uint64_t droppedCalls() const { return dropped_; }
    void clearCalls() { calls_.clear(); }

    // Scripted results.
    bool failInit = false;
    std::set<std::string> failingFiles;     // loads of these names give handle 0 even if present
    std::map<uint32_t, int64_t> positions;  // what getPosition answers (setPosition sets it)

    static constexpr size_t kMaxCalls = 100000;

private:
    void record(std::string line);
    uint32_t nextHandle();
    uint32_t load(const char* what, const std::string& file, bool loop);

    const FileSystem& files_;
    Log& log_;
    std::vector<std::string> calls_;
    uint64_t dropped_ = 0;
    uint32_t lastHandle_ = 0;
};

}  // namespace qs
