#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "render/platform.h"

namespace qs {

// The desktop window: an SDL window with a renderer whose logical size is 800 x 600, so
// full screen and larger windows show the same picture letterboxed and scaled. The SDL
// objects stay inside the platform library; callers see only the Platform.
class SdlPlatform final : public Platform {
public:
    using Logger = std::function<void(const std::string&)>;

    // Opens the window; nothing when SDL or the window cannot be had (the reason is logged).
    // `iconFile` is a BMP for the window's icon; a content folder without one gets SDL's.
    static std::unique_ptr<SdlPlatform> create(const std::string& title, const Logger& log,
                                               const std::string& iconFile = {});
    ~SdlPlatform() override;

    RenderDevice& device() override;
    void showMessageBox(const std::string& caption, const std::string& text) override;
    bool isFullscreen() const override;
    bool setFullscreen(bool fullscreen) override;
    void centreWindow() override;
    void showSystemCursor(bool show) override;
    MousePoint mousePosition() const override;
    bool pointerInWindow() const override;
    void pumpEvents(PlatformEvents& events, uint32_t timeoutMs) override;
    void warpMouse(int x, int y) override;
    bool resizeWindow(int width, int height) override;
    bool enableVsync(bool on) override;
    int refreshRate() const override;

    const std::string& rendererName() const;

private:
    struct Window;
    explicit SdlPlatform(std::unique_ptr<Window> window);
    std::unique_ptr<Window> window_;
};

// No window and no display: a software renderer drawing into an 800 x 600 surface, the
// pointer placed by the script, message boxes on stderr.
class HeadlessPlatform final : public Platform {
public:
    using Logger = std::function<void(const std::string&)>;

    static std::unique_ptr<HeadlessPlatform> create(const Logger& log);
    ~HeadlessPlatform() override;

    RenderDevice& device() override;
    void showMessageBox(const std::string& caption, const std::string& text) override;
    bool isFullscreen() const override { return fullscreen_; }
    bool setFullscreen(bool fullscreen) override {
        fullscreen_ = fullscreen;
        return true;
    }
    void centreWindow() override {}
    void showSystemCursor(bool show) override { cursorShown_ = show; }
    MousePoint mousePosition() const override { return mouse_; }
    bool pointerInWindow() const override { return pointerInside_; }
    void pumpEvents(PlatformEvents&, uint32_t) override {}

    void setMouse(int x, int y, bool inside = true) {
        mouse_ = {x, y};
        pointerInside_ = inside;
    }
    bool systemCursorShown() const { return cursorShown_; }

private:
    struct Canvas;
    explicit HeadlessPlatform(std::unique_ptr<Canvas> canvas);

    std::unique_ptr<Canvas> canvas_;
    MousePoint mouse_{-1000, -1000};
    bool pointerInside_ = false;
    bool fullscreen_ = false;
    bool cursorShown_ = true;
};

}  // namespace qs
