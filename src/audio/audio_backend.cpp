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

std::string loadFailureMessage(const std::string& what, const std::string& file,
                               const std::string& reason) {
    return "cannot load " + what + " " + file + ": " + reason;
}

}  // namespace qs
