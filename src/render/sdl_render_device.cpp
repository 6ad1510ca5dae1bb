#include "render/sdl_render_device.h"

#include <vector>

#include "render/png_writer.h"

namespace qs {

bool SdlRenderDevice::createPage(int index, int bytesPerPixel) {
    if (!renderer_ || index < 0) return false;
    if (static_cast<size_t>(index) >= pages_.size()) pages_.resize(static_cast<size_t>(index) + 1, nullptr);
    if (pages_[index]) SDL_DestroyTexture(pages_[index]);
    Uint32 format = bytesPerPixel == 2 ? SDL_PIXELFORMAT_ARGB4444 : SDL_PIXELFORMAT_ARGB8888;
    pages_[index] = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STATIC, 256, 256);
    if (!pages_[index]) return false;
    SDL_SetTextureBlendMode(pages_[index], SDL_BLENDMODE_BLEND);
    // New pages start transparent: slots that were never written must not show.
    std::vector<uint8_t> empty(256 * 256 * static_cast<size_t>(bytesPerPixel), 0);
    SDL_UpdateTexture(pages_[index], nullptr, empty.data(), 256 * bytesPerPixel);
    return true;
}

bool SdlRenderDevice::writePage(int index, int x, int y, int size, const uint8_t* pixels) {
    SDL_Texture* texture = page(index);
    if (!texture || x < 0 || y < 0 || size <= 0 || x + size > 256 || y + size > 256) return false;
    Uint32 format = 0;
    SDL_QueryTexture(texture, &format, nullptr, nullptr, nullptr);
    int bytesPerPixel = SDL_BYTESPERPIXEL(format);
    SDL_Rect rect{x, y, size, size};
    return SDL_UpdateTexture(texture, &rect, pixels, size * bytesPerPixel) == 0;
}

bool SdlRenderDevice::hasPage(int index) const { return page(index) != nullptr; }

SDL_Texture* SdlRenderDevice::page(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= pages_.size()) return nullptr;
    return pages_[index];
}

void SdlRenderDevice::releasePages() {
    for (SDL_Texture*& texture : pages_) {
        if (texture) SDL_DestroyTexture(texture);
        texture = nullptr;
    }
}

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
