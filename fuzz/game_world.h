// A windowless game context for the fuzz targets that read screen content (maps, texts,
// font widths): its content root is a temporary folder holding the game's real graphics
// (linked, not copied), so the inputs can name real prototypes and fonts.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/context.h"
#include "content_root.h"
#include "core/clock.h"
#include "render/null_device.h"

#ifndef QUIBBLESTAR_DEFAULT_DATA
#define QUIBBLESTAR_DEFAULT_DATA "data"
#endif

namespace fuzzing {

struct GameWorld {
    explicit GameWorld(const std::string& name) : content(name) {
        std::error_code ignored;
        const std::filesystem::path data = std::filesystem::absolute(QUIBBLESTAR_DEFAULT_DATA, ignored);
        std::filesystem::create_directory_symlink(data / "graphics", content.path() / "graphics", ignored);
        ctx = std::make_unique<qs::Context>(std::make_unique<qs::VirtualClock>(0), content.files(),
                                            platform, 1);
    }
    ContentRoot content;
    qs::NullPlatform platform;
    std::unique_ptr<qs::Context> ctx;
};

}  // namespace fuzzing
