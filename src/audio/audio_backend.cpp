#include "audio/audio_backend.h"

namespace qs {

const char* volumeKindName(VolumeKind kind) {
    switch (kind) {
        case VolumeKind::Sample: return "sample";
        case VolumeKind::Stream: return "stream";
        case VolumeKind::Module: return "module";
    }
    return "?";
}

}  // namespace qs
