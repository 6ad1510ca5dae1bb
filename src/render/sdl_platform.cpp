#include "render/sdl_platform.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include <SDL.h>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#endif

#include "render/sdl_key_codes.h"
#include "render/sdl_render_device.h"

namespace qs {

namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

// True when the renderer runs on an OpenGL whose rasteriser is the CPU (llvmpipe and
// friends): SDL's own software renderer is faster there.
bool onSoftwareGl(SDL_Renderer* renderer, std::string* glName) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    const unsigned char* name = getString(kGlRenderer);
    if (!name) return false;
    *glName = reinterpret_cast<const char*>(name);
    return glName->find("llvmpipe") != std::string::npos ||
           glName->find("softpipe") != std::string::npos ||
           glName->find("Software Rasterizer") != std::string::npos;
}

uint8_t shiftBits(uint16_t mod) {
    uint8_t bits = 0;
    if (mod & KMOD_SHIFT) bits |= kShiftShift;
    if (mod & KMOD_ALT) bits |= kShiftAlt;
    if (mod & KMOD_CTRL) bits |= kShiftCtrl;
    return bits;
}

int gameButton(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 1;
        case SDL_BUTTON_RIGHT: return 2;
        default: return 3;
    }
}

// Where the pointer was last seen in the window, from its own events: polling the desktop's
// pointer misses absolute moves that some remote desktops send.
struct PointerMemory {
    bool seen = false;
    int x = 0;
    int y = 0;
    void set(int windowX, int windowY) {
        seen = true;
        x = windowX;
        y = windowY;
    }
};

void dispatch(const SDL_Event& event, PlatformEvents& events, PointerMemory& pointer) {
    switch (event.type) {
        case SDL_QUIT:
            events.onQuit();
            break;
        case SDL_KEYDOWN: {
            const SDL_Keysym& key = event.key.keysym;
            bool altEnter = key.sym == SDLK_RETURN && (key.mod & KMOD_ALT);
            if (key.sym == SDLK_F11 || altEnter) {
                if (!event.key.repeat) events.onToggleFullscreen();
                break;
            }
            if (int vk = virtualKeyFromSdl(key.sym)) events.onKeyDown(vk, shiftBits(key.mod));
            break;
        }
        case SDL_KEYUP:
            if (int vk = virtualKeyFromSdl(event.key.keysym.sym)) events.onKeyUp(vk);
            break;
        case SDL_MOUSEBUTTONDOWN:
            pointer.set(event.button.x, event.button.y);
            events.onMouseDown(gameButton(event.button.button));
            break;
        case SDL_MOUSEBUTTONUP:
            pointer.set(event.button.x, event.button.y);
            events.onMouseUp(gameButton(event.button.button));
            break;
        case SDL_MOUSEMOTION:
            pointer.set(event.motion.x, event.motion.y);
            events.onMouseMove();
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_FOCUS_LOST: events.onDeactivate(); break;
                case SDL_WINDOWEVENT_FOCUS_GAINED: events.onActivate(); break;
                case SDL_WINDOWEVENT_MINIMIZED: events.onMinimize(); break;
                case SDL_WINDOWEVENT_RESTORED: events.onRestore(); break;
                default: break;
            }
            break;
        // Only a device reset loses the pages (the game draws into no render target).
        case SDL_RENDER_DEVICE_RESET:
            events.onDeviceReset();
            break;
        default:
            break;
    }
}

