#pragma once

#include <memory>
#include <string>

#include "audio/audio_backend.h"

namespace qs {

class FileSystem;
class Log;

// The sound library on SDL2_mixer: samples are mixer chunks on a set of mixing channels,
// streams (OGG, MP3, WAV) and tracker modules (XM, S3M) are mixer music, of which one plays
// at a time. Files are found through the file layer. Only one may exist at a time (the
// mixer is process-wide).
//
// Volumes 0..100 become the mixer's 0..128: samples through the mixer's master volume,
// streams and modules through the music volume. A module's amplification is a gain on top
// of its music volume: 75 plays it at that volume, less is quieter, more is louder up to
// the mixer's maximum.
//
// Positions: a stream's position is in milliseconds. For a module a value below 2^32 is a
// pattern order to jump to; getPosition answers with kModuleTimeFlag | milliseconds from
// the song's start while the module has run from its start, which setPosition takes back.
std::unique_ptr<AudioBackend> makeSdlMixerBackend(const FileSystem& files, Log& log);

// Decodes a sound, stream or module file as the game would load it, on a silent device of
// its own (the content checker's: no sound is heard, no real device is needed). False, with
// the decoder's reason in *error, when it does not decode. Not for use beside a backend.
bool decodeSoundFile(const std::string& path, std::string* error);

inline constexpr int64_t kModuleTimeFlag = int64_t{1} << 40;
inline constexpr int kMixingChannels = 32;

}  // namespace qs
