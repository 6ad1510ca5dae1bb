#include "audio/sound_table.h"

#include "core/text_util.h"

namespace qs {

namespace {

bool isStreamExtension(const std::string& e) { return e == "ogg" || e == "mp3" || e == "wav"; }
bool isModuleExtension(const std::string& e) { return e == "xm" || e == "s3m" || e == "mo3"; }

}  // namespace

bool isSoundExtension(const std::string& extension) {
    return isStreamExtension(extension) || isModuleExtension(extension);
}

int soundKindFor(const std::string& line, const std::string& extension) {
    if (startsWith(line, "music_")) {
        if (isStreamExtension(extension)) return kSoundStream;
        if (isModuleExtension(extension)) return kSoundModule;
    }
    return kSoundSample;
}

bool loopRequested(const std::string& field3) { return trim(field3) == "loop"; }

int64_t SoundTable::FindSound(const std::string& name) const {
    for (const SoundEntry& entry : entries_)
        if (entry.name == name) return entry.handle;
    return -1;
}

const SoundEntry* SoundTable::entryWithHandle(int64_t handle) const {
    for (const SoundEntry& entry : entries_)
        if (entry.handle == handle) return &entry;
    return nullptr;
}

}  // namespace qs
