#include "render/sdl_platform.h"

#include <cstring>
#include <iostream>

#include "render/key_codes.h"

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

}  // namespace

std::unique_ptr<SdlPlatform> SdlPlatform::create(const std::string& title, const Logger& log) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log(std::string("cannot start the video system: ") + SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<SdlPlatform> platform(new SdlPlatform());
    platform->window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                         SDL_WINDOWPOS_CENTERED, kScreenWidth, kScreenHeight,
                                         SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!platform->window_) {
        log(std::string("cannot open the window: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetWindowMinimumSize(platform->window_, kScreenWidth / 2, kScreenHeight / 2);
    if (!platform->createRenderer(log)) return nullptr;
    return platform;
}

bool SdlPlatform::createRenderer(const Logger& log) {
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    std::string glName;
    if (renderer_ && onSoftwareGl(renderer_, &glName)) {
        log("OpenGL renders on the CPU (" + glName + "): using the software renderer");
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
        log(std::string("cannot create a renderer: ") + SDL_GetError());
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) == 0) rendererName_ = info.name;
    log("renderer: " + rendererName_);
    SDL_RenderSetLogicalSize(renderer_, kScreenWidth, kScreenHeight);
    device_.attach(renderer_);
    return true;
}

SdlPlatform::~SdlPlatform() {
    device_.releasePages();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void SdlPlatform::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << '\n';
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_);
}

bool SdlPlatform::setFullscreen(bool fullscreen) {
    if (SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    fullscreen_ = fullscreen;
    return true;
}

void SdlPlatform::centreWindow() {
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlPlatform::showSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

MousePoint SdlPlatform::mousePosition() const {
    int globalX = 0, globalY = 0, windowX = 0, windowY = 0;
    SDL_GetGlobalMouseState(&globalX, &globalY);
    SDL_GetWindowPosition(window_, &windowX, &windowY);
    float logicalX = 0, logicalY = 0;
    SDL_RenderWindowToLogical(renderer_, globalX - windowX, globalY - windowY, &logicalX, &logicalY);
    return {static_cast<int>(logicalX), static_cast<int>(logicalY)};
}

bool SdlPlatform::pointerInWindow() const { return SDL_GetMouseFocus() == window_; }

void SdlPlatform::pumpEvents(PlatformEvents& events, uint32_t timeoutMs) {
    SDL_Event event;
    if (timeoutMs > 0) {
        if (!SDL_WaitEventTimeout(&event, static_cast<int>(timeoutMs))) return;
        dispatch(event, events);
    }
    while (SDL_PollEvent(&event)) dispatch(event, events);
}

void SdlPlatform::dispatch(const SDL_Event& event, PlatformEvents& events) {
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
        case SDL_MOUSEBUTTONDOWN:
            events.onMouseDown(gameButton(event.button.button));
            break;
        case SDL_MOUSEBUTTONUP:
            events.onMouseUp(gameButton(event.button.button));
            break;
        case SDL_MOUSEMOTION:
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
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            events.onDeviceReset();
            break;
        default:
            break;
    }
}

std::unique_ptr<HeadlessPlatform> HeadlessPlatform::create(
    const std::function<void(const std::string&)>& log) {
    std::unique_ptr<HeadlessPlatform> platform(new HeadlessPlatform());
    platform->surface_ =
        SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!platform->surface_) {
        log(std::string("cannot create the picture surface: ") + SDL_GetError());
        return nullptr;
    }
    platform->renderer_ = SDL_CreateSoftwareRenderer(platform->surface_);
    if (!platform->renderer_) {
        log(std::string("cannot create the software renderer: ") + SDL_GetError());
        return nullptr;
    }
    platform->device_.attach(platform->renderer_);
    return platform;
}

HeadlessPlatform::~HeadlessPlatform() {
    device_.releasePages();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
}

void HeadlessPlatform::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << '\n';
}

}  // namespace qs