// Sanitizer builds: the display and GL libraries SDL loads are unloaded again at its exit,
// and the leak report can then no longer name them (so their own small leaks cannot be told
// apart from the game's). Loading them first, never to be unloaded, keeps their names.
void keepSystemLibrariesLoaded() {
#if defined(__SANITIZE_ADDRESS__)
    for (const char* library : {"libGL.so.1", "libGLX.so.0", "libGLX_mesa.so.0", "libdbus-1.so.3",
                                "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
#endif
}

// The desktop pairs a window with its menu entry, and so with the entry's name and icon in
// the task bar, through this id: the window's class on X11, its app id on Wayland. It is the
// name of the installed desktop file, metainfo and icons. A value the player set wins.
constexpr const char* kApplicationId = "io.github.quibblestar.quibblestar";

void nameTheApplication() {
    setenv("SDL_VIDEO_X11_WMCLASS", kApplicationId, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kApplicationId, 0);
    // What the sound server and the screen-saver inhibition show.
    SDL_SetHint(SDL_HINT_APP_NAME, "Quibblestar");
}

// The icon window managers show before, or instead of, the desktop file's. A content folder
// without the file keeps SDL's; one that cannot be read is named with SDL's reason.
void setWindowIcon(SDL_Window* window, const std::string& iconFile, const SdlPlatform::Logger& log) {
    std::error_code ec;
    if (iconFile.empty() || !std::filesystem::exists(iconFile, ec)) return;
    SDL_Surface* icon = SDL_LoadBMP(iconFile.c_str());
    if (!icon) {
        log(iconFile + ": not a window icon: " + SDL_GetError());
        return;
    }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace

// The window, its renderer and the device drawing through it. Made once the video system
// is up, so letting it go also closes the video system again.
struct SdlPlatform::Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SdlRenderDevice device;
    std::string rendererName;
    bool fullscreen = false;
    bool frameTarget = false;  // the picture is scaled by the device, not by SDL's logical size
    PointerMemory pointer;
    int windowedWidth = kScreenWidth, windowedHeight = kScreenHeight;

    // Output pixels per unit of the window's size (more than 1 on a high-density display).
    struct PixelsPerUnit {
        double x = 1, y = 1;
    };
    PixelsPerUnit pixelsPerUnit() const {
        int windowW = 0, windowH = 0, outputW = 0, outputH = 0;
        SDL_GetWindowSize(window, &windowW, &windowH);
        if (SDL_GetRendererOutputSize(renderer, &outputW, &outputH) != 0 || windowW <= 0 || windowH <= 0 ||
            outputW <= 0 || outputH <= 0)
            return {};
        return {static_cast<double>(outputW) / windowW, static_cast<double>(outputH) / windowH};
    }

    // A point of the window (in its own units) in the 800 x 600 picture's coordinates.
    MousePoint toPicture(int x, int y) const {
        if (!frameTarget) {
            float logicalX = 0, logicalY = 0;
            SDL_RenderWindowToLogical(renderer, x, y, &logicalX, &logicalY);
            return {static_cast<int>(std::floor(logicalX)), static_cast<int>(std::floor(logicalY))};
        }
        const PixelsPerUnit ratio = pixelsPerUnit();
        const SDL_Rect box = device.letterbox();
        const double pixelX = (x + 0.5) * ratio.x, pixelY = (y + 0.5) * ratio.y;
        return {static_cast<int>(std::floor((pixelX - box.x) * kScreenWidth / box.w)),
                static_cast<int>(std::floor((pixelY - box.y) * kScreenHeight / box.h))};
    }

    // The inverse: where a point of the picture lies in the window.
    void toWindow(int x, int y, int* windowX, int* windowY) const {
        if (!frameTarget) {
            SDL_RenderLogicalToWindow(renderer, static_cast<float>(x), static_cast<float>(y), windowX, windowY);
            return;
        }
        const PixelsPerUnit ratio = pixelsPerUnit();
        const SDL_Rect box = device.letterbox();
        const double pixelX = box.x + (x + 0.5) * box.w / kScreenWidth;
        const double pixelY = box.y + (y + 0.5) * box.h / kScreenHeight;
        *windowX = static_cast<int>(std::floor(pixelX / ratio.x));
        *windowY = static_cast<int>(std::floor(pixelY / ratio.y));
    }

    // An accelerated renderer unless the GPU is the CPU in disguise; the software one then.
    bool createRenderer(const Logger& log) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        std::string glName;
        if (renderer && onSoftwareGl(renderer, &glName)) {
            log("OpenGL renders on the CPU (" + glName + "): using the software renderer");
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
        if (!renderer) {
            // SDL would show the software renderer's picture through an OpenGL texture, on
            // the same CPU rasteriser: the window system's own copy costs a fraction.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
        if (!renderer) {
            log(std::string("cannot create a renderer: ") + SDL_GetError());
            return false;
        }
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer, &info) == 0) rendererName = info.name;
        log("renderer: " + rendererName);
        device.attach(renderer);
        frameTarget = device.useFrameTarget();
        if (!frameTarget) {
            log("the renderer cannot draw into a texture: SDL scales the picture");
            SDL_RenderSetLogicalSize(renderer, kScreenWidth, kScreenHeight);
        }
        return true;
    }

    ~Window() {
        device.releasePages();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
};

// The software renderer and the surface it draws the picture into.
struct HeadlessPlatform::Canvas {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    SdlRenderDevice device;

    ~Canvas() {
        device.releasePages();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (surface) SDL_FreeSurface(surface);
    }
};

std::unique_ptr<SdlPlatform> SdlPlatform::create(const std::string& title, const Logger& log,
                                                  const std::string& iconFile) {
    keepSystemLibrariesLoaded();
    nameTheApplication();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log(std::string("cannot start the video system: ") + SDL_GetError());
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                      SDL_WINDOWPOS_CENTERED, kScreenWidth, kScreenHeight,
                                      SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window->window) {
        log(std::string("cannot open the window: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetWindowMinimumSize(window->window, kScreenWidth / 2, kScreenHeight / 2);
    setWindowIcon(window->window, iconFile, log);
    if (!window->createRenderer(log)) return nullptr;
    return std::unique_ptr<SdlPlatform>(new SdlPlatform(std::move(window)));
}

SdlPlatform::SdlPlatform(std::unique_ptr<Window> window) : window_(std::move(window)) {}

SdlPlatform::~SdlPlatform() = default;

RenderDevice& SdlPlatform::device() { return window_->device; }

bool SdlPlatform::isFullscreen() const { return window_->fullscreen; }

const std::string& SdlPlatform::rendererName() const { return window_->rendererName; }

void SdlPlatform::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << '\n';
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_->window);
}

bool SdlPlatform::setFullscreen(bool fullscreen) {
    Window& w = *window_;
    if (fullscreen && !w.fullscreen) SDL_GetWindowSize(w.window, &w.windowedWidth, &w.windowedHeight);
    if (SDL_SetWindowFullscreen(w.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    w.fullscreen = fullscreen;
    // Without a window manager nothing gives the window its old size back; the picture is
    // laid out from the size the window really has at each present in any case.
    if (!fullscreen) SDL_SetWindowSize(w.window, w.windowedWidth, w.windowedHeight);
    return true;
}

bool SdlPlatform::resizeWindow(int width, int height) {
    if (width < kScreenWidth / 2 || height < kScreenHeight / 2 || width > 16384 || height > 16384) return false;
    if (window_->fullscreen) setFullscreen(false);
    SDL_SetWindowSize(window_->window, width, height);
    return true;
}

void SdlPlatform::warpMouse(int x, int y) {
    int windowX = 0, windowY = 0;
    window_->toWindow(x, y, &windowX, &windowY);
    SDL_WarpMouseInWindow(window_->window, windowX, windowY);
    // The move's own event comes later, or not at all when the pointer stood there already.
    window_->pointer.set(windowX, windowY);
}

bool SdlPlatform::enableVsync(bool on) {
    // The software renderer's vsync is a sleep of about 16 ms of its own (62.5 pictures a
    // second), not the display's refresh: the frames are better timed by the game.
    if (window_->rendererName == "software") {
        SDL_RenderSetVSync(window_->renderer, 0);
        return false;
    }
    if (SDL_RenderSetVSync(window_->renderer, on ? 1 : 0) != 0) return false;
    SDL_RendererInfo info;
    return on && SDL_GetRendererInfo(window_->renderer, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
}

int SdlPlatform::refreshRate() const {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window_->window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void SdlPlatform::centreWindow() {
    SDL_SetWindowPosition(window_->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlPlatform::showSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

MousePoint SdlPlatform::mousePosition() const {
    const PointerMemory& pointer = window_->pointer;
    if (pointer.seen) return window_->toPicture(pointer.x, pointer.y);
    // Before the first event over the window: SDL's own idea of where the pointer is.
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return window_->toPicture(x, y);
}

bool SdlPlatform::pointerInWindow() const { return SDL_GetMouseFocus() == window_->window; }

void SdlPlatform::pumpEvents(PlatformEvents& events, uint32_t timeoutMs) {
    SDL_Event event;
    if (timeoutMs > 0) {
        if (!SDL_WaitEventTimeout(&event, static_cast<int>(timeoutMs))) return;
        dispatch(event, events, window_->pointer);
    }
    while (SDL_PollEvent(&event)) dispatch(event, events, window_->pointer);
}

std::unique_ptr<HeadlessPlatform> HeadlessPlatform::create(const Logger& log) {
    auto canvas = std::make_unique<Canvas>();
    canvas->surface =
        SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!canvas->surface) {
        log(std::string("cannot create the picture surface: ") + SDL_GetError());
        return nullptr;
    }
    canvas->renderer = SDL_CreateSoftwareRenderer(canvas->surface);
    if (!canvas->renderer) {
        log(std::string("cannot create the software renderer: ") + SDL_GetError());
        return nullptr;
    }
    canvas->device.attach(canvas->renderer);
    return std::unique_ptr<HeadlessPlatform>(new HeadlessPlatform(std::move(canvas)));
}

HeadlessPlatform::HeadlessPlatform(std::unique_ptr<Canvas> canvas) : canvas_(std::move(canvas)) {}

HeadlessPlatform::~HeadlessPlatform() = default;

RenderDevice& HeadlessPlatform::device() { return canvas_->device; }

void HeadlessPlatform::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << '\n';
}

}  // namespace qs
