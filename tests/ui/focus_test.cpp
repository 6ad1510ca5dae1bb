#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render/key_codes.h"
#include "render/platform.h"
#include "ui/focus.h"
#include "ui/frame_state.h"
#include "ui/screen.h"

namespace qs {
namespace {

// A screen that is only its focus order: buttons 10, 20 and 30 down a column, OK (20) the
// default unless a case says otherwise.
class ColumnScreen final : public Screen {
public:
    ScreenKind kind() const override { return kScreenOptions; }
    void enter() override {}
    void leave() override {}
    void release(int) override {}
    int enterButton() const override { return 20; }
    int escapeButton() const override { return 30; }
    std::vector<FocusTarget> focusTargets() const override { return targets; }
    int defaultFocus() const override { return defaultButton; }

    std::vector<FocusTarget> targets{{10, 400, 100}, {20, 400, 200}, {30, 400, 300}};
    int defaultButton = 20;
};

TEST(Focus, ArrowsWalkTheOrderAndWrapWhileTheFirstPressShowsTheDefault) {
    struct Case {
        const char* name;
        std::vector<int> keys;  // virtual keys pressed in turn
        int shift;              // Shift held on every key
        int defaultButton;
        int focused;            // the button focused at the end
    };
    const Case cases[] = {
        {"the first arrow only shows the default", {kVkDown}, 0, 20, 20},
        {"down from the default", {kVkDown, kVkDown}, 0, 20, 30},
        {"down past the last wraps to the first", {kVkDown, kVkDown, kVkDown}, 0, 20, 10},
        {"up past the first wraps to the last", {kVkUp, kVkUp, kVkUp}, 0, 20, 30},
        {"left and right walk like up and down", {kVkRight, kVkLeft}, 0, 20, 10},
        {"tab goes on, shift-tab back", {kVkTab, kVkTab}, 0, 20, 30},
        {"shift-tab", {kVkTab, kVkTab}, kShiftShift, 20, 10},
        {"a default the screen lacks starts at the first", {kVkDown}, 0, 99, 10},
    };
    for (const Case& c : cases) {
        ColumnScreen screen;
        screen.defaultButton = c.defaultButton;
        InputState in;
        for (int key : c.keys) {
            const int step = focusStep(input::Key{key, static_cast<uint8_t>(c.shift)});
            ASSERT_NE(step, 0) << c.name;
            EXPECT_TRUE(moveFocus(in, &screen, step)) << c.name;
        }
        EXPECT_TRUE(in.keysOwnPointer) << c.name;
        EXPECT_EQ(in.focusedButton, c.focused) << c.name;
        // The pointer stands on the focused button, so the screen's hover pass lights it.
        for (const FocusTarget& t : screen.targets) {
            if (t.button == c.focused) {
                EXPECT_EQ(std::make_pair(in.mouseX, in.mouseY), std::make_pair(t.x, t.y)) << c.name;
            }
        }
        // Enter presses the focused button rather than the screen's own Enter button.
        EXPECT_EQ(keyButtonOf(&screen, kVkReturn, in.focusedButton), c.focused) << c.name;
        EXPECT_EQ(keyButtonOf(&screen, kVkEscape, in.focusedButton), 30) << c.name;
    }
}

TEST(Focus, OtherKeysDoNotMoveIt) {
    for (int key : {kVkReturn, kVkEscape, kVkSpace, kVkA})
        EXPECT_EQ(focusStep(input::Key{key, 0}), 0) << key;
}

TEST(Focus, ANewScreenShowsItsDefaultAndTheMouseTakesTheFocusAway) {
    ColumnScreen first;
    InputState in;
    // The mouse has the pointer: a screen coming up focuses nothing.
    in.mouseX = 123;
    keepFocus(in, &first);
    EXPECT_EQ(in.focusedButton, 0);
    EXPECT_EQ(in.mouseX, 123);

    moveFocus(in, &first, 1);
    moveFocus(in, &first, 1);
    ASSERT_EQ(in.focusedButton, 30);
    // The next screen lacks button 30: its default is shown at once.
    ColumnScreen next;
    next.targets = {{1, 300, 400}, {2, 500, 400}};
    next.defaultButton = 2;
    keepFocus(in, &next);
    EXPECT_EQ(in.focusedButton, 2);
    EXPECT_EQ(in.mouseX, 500);
    // A screen without buttons for the keys keeps the pointer but focuses nothing.
    ColumnScreen bare;
    bare.targets.clear();
    keepFocus(in, &bare);
    EXPECT_EQ(in.focusedButton, 0);
    EXPECT_FALSE(moveFocus(in, &bare, 1));

    // The screen goes and comes back: its default again, not the button focused before.
    moveFocus(in, &first, 1);
    moveFocus(in, &first, 1);
    ASSERT_EQ(in.focusedButton, 30);
    keepFocus(in, nullptr);
    keepFocus(in, &first);
    EXPECT_EQ(in.focusedButton, 20);

    releaseFocus(in);
    EXPECT_FALSE(in.keysOwnPointer);
    EXPECT_EQ(in.focusedButton, 0);
    EXPECT_EQ(keyButtonOf(&first, kVkReturn, in.focusedButton), 20);
}

}  // namespace
}  // namespace qs
