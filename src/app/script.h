#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qs {

// A headless run's timed input and commands, one per line: "<virtual ms> <command> <args>".
//   mouse_move X Y | mouse_leave | mouse_down B | mouse_up B | click B   (B: left, right, middle)
//   key_down KEY [shift] [ctrl] [alt]       (KEY: a name such as escape, enter, a, f1, or a code)
//   key_up KEY                              (a key held down since its key_down is let go)
//   focus_lost | focus_gained | minimize | restore | toggle_fullscreen
//   screenshot FILE.png | dump_state FILE.json [objects] | quit
//   map NAME.map | text FILE TAG [VALUES] | particles TYPE X Y [COUNT] | button N OBJECT
//   field MODE LEVEL | shoot X Y [KIND]      (a playfield with its balls; fire at a point)
//   window_size W H                          (a real window only: its size in its own units)
// "#" starts a comment. Input is delivered before the frame at its time, the output
// commands run after that frame's picture.
struct ScriptCommand {
    enum class Kind {
        MouseMove, MouseLeave, MouseDown, MouseUp, Click, KeyDown, KeyUp,
        FocusLost, FocusGained, Minimize, Restore, ToggleFullscreen, WindowSize,
        Screenshot, DumpState, Quit,
        LoadMap, ShowText, Particles, Button, Field, Shoot,
    };
    uint32_t time = 0;
    Kind kind = Kind::Quit;
    int x = 0, y = 0;   // mouse position
    int button = 0;     // 1 left, 2 right, 3 middle
    int key = 0;        // virtual-key code
    uint8_t shift = 0;  // shift state bits
    std::string path;   // output file, map, text file or object name
    std::string tag;    // text tag
    std::string values; // text values
    int count = 1;      // particles
    int type = 0;       // particle type
    bool withObjects = false;  // dump_state: list the live objects too
    int line = 0;

    bool isOutput() const { return kind == Kind::Screenshot || kind == Kind::DumpState; }
};

struct Script {
    std::vector<ScriptCommand> commands;  // in time order (stable for equal times)
};

// Parses a script; on the first bad line returns nothing and says why in *error.
std::optional<Script> parseScript(const std::string& text, std::string* error);

}  // namespace qs
