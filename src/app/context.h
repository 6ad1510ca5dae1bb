#pragma once

#include <memory>
#include <string>

#include "app/clock.h"
#include "app/file_system.h"
#include "app/frame_state.h"
#include "app/log.h"
#include "app/options.h"
#include "app/random.h"

namespace qs {

class Platform;

// The program's state for one run: every subsystem, owned here and handed around by
// reference. Tests build their own with a virtual clock and a fake platform.
class Context {
public:
    Context(std::unique_ptr<Clock> clock, FileSystem files, Platform& platform, uint32_t seed);

    Clock& clock() { return *clock_; }
    Platform& platform() { return platform_; }

    // Reads "options.txt" from the user folder and switches the log on or off to match.
    void ReadOptions();
    // Stores one key in "options.txt"; a failed write keeps the old file and is logged.
    bool WriteOptionValue(const std::string& key, const std::string& value);
    void WriteLog(const std::string& message) { log.WriteLog(message); }

    FileSystem files;
    Log log;
    GameOptions options;
    Random random;
    FrameState frame;
    InputState input;
    std::vector<ComboText> comboTexts;

private:
    std::unique_ptr<Clock> clock_;
    Platform& platform_;
};

}  // namespace qs
