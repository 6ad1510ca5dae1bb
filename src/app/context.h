#pragma once

#include <cstdint>
#include <memory>

#include "app/input_handlers.h"
#include "render/draw_list.h"
#include "ui/scene_services.h"

namespace qs {

// The program's state for one run: the scenes' services and the window's side of them, the
// input handlers and the list of quads a rendered frame draws. Tests build their own with a
// virtual clock and a fake platform.
class Context : public SceneServices {
public:
    Context(std::unique_ptr<Clock> clock, FileSystem files, Platform& platform, uint32_t seed)
        : SceneServices(std::move(clock), std::move(files), platform, seed) {}

    void readPointer(bool clip) override { handlers.ReadMousePosition(clip); }

    InputHandlers handlers{*this};
    DrawList drawList;
};

}  // namespace qs
