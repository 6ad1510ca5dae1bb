#include "render/sdl_render_device.h"

#include <vector>

#include "render/png_writer.h"

namespace qs {

void SdlRenderDevice::clear() {
    if (!renderer_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
}

void SdlRenderDevice::present() {
    if (renderer_) SDL_RenderPresent(renderer_);
}

bool SdlRenderDevice::saveScreenshot(const std::string& path, std::string* error) {
    if (!renderer_) {
        if (error) *error = "no renderer";
        return false;
    }
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0 || width <= 0 || height <= 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    // Read the whole output, not the logical viewport, so letterbox bars show as they are.
    SDL_Rect viewport;
    SDL_RenderGetViewport(renderer_, &viewport);
    float scaleX = 1, scaleY = 1;
    SDL_RenderGetScale(renderer_, &scaleX, &scaleY);
    SDL_RenderSetViewport(renderer_, nullptr);
    SDL_RenderSetScale(renderer_, 1, 1);
    int rc = SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                  width * 4);
    SDL_RenderSetScale(renderer_, scaleX, scaleY);
    SDL_RenderSetViewport(renderer_, &viewport);
    if (rc != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    return writePng(path, width, height, pixels, error);
}

}  // namespace qs
