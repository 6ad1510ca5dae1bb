#pragma once

#include <cstdint>
#include <string>

#include "render/draw_list.h"
#include "render/screen_vertex.h"

namespace qs {

// The picture the game draws, in its own units; a window shows it scaled and letterboxed.
inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

// Window events as the game sees them: virtual-key codes, logical 800 x 600 coordinates,
// and the four activation changes of the application.
class PlatformEvents {
public:
    virtual ~PlatformEvents() = default;
    virtual void onKeyDown(int virtualKey, uint8_t shift) = 0;
    // A key let go (keys held down, such as the aiming arrows, act until then).
    virtual void onKeyUp(int /*virtualKey*/) {}
    virtual void onMouseDown(int button) = 0;  // 1 left, 2 right, 3 middle
    virtual void onMouseUp(int button) = 0;
    virtual void onMouseMove() = 0;
    virtual void onDeactivate() = 0;
    virtual void onActivate() = 0;
    virtual void onMinimize() = 0;
    virtual void onRestore() = 0;
    virtual void onDeviceReset() = 0;  // textures were lost and must be rebuilt
    virtual void onToggleFullscreen() = 0;
    virtual void onQuit() = 0;
};

// Shift state bits of a key press, as the game's key handlers expect them.
enum ShiftBits : uint8_t { kShiftShift = 1, kShiftAlt = 2, kShiftCtrl = 4 };

struct MousePoint {
    int x = 0;
    int y = 0;
};

// The frame of the picture: cleared, drawn and shown once per rendered frame.
class RenderDevice {
public:
    virtual ~RenderDevice() = default;
    virtual void clear() = 0;    // the whole frame to black
    virtual void present() = 0;  // show what was drawn
    // Writes the current picture as a PNG. False (with a reason) when it cannot.
    virtual bool saveScreenshot(const std::string& path, std::string* error) = 0;

    // Texture pages: 256 x 256 textures at indices the texture library hands out, with
    // 4 bytes (A8R8G8B8) or 2 bytes (A4R4G4B4) per pixel.
    virtual bool createPage(int index, int bytesPerPixel) = 0;
    // Copies a width x height rectangle of tightly packed pixels into the page at (x, y).
    virtual bool writePage(int index, int x, int y, int width, int height,
                           const uint8_t* pixels) = 0;
    virtual bool hasPage(int index) const = 0;
    virtual void releasePages() = 0;
    // Releases one page and empties its entry; nothing for an empty one.
    virtual void releasePage(int index) = 0;

    // The states of the 2D pass; the render pass sets each only when it changes.
    virtual void setAdditive(bool additive) = 0;
    virtual bool setPage(int index) = 0;  // false when the page cannot be used
    virtual void setFilter(int filter) = 0;
    virtual void setRotation(double angle, double centreX, double centreY) = 0;
    // Draws one quad with the current page, blend, filter and rotation; false on failure.
    virtual bool drawQuad(const DrawQuad& quad) = 0;
    // The frame statistics line at the top left, over the picture.
    virtual void drawStatistics(const std::string& text) = 0;

    // Mesh textures: any size, A8R8G8B8 pixels, at ids the mesh library hands out. Creating
    // an id again replaces its texture; releasePages() releases these too.
    virtual bool createMeshTexture(int id, int width, int height, const uint32_t* argb) = 0;
    // Draws `count` vertices (a multiple of 3) as separate triangles over the picture, no
    // depth test, alpha-blended (or added), textured with a mesh texture or, for -1, plain.
    // False when the texture is not there.
    virtual bool drawTriangles(int meshTexture, bool additive, const ScreenVertex* vertices,
                               int count) = 0;
};

// Everything the game asks of the desktop: the window and its mode, the pointer, message
// boxes and the event queue. Only the implementations talk to SDL.
class Platform {
public:
    virtual ~Platform() = default;

    virtual RenderDevice& device() = 0;

    virtual void showMessageBox(const std::string& caption, const std::string& text) = 0;
    virtual bool isFullscreen() const = 0;
    // Switches between desktop full screen and a window; false when the switch failed.
    virtual bool setFullscreen(bool fullscreen) = 0;
    virtual void centreWindow() = 0;
    virtual void showSystemCursor(bool show) = 0;
    // The pointer in the 800 x 600 picture's coordinates (may lie outside it).
    virtual MousePoint mousePosition() const = 0;
    virtual bool pointerInWindow() const = 0;

    // Hands every waiting event to `events`; waits up to timeoutMs for the first one.
    virtual void pumpEvents(PlatformEvents& events, uint32_t timeoutMs) = 0;

    // Puts the pointer at a point of the 800 x 600 picture (scripts driving a window).
    virtual void warpMouse(int, int) {}
    // Gives a window this size in its own units (scripts trying the picture's scaling);
    // false where there is no window or the size is refused.
    virtual bool resizeWindow(int, int) { return false; }
    // Asks presenting to wait for the display's refresh (or not); true when it now does.
    virtual bool enableVsync(bool) { return false; }
    // The display's refresh rate in Hz, 0 when unknown.
    virtual int refreshRate() const { return 0; }
};

}  // namespace qs
