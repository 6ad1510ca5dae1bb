#pragma once

// Private to the SDL library: only its own sources include this, since nothing else is
// built with SDL's headers.

#include <vector>

#include <SDL.h>

#include "render/platform.h"

namespace qs {

// The frame drawn through an SDL renderer (a window's, or a software one on a surface).
class SdlRenderDevice final : public RenderDevice {
public:
    void attach(SDL_Renderer* renderer) { renderer_ = renderer; }
    SDL_Renderer* renderer() const { return renderer_; }

    // A window's frame is drawn at 800 x 600 into a texture of its own, which is then scaled
    // once into the window: tiles drawn straight at a scale that is not whole would sample
    // their neighbours' edges and seam the picture. False when the renderer has no targets.
    bool useFrameTarget();
    // Where the 800 x 600 picture lies in the renderer's output, as it is now.
    SDL_Rect letterbox() const;

    void clear() override;
    void present() override;
    bool saveScreenshot(const std::string& path, std::string* error) override;
    bool createPage(int index, int bytesPerPixel) override;
    bool writePage(int index, int x, int y, int width, int height,
                   const uint8_t* pixels) override;
    bool hasPage(int index) const override;
    void releasePages() override;
    void releasePage(int index) override;

    void setAdditive(bool additive) override { additive_ = additive; }
    bool setPage(int index) override;
    void setFilter(int filter) override { filter_ = filter; }
    void setRotation(double angle, double centreX, double centreY) override;
    bool drawQuad(const DrawQuad& quad) override;
    void drawStatistics(const std::string& text) override;
    bool createMeshTexture(int id, int width, int height, const uint32_t* argb) override;
    bool drawTriangles(int meshTexture, bool additive, const ScreenVertex* vertices,
                       int count) override;

    // The page's texture, or nothing for an empty entry.
    SDL_Texture* page(int index) const;

    ~SdlRenderDevice() override { releasePages(); }

private:
    bool beginFrame();
    void destroyFrame();

    SDL_Renderer* renderer_ = nullptr;
    bool frameTarget_ = false;
    SDL_Texture* frame_ = nullptr;  // the picture at 800 x 600 when drawn through a target
    // A page is one texture; the library keeps tiles of one filter on a page, so its scale
    // mode is set once, by the first quad drawn from it.
    struct Page {
        SDL_Texture* texture = nullptr;
        int scaleMode = -1;  // SDL_ScaleMode last set, -1 before the first draw
    };
    static void destroy(Page& page);

    std::vector<Page> pages_;
    std::vector<SDL_Texture*> meshTextures_;
    std::vector<SDL_Vertex> geometry_;  // reused by every triangle batch
    int currentPage_ = -1;
    SDL_Texture* current_ = nullptr;
    bool additive_ = false;
    int filter_ = 0;
    double angleDegrees_ = 0;
    double centreX_ = 0, centreY_ = 0;
};

}  // namespace qs
