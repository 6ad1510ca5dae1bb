#pragma once

#include <SDL.h>

#include <vector>

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
    bool createPage(int index, int bytesPerPixel) override;
    bool writePage(int index, int x, int y, int size, const uint8_t* pixels) override;
    bool hasPage(int index) const override;
    void releasePages() override;

    // The page's texture, or nothing for an empty entry.
    SDL_Texture* page(int index) const;

    ~SdlRenderDevice() override { releasePages(); }

private:
    SDL_Renderer* renderer_ = nullptr;
    std::vector<SDL_Texture*> pages_;
};

}  // namespace qs
