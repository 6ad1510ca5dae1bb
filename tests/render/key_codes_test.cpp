#include "render/key_codes.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "render/sdl_key_codes.h"

namespace qs {
namespace {

TEST(KeyCodes, SdlKeysBecomeTheGamesCodes) {
    struct Case {
        SDL_Keycode sdl;
        int vk;
    };
    const Case cases[] = {
        {SDLK_a, 65},       {SDLK_z, 90},        {SDLK_0, 48},         {SDLK_9, 57},
        {SDLK_RETURN, 13},  {SDLK_KP_ENTER, 13}, {SDLK_ESCAPE, 27},    {SDLK_BACKSPACE, 8},
        {SDLK_SPACE, 32},   {SDLK_UP, 38},       {SDLK_DOWN, 40},      {SDLK_DELETE, 46},
        {SDLK_MINUS, 189},  {SDLK_F1, 112},      {SDLK_KP_5, 101},     {SDLK_CAPSLOCK, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(virtualKeyFromSdl(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
}

TEST(KeyCodes, ScriptNamesBecomeTheGamesCodes) {
    struct Case {
        const char* name;
        int vk;
    };
    const Case cases[] = {
        {"escape", 27}, {"Enter", 13}, {"a", 65}, {"Z", 90}, {"7", 55},
        {"f12", 123},   {"65", 65},    {"minus", 189}, {"", 0}, {"nokey", 0}, {"999", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(virtualKeyFromName(c.name), c.vk) << c.name;
}

}  // namespace
}  // namespace qs
