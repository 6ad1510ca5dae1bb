#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

enum SoundKind : int { kSoundSample = 1, kSoundModule = 2, kSoundStream = 3 };

// One loaded sound under the name its list line gave it.
struct SoundEntry {
    std::string name;
    std::string file;       // as written in the list
    std::string extension;  // lower-cased text after the first "." of the file
    int64_t handle = 0;     // the library's 32-bit handle; 0 when loading failed
    bool loop = false;
    int kind = kSoundSample;
};

// What a list line asks for, by the rules of the sound lists: a line beginning with
// "music_" is a stream ("ogg", "mp3", "wav") or a tracker module ("xm", "s3m", "mo3");
// every other sound line is a sample. Field 3 asks for looping when it reads "loop"
// (blanks around it do not matter).
int soundKindFor(const std::string& line, const std::string& extension);
bool loopRequested(const std::string& field3);
bool isSoundExtension(const std::string& extension);

// Every sound loaded during the run, in load order; nothing is ever removed.
class SoundTable {
public:
    void append(SoundEntry entry) { entries_.push_back(std::move(entry)); }

    // The handle of the first entry with exactly that name, or -1.
    int64_t FindSound(const std::string& name) const;
    // The first entry holding the handle, or nothing.
    const SoundEntry* entryWithHandle(int64_t handle) const;

    const std::vector<SoundEntry>& entries() const { return entries_; }
    size_t size() const { return entries_.size(); }

private:
    std::vector<SoundEntry> entries_;
};

}  // namespace qs
