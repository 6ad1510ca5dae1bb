#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/scene_codes.h"
#include "game/game_mode.h"
#include "ui/buttons.h"
#include "ui/focus.h"

namespace qs {

class SceneServices;
class ScreenTable;
struct MenuState;

// What the menu's screens share: the run's services, the menu's numbers that outlive a screen,
// the table another screen is opened through, and the feedback every screen gives alike.
// Most screens ask for the next one by posting a command that the scene carries out at its
// next step; `open` is for the few that bring the next screen up at once.
// The command that starts a game of the mode.
SceneCommand startCommand(GameMode mode);

class MenuContext {
public:
    MenuContext(SceneServices& services, MenuState& state, const ScreenTable& screens)
        : services(services), state(state), screens_(screens) {}

    // Brings the screen of `kind` up now.
    void open(ScreenKind kind);
    // Asks the next step to carry `command` out.
    void post(SceneCommand command);

    // The hovered button: its number for the press, and the pointer's "over a button" frame.
    void markHovered(int button);
    // Pixel-tested buttons, numbered from `firstNumber`: hovered shows frame 1 (2 when pressed,
    // where allowed).
    void hoverObjectButtons(const std::vector<ObjectRef>& buttons, bool pressedFrame, bool visibleOnly,
                            int firstNumber = 1);
    void startFade(const std::vector<std::string>& tags, int step = 8);
    void unloadTags(std::initializer_list<const char*> tags);
    void hideGameComments();
    void requestMenuMusic(int fadeOutMs, int fadeInMs);
    // Focus targets for buttons found by name, numbered from `firstNumber` in their order (the
    // hidden or missing ones left out).
    std::vector<FocusTarget> targetsOf(const std::vector<ObjectRef>& buttons, int firstNumber = 1) const;
    // Loads a dialog's map afresh and finds its buttons by name, numbered from 1.
    std::vector<ObjectRef> openDialog(const char* map, const std::string& tag,
                                      const std::vector<std::string>& buttonNames);
    // The chosen mode starts: through the first player's name, the continue question or at
    // once (the game type screen and the game message both end here).
    void startChosenGame();

    // What the name message says next; the name entry sets it before it opens the message.
    struct NameMessage {
        const char* textFile = "";
        bool nameExists = false;
    };
    NameMessage nameMessage;

    SceneServices& services;
    MenuState& state;

private:
    const ScreenTable& screens_;
};

}  // namespace qs
