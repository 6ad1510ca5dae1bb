#pragma once

#include <SDL.h>

#include "render/platform.h"

namespace qs {

// The frame drawn through an SDL renderer (a window's, or a software one on a surface).
class SdlRenderDevice final : public RenderDevice {
public:
    void attach(SDL_Renderer* renderer) { renderer_ = renderer; }
    SDL_Renderer* renderer() const { return renderer_; }

    void clear() override;
    void present() override;
    bool saveScreenshot(const std::string& path, std::string* error) override;

private:
    SDL_Renderer* renderer_ = nullptr;
};

}  // namespace qs
