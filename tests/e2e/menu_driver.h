#pragma once

// Drives the menus as a player does, through a script of timed mouse and key input: where the
// buttons are, how long a screen takes to come up, and a script written in the order a test
// reads.
#include <cctype>
#include <string>

#include "test_support.h"

namespace qs::test {

// The intro and the loading bar of the real content are over by then and the first screen
// (the main menu or the first player's name entry) takes input.
constexpr int kMenuReady = 3600;
// A new screen fades in over about 32 steps; the next action waits for it.
constexpr int kScreenChange = 450;
constexpr int kKeyGap = 40;
constexpr int kClickGuard = 310;  // a new screen ignores presses for 300 ms

// Where the menus' buttons are: the fixed zones' middles, and the middles of the panels the
// maps place (their pictures are opaque there).
struct Point {
    int x, y;
};
constexpr Point kStartButton{400, 176}, kOptionsButton{400, 236}, kRecordsButton{400, 296},
    kHelpButton{400, 356}, kExitButton{400, 476}, kPlayerLine{400, 127};
constexpr Point kArcadeButton{400, 176}, kChallengeButton{400, 236}, kPuzzleButton{400, 296};
constexpr Point kCheckbox{225, 371}, kMessageOk{400, 422};
constexpr Point kMusicLeft{320, 176}, kMusicRight{480, 176}, kSoundLeft{320, 236}, kSoundRight{480, 236};
constexpr Point kHelpPrevious{341, 120}, kHelpNext{459, 120}, kSmallOk{400, 492};
constexpr Point kRecordsPrevious{283, 170}, kRecordsNext{519, 170};
constexpr Point kScrollUp{575, 185}, kScrollDown{575, 384}, kDeletePanel{238, 478}, kRenamePanel{346, 478},
    kCreateLine{400, 412};
constexpr Point kExitNo{460, 369};
constexpr Point kMessagesButton{400, 356};
inline Point listRow(int r) { return {400, 218 + 24 * r}; }

// A script written in the order the test reads, each step at its own virtual time.
class Timeline {
public:
    explicit Timeline(const TempDir& dir) : dir_(dir) {}

    Timeline& at(int ms) {
        now_ = ms;
        return *this;
    }
    Timeline& wait(int ms) {
        now_ += ms;
        return *this;
    }
    int now() const { return now_; }

    Timeline& move(Point p, int settle = kKeyGap) {
        add(now_, "mouse_move " + std::to_string(p.x) + " " + std::to_string(p.y));
        now_ += settle;
        return *this;
    }
    Timeline& down() { return line("mouse_down left", kKeyGap); }
    Timeline& up(int settle = kKeyGap) { return line("mouse_up left", settle); }
    // As a hand clicks: the pointer rests on the button (the hover pass must see it there
    // before the press copies it, and a screen that has just come up ignores presses for a
    // moment), then goes down and up.
    Timeline& click(Point p, int settle = kScreenChange) {
        move(p, kClickGuard);
        down();
        return up(settle);
    }
    Timeline& key(const std::string& name, int settle = kScreenChange) { return line("key_down " + name, settle); }
    // Letters in capitals go with Shift; " " is the space bar, "-" the minus key, "." the dot,
    // "<" Backspace.
    Timeline& type(const std::string& text) {
        for (char c : text) {
            if (c == ' ') key("space", kKeyGap);
            else if (c == '-') key("minus", kKeyGap);
            else if (c == '.') key("period", kKeyGap);
            else if (c == '<') key("backspace", kKeyGap);
            else if (std::isupper(static_cast<unsigned char>(c))) key(std::string(1, char(std::tolower(c))) + " shift", kKeyGap);
            else key(std::string(1, c), kKeyGap);
        }
        return *this;
    }
    // Output of the last frame before the current time (input at a time is delivered before
    // that time's frame, so a dump there would already show the next action); the time does
    // not move on.
    Timeline& dump(const std::string& name) {
        add(now_ - kOutputLead, "dump_state " + (dir_ / (name + ".json")).string());
        return *this;
    }
    Timeline& shot(const std::string& name) {
        add(now_ - kOutputLead, "screenshot " + (dir_ / (name + ".png")).string());
        return *this;
    }
    // Any other script line at a time of its own.
    Timeline& addAt(int ms, const std::string& command) {
        add(ms, command);
        return *this;
    }
    std::string text() const { return text_; }

private:
    Timeline& line(const std::string& command, int settle) {
        add(now_, command);
        now_ += settle;
        return *this;
    }
    void add(int ms, const std::string& command) { text_ += std::to_string(ms) + " " + command + "\n"; }

    static constexpr int kOutputLead = 10;
    const TempDir& dir_;
    int now_ = kMenuReady;
    std::string text_;
};

}  // namespace qs::test
