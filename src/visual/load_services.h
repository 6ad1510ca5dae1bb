#pragma once

#include <string>

#include "core/file_system.h"
#include "core/log.h"
#include "core/options.h"
#include "render/platform.h"

namespace qs {

// What the prototype and mesh loaders need of the run: the content files, the log, the
// desktop (its render device for the texture pages, a message box for what a player must be
// told) and the settings that choose the texture format. Held by value: the run owns what
// the references point at for as long as any loader lives.
struct LoadServices {
    const FileSystem& files;
    Log& log;
    Platform& platform;
    const GameOptions& options;

    void WriteLog(const std::string& message) const { log.WriteLog(message); }
};

}  // namespace qs
