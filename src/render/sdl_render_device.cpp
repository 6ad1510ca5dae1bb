#include "render/sdl_render_device.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/png_writer.h"
#include "render/sdl_platform.h"
#include "render/stats_text.h"

namespace qs {

void SdlRenderDevice::destroy(Page& page) {
    if (page.texture) SDL_DestroyTexture(page.texture);
    page = Page{};
}

bool SdlRenderDevice::createPage(int index, int bytesPerPixel) {
    if (!renderer_ || index < 0 || (bytesPerPixel != 2 && bytesPerPixel != 4)) return false;
    if (static_cast<size_t>(index) >= pages_.size()) pages_.resize(static_cast<size_t>(index) + 1);
    Page& page = pages_[index];
    destroy(page);
    const Uint32 format = bytesPerPixel == 2 ? SDL_PIXELFORMAT_ARGB4444 : SDL_PIXELFORMAT_ARGB8888;
    page.texture = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STATIC, 256, 256);
    if (!page.texture) return false;
    SDL_SetTextureBlendMode(page.texture, SDL_BLENDMODE_BLEND);
    // New pages start transparent: slots that were never written must not show.
    static const std::vector<uint8_t> transparent(256 * 256 * 4, 0);
    SDL_UpdateTexture(page.texture, nullptr, transparent.data(), 256 * bytesPerPixel);
    return true;
}

bool SdlRenderDevice::writePage(int index, int x, int y, int width, int height,
                                const uint8_t* pixels) {
    SDL_Texture* texture = page(index);
    if (!texture || !pixels || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > 256 ||
        y + height > 256)
        return false;
    int access = 0;
    Uint32 format = 0;
    SDL_QueryTexture(texture, &format, &access, nullptr, nullptr);
    const int row = width * static_cast<int>(SDL_BYTESPERPIXEL(format));
    SDL_Rect rect{x, y, width, height};
    return SDL_UpdateTexture(texture, &rect, pixels, row) == 0;
}

bool SdlRenderDevice::hasPage(int index) const { return page(index) != nullptr; }

SDL_Texture* SdlRenderDevice::page(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= pages_.size()) return nullptr;
    return pages_[index].texture;
}

void SdlRenderDevice::releasePage(int index) {
    if (!page(index)) return;
    if (currentPage_ == index) {
        currentPage_ = -1;
        current_ = nullptr;
    }
    destroy(pages_[index]);
}

bool SdlRenderDevice::useFrameTarget() {
    frameTarget_ = renderer_ && SDL_RenderTargetSupported(renderer_);
    return frameTarget_;
}

SDL_Rect SdlRenderDevice::letterbox() const {
    int width = kScreenWidth, height = kScreenHeight;
    if (renderer_ && (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0 || width <= 0 || height <= 0)) {
        width = kScreenWidth;
        height = kScreenHeight;
    }
    const double scale = std::min(static_cast<double>(width) / kScreenWidth, static_cast<double>(height) / kScreenHeight);
    const int w = std::max(1, static_cast<int>(std::lround(kScreenWidth * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(kScreenHeight * scale)));
    return SDL_Rect{(width - w) / 2, (height - h) / 2, w, h};
}

bool SdlRenderDevice::beginFrame() {
    if (!frame_) {
        frame_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kScreenWidth,
                                   kScreenHeight);
        if (!frame_) return false;
        SDL_SetTextureBlendMode(frame_, SDL_BLENDMODE_NONE);
    }
    return SDL_SetRenderTarget(renderer_, frame_) == 0;
}

void SdlRenderDevice::destroyFrame() {
    if (!frame_) return;
    if (renderer_ && SDL_GetRenderTarget(renderer_) == frame_) SDL_SetRenderTarget(renderer_, nullptr);
    SDL_DestroyTexture(frame_);
    frame_ = nullptr;
}

