#include "audio/audio_state.h"

#include "audio/audio.h"
#include "audio/recording_audio_backend.h"
#include "core/json_writer.h"

namespace qs {

void writeAudioState(JsonWriter& json, const Audio& audio) {
    json.beginObject();
    json.field("soundReady", audio.soundReady());
    json.field("currentMusic", audio.currentMusic());
    json.field("pendingMusic", audio.pendingMusic());
    json.field("musicFade", audio.musicFade());
    json.field("fadeState", audio.fadeState());
    json.field("musicFocus", audio.musicFocus());
    json.field("sampleFocus", audio.sampleFocus());
    json.field("arcadeAltStart", audio.arcadeAltStart);
    json.field("musicMenu", audio.musicMenu);
    json.field("musicArcade", audio.musicArcade);
    json.field("musicPuzzle", audio.musicPuzzle);
    json.key("sounds").beginArray();
    for (const SoundEntry& entry : audio.soundTable().entries()) {
        json.beginObject();
        json.field("name", entry.name).field("kind", entry.kind).field("handle", entry.handle);
        json.field("loop", entry.loop);
        json.endObject();
    }
    json.endArray();
    if (const RecordingAudioBackend* recording = audio.recording()) {
        json.field("droppedCalls", recording->droppedCalls());
        json.key("calls").beginArray();
        for (const std::string& call : recording->calls()) json.value(call);
        json.endArray();
    }
    json.endObject();
}

}  // namespace qs
