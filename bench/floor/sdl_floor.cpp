// The floor under the game's cost: a bare SDL program that only clears and presents a black
// 800 x 600 picture at a fixed rate, with the renderer the game would choose (an accelerated
// one unless OpenGL rasterises on the CPU, then the software renderer shown through the
// window system). What the game spends above it is the game's own.
//   sdl_floor [--headless] [--rate N] [--seconds S] [--vsync] [--gl-framebuffer]
// --headless draws with the software renderer into a surface, as headless game runs do;
// --gl-framebuffer leaves SDL's default of showing a software picture through OpenGL.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <SDL.h>

namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

bool onSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    if (!name) return false;
    const std::string text(reinterpret_cast<const char*>(name));
    return text.find("llvmpipe") != std::string::npos || text.find("softpipe") != std::string::npos ||
           text.find("Software Rasterizer") != std::string::npos || text.find("swrast") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
    bool headless = false, vsync = false, glFramebuffer = false;
    int rate = 60;
    double seconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--headless") headless = true;
        else if (arg == "--vsync") vsync = true;
        else if (arg == "--gl-framebuffer") glFramebuffer = true;
        else if (arg == "--rate" && i + 1 < argc) rate = std::atoi(argv[++i]);
        else if (arg == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "usage: sdl_floor [--headless] [--rate N] [--seconds S] [--vsync] [--gl-framebuffer]\n");
            return 2;
        }
    }
    if (rate <= 0) rate = 60;
    if (headless) SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "sdl_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = nullptr;
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    if (headless) {
        surface = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    } else {
        window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                                  SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (window) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (renderer && onSoftwareGl(renderer)) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
        if (window && !renderer) {
            if (!glFramebuffer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
        if (renderer) SDL_RenderSetLogicalSize(renderer, 800, 600);
        if (renderer && vsync) SDL_RenderSetVSync(renderer, 1);
    }
    if (!renderer) {
        std::fprintf(stderr, "sdl_floor: no renderer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(renderer, &info);
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    const Uint64 start = SDL_GetPerformanceCounter();
    const Uint64 end = start + static_cast<Uint64>(seconds * frequency);
    long pictures = 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        const Uint64 now = SDL_GetPerformanceCounter();
        if (now >= end) break;
        const Uint64 due = start + static_cast<Uint64>(pictures) * frequency / rate;
        if (!vsync && now < due) {
            SDL_Delay(static_cast<Uint32>((due - now) * 1000 / frequency));
            continue;
        }
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
        ++pictures;
    }
    std::printf("{\"renderer\": \"%s\", \"pictures\": %ld, \"seconds\": %.2f}\n", info.name, pictures, seconds);
    SDL_DestroyRenderer(renderer);
    if (surface) SDL_FreeSurface(surface);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