void SdlRenderDevice::releasePages() {
    destroyFrame();
    for (Page& page : pages_) destroy(page);
    for (SDL_Texture*& texture : meshTextures_) {
        if (texture) SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    current_ = nullptr;
    currentPage_ = -1;
}

bool SdlRenderDevice::setPage(int index) {
    currentPage_ = page(index) ? index : -1;
    return currentPage_ >= 0;
}

void SdlRenderDevice::setRotation(double angle, double centreX, double centreY) {
    // The game turns counter-clockwise on screen; SDL takes degrees clockwise.
    angleDegrees_ = -angle * 180.0 / M_PI;
    centreX_ = centreX;
    centreY_ = centreY;
}

bool SdlRenderDevice::drawQuad(const DrawQuad& quad) {
    if (currentPage_ < 0) return false;
    Page& page = pages_[currentPage_];
    current_ = page.texture;
    const int mode = filter_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
    if (page.scaleMode != mode) {
        // The renderer reads a texture's scale mode when it runs its queued draws, so the
        // quads queued with the old mode are drawn first.
        if (page.scaleMode >= 0) SDL_RenderFlush(renderer_);
        SDL_SetTextureScaleMode(current_, static_cast<SDL_ScaleMode>(mode));
        page.scaleMode = mode;
    }
    const DrawVertex& topLeft = quad.v[0];
    const DrawVertex& topRight = quad.v[1];
    const DrawVertex& bottomLeft = quad.v[2];
    const DrawVertex& bottomRight = quad.v[3];

    float u0 = std::min(topLeft.u, topRight.u), u1 = std::max(topLeft.u, topRight.u);
    float v0 = std::min(topLeft.v, bottomLeft.v), v1 = std::max(topLeft.v, bottomLeft.v);
    SDL_Rect source{static_cast<int>(std::lround(u0 * 256.0f)), static_cast<int>(std::lround(v0 * 256.0f)),
                    static_cast<int>(std::lround((u1 - u0) * 256.0f)),
                    static_cast<int>(std::lround((v1 - v0) * 256.0f))};
    float left = std::min(topLeft.x, bottomRight.x), right = std::max(topLeft.x, bottomRight.x);
    float top = std::min(topLeft.y, bottomRight.y), bottom = std::max(topLeft.y, bottomRight.y);
    // The quads carry the classic -0.5 shift that puts texel centres on pixel centres; SDL's
    // pixel centres already sit at +0.5, so the shift is undone here to keep the picture sharp.
    SDL_FRect target{left + 0.5f, top + 0.5f, right - left, bottom - top};
    SDL_FPoint centre{static_cast<float>(centreX_ - left), static_cast<float>(centreY_ - top)};
    int flip = SDL_FLIP_NONE;
    if (topLeft.u > topRight.u) flip |= SDL_FLIP_HORIZONTAL;
    if (topLeft.v > bottomLeft.v) flip |= SDL_FLIP_VERTICAL;

    uint32_t color = topLeft.color;
    SDL_SetTextureColorMod(current_, (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    SDL_SetTextureAlphaMod(current_, color >> 24);
    // The plain copy is the renderers' fastest path (and the software renderer's only one
    // that filters); most quads are neither turned nor mirrored. An opaque quad is copied
    // without blending, which is the same picture for less work; a turned one is not, since
    // the software renderer turns it into a picture with transparent corners.
    if (angleDegrees_ == 0 && flip == SDL_FLIP_NONE) {
        SDL_SetTextureBlendMode(current_, additive_     ? SDL_BLENDMODE_ADD
                                          : quad.opaque ? SDL_BLENDMODE_NONE
                                                        : SDL_BLENDMODE_BLEND);
        return SDL_RenderCopyF(renderer_, current_, &source, &target) == 0;
    }
    SDL_SetTextureBlendMode(current_, additive_ ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    return SDL_RenderCopyExF(renderer_, current_, &source, &target, angleDegrees_, &centre,
                             static_cast<SDL_RendererFlip>(flip)) == 0;
}

bool SdlRenderDevice::createMeshTexture(int id, int width, int height, const uint32_t* argb) {
    if (!renderer_ || id < 0 || width <= 0 || height <= 0 || !argb) return false;
    if (static_cast<size_t>(id) >= meshTextures_.size()) meshTextures_.resize(static_cast<size_t>(id) + 1);
    SDL_Texture*& texture = meshTextures_[id];
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                width, height);
    if (!texture) return false;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    if (SDL_UpdateTexture(texture, nullptr, argb, width * 4) != 0) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
        return false;
    }
    return true;
}

bool SdlRenderDevice::drawTriangles(int meshTexture, bool additive, const ScreenVertex* vertices,
                                    int count) {
    if (!renderer_ || count < 3) return count == 0;
    SDL_Texture* texture = nullptr;
    if (meshTexture >= 0) {
        if (static_cast<size_t>(meshTexture) >= meshTextures_.size()) return false;
        texture = meshTextures_[meshTexture];
        if (!texture) return false;
    }
    const SDL_BlendMode blend = additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
    // Plain triangles blend by the draw mode, textured ones by their texture's.
    if (texture)
        SDL_SetTextureBlendMode(texture, blend);
    else
        SDL_SetRenderDrawBlendMode(renderer_, blend);
    geometry_.resize(static_cast<size_t>(count - count % 3));
    for (size_t i = 0; i < geometry_.size(); ++i) {
        const ScreenVertex& v = vertices[i];
        SDL_Vertex& out = geometry_[i];
        // Pixel centres sit at +0.5 here, on whole numbers in the game's convention.
        out.position = {v.x + 0.5f, v.y + 0.5f};
        out.color = {static_cast<Uint8>(v.color >> 16), static_cast<Uint8>(v.color >> 8),
                     static_cast<Uint8>(v.color), static_cast<Uint8>(v.color >> 24)};
        // No renderer promises to repeat a texture; mesh art keeps inside its image.
        out.tex_coord = {std::clamp(v.u, 0.0f, 1.0f), std::clamp(v.v, 0.0f, 1.0f)};
    }
    return SDL_RenderGeometry(renderer_, texture, geometry_.data(),
                              static_cast<int>(geometry_.size()), nullptr, 0) == 0;
}

void SdlRenderDevice::drawStatistics(const std::string& text) {
    if (renderer_) drawStatsText(renderer_, text, 2, 2, 2);
}

void SdlRenderDevice::clear() {
    if (!renderer_) return;
    // Without its texture (none could be made) the frame is drawn straight into the window.
    if (frameTarget_ && !beginFrame()) SDL_SetRenderTarget(renderer_, nullptr);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
}

void SdlRenderDevice::present() {
    if (!renderer_) return;
    if (frame_ && SDL_GetRenderTarget(renderer_) == frame_) {
        SDL_SetRenderTarget(renderer_, nullptr);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect box = letterbox();
        // A whole scale keeps the pixels sharp; any other is filtered as one picture.
        const bool whole = box.w % kScreenWidth == 0 && box.h % kScreenHeight == 0;
        SDL_SetTextureScaleMode(frame_, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        SDL_RenderCopy(renderer_, frame_, nullptr, &box);
    }
    SDL_RenderPresent(renderer_);
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
    // Read the whole output (what the window shows after the frame's present), not the
    // logical viewport, so letterbox bars show as they are.
    SDL_Texture* target = SDL_GetRenderTarget(renderer_);
    SDL_SetRenderTarget(renderer_, nullptr);
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
    SDL_SetRenderTarget(renderer_, target);
    if (rc != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    return writePng(path, width, height, pixels, error);
}

}  // namespace qs
