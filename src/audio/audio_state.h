#pragma once

namespace qs {

class Audio;
class JsonWriter;

// The audio state as one JSON object for the state dump: readiness, the music and its
// fades, and, with the recording library, every call made so far.
void writeAudioState(JsonWriter& json, const Audio& audio);

}  // namespace qs
