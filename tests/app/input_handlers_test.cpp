#include "app/input_handlers.h"

#include <gtest/gtest.h>

#include "app/context.h"
#include "core/scene_codes.h"
#include "render/key_codes.h"
#include "scene/scene_object_list.h"
#include "test_support.h"

namespace qs {
namespace {

struct Input {
    Input() {
        ctx().frame.appActive = true;
        ctx().hooks.HandleButtonRelease = [this] { released.push_back(ctx().input.pressedButton); };
        ctx().hooks.command = [this](const InputCommand& command) {
            if (const auto* key = std::get_if<input::Key>(&command)) keys.push_back(key->code);
            return true;
        };
    }
    Context& ctx() { return *world.ctx; }
    InputHandlers& handlers() { return ctx().handlers; }
    void pointAt(int x, int y) {
        world.platform.mouse = {x, y};
        handlers().ReadMousePosition(true);
    }
    test::TestWorld world;
    std::vector<int> released;
    std::vector<int> keys;  // the codes of the keys the scene was handed
};

TEST(InputHandlers, ButtonFiresOnlyWhenPressedAndReleasedOnIt) {
    Input in;
    in.pointAt(100, 100);
    // Down outside any button, up over one: nothing.
    in.ctx().input.hoveredButton = -1;
    in.handlers().FormMouseDown(1);
    in.ctx().input.hoveredButton = 3;
    in.handlers().FormMouseUp(1);
    EXPECT_TRUE(in.released.empty());
    EXPECT_EQ(in.ctx().input.pressedButton, -1);
    // Down and up over the same button: it fires.
    in.handlers().FormMouseDown(1);
    in.handlers().FormMouseUp(1);
    EXPECT_EQ(in.released, std::vector<int>{3});
    // Moving off it before the release cancels it.
    in.handlers().FormMouseDown(1);
    in.ctx().input.hoveredButton = 4;
    in.handlers().FormMouseUp(1);
    EXPECT_EQ(in.released.size(), 1u);
}

TEST(InputHandlers, EnterAndEscapeActAsTheScreensButtons) {
    Input in;
    in.ctx().input.ScreenKind = 1;
    // The main menu, as its scene answers for it: Escape is its "leave" button.
    in.ctx().hooks.keyButton = [](int key) { return key == kVkEscape ? 5 : 0; };
    in.handlers().FormKeyDown(kVkEscape, 0);
    EXPECT_EQ(in.released, std::vector<int>{5});
    EXPECT_TRUE(in.keys.empty());
    in.handlers().FormKeyDown(kVkReturn, 0);  // no button for Enter on the main menu
    EXPECT_EQ(in.keys, std::vector<int>{kVkReturn});

    // No screen up: Escape is a plain key.
    in.ctx().input.ScreenKind = 0;
    in.handlers().FormKeyDown(kVkEscape, 0);
    EXPECT_EQ(in.keys, (std::vector<int>{kVkReturn, kVkEscape}));
    EXPECT_EQ(in.released.size(), 1u);
    // Two keys in one frame both reach the scene; the dump shows the last.
    in.handlers().FormKeyDown(kVkA, kShiftShift);
    in.handlers().FormKeyDown(kVkA + 1, 0);
    EXPECT_EQ(in.keys, (std::vector<int>{kVkReturn, kVkEscape, kVkA, kVkA + 1}));
    EXPECT_EQ(in.ctx().input.keyCode, kVkA + 1);
    EXPECT_EQ(in.ctx().input.shiftState, 0);
}

TEST(InputHandlers, TheScreenUpAnswersWhichButtonAKeyStandsFor) {
    struct Case {
        const char* name;
        int screen;
        int hookAnswer;  // -1: no hook
        int released;    // -1: the key reaches the scene as a key
    };
    const Case cases[] = {
        {"the screen's own button", 8, 7, 7},
        {"no button for the key there: a plain key", 8, 0, -1},
        {"no scene answering: a plain key", 8, -1, -1},
    };
    for (const Case& c : cases) {
        Input in;
        in.ctx().input.ScreenKind = c.screen;
        if (c.hookAnswer >= 0) in.ctx().hooks.keyButton = [answer = c.hookAnswer](int) { return answer; };
        in.handlers().FormKeyDown(kVkEscape, 0);
        if (c.released < 0) {
            EXPECT_TRUE(in.released.empty()) << c.name;
            EXPECT_EQ(in.keys, std::vector<int>{kVkEscape}) << c.name;
        } else {
            EXPECT_EQ(in.released, std::vector<int>{c.released}) << c.name;
        }
    }
}

TEST(InputHandlers, PressesAndKeysGoToTheScenesOwnReadingFirst) {
    Input in;
    std::vector<std::string> taken;
    in.ctx().hooks.command = [&](const InputCommand& command) {
        if (const auto* press = std::get_if<input::Press>(&command))
            taken.push_back("press " + std::to_string(press->button));
        else
            taken.push_back("key " + std::to_string(std::get<input::Key>(command).code) + " " +
                            std::to_string(std::get<input::Key>(command).mods));
        return true;
    };
    in.pointAt(400, 300);
    in.handlers().FormMouseDown(1);
    in.handlers().FormMouseDown(2);
    in.handlers().FormKeyDown(kVkSpace, kShiftShift);
    EXPECT_EQ(taken, (std::vector<std::string>{"press 1", "press 2", "key 32 1"}));
    // A key a screen's button stands for is that button, not a key.
    in.ctx().input.ScreenKind = 1;
    in.ctx().hooks.keyButton = [](int key) { return key == kVkEscape ? 5 : 0; };  // the main menu's
    in.handlers().FormKeyDown(kVkEscape, 0);
    EXPECT_EQ(taken.size(), 3u);
    EXPECT_EQ(in.released, std::vector<int>{5});
}

TEST(InputHandlers, PointerOutsideOrInactiveIsIgnored) {
    Input in;
    in.pointAt(900, 300);
    EXPECT_EQ(in.ctx().input.mouseX, -1000);
    in.ctx().input.hoveredButton = 2;
    in.handlers().FormMouseDown(1);
    EXPECT_EQ(in.ctx().input.pressedButton, -1);

    in.pointAt(10, 10);
    in.ctx().frame.appActive = false;
    in.handlers().FormMouseDown(1);
    in.handlers().FormKeyDown(kVkA, 0);
    EXPECT_EQ(in.ctx().input.pressedButton, -1);
    EXPECT_TRUE(in.keys.empty());
}

TEST(InputHandlers, TheGamesOwnCursorHidesTheDesktopPointer) {
    Input in;
    in.pointAt(400, 300);
    in.handlers().FormMouseMove();
    EXPECT_TRUE(in.world.platform.cursorShown) << "no cursor object yet: the desktop's stays";

    // A cursor from a missing prototype has no parts; the handlers only need its slot.
    in.ctx().log.setErrorSink([](const std::string&) {});
    TMultiSprite& cursor = in.ctx().sceneObjects->create("graphics\\cursor.spr");
    in.ctx().input.cursorObject = cursor.slot;
    in.pointAt(120, 80);
    EXPECT_EQ(cursor.x, 120);
    EXPECT_EQ(cursor.y, 80);

    struct Case {
        const char* event;
        void (*send)(InputHandlers&);
    };
    const Case cases[] = {
        {"move", [](InputHandlers& h) { h.FormMouseMove(); }},
        {"down", [](InputHandlers& h) { h.FormMouseDown(1); }},
        {"up", [](InputHandlers& h) { h.FormMouseUp(1); }},
    };
    in.ctx().input.hoveredButton = 2;
    for (const Case& c : cases) {
        in.world.platform.cursorShown = true;
        c.send(in.handlers());
        EXPECT_FALSE(in.world.platform.cursorShown) << c.event;
    }
    // The press and release over the button still reach it.
    EXPECT_EQ(in.released, std::vector<int>{2});
}

}  // namespace
}  // namespace qs
