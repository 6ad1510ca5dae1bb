#include "app/script.h"

#include <algorithm>
#include <sstream>

#include "core/text_util.h"
#include "game/game_mode.h"
#include "render/key_codes.h"
#include "render/platform.h"

namespace qs {

namespace {

std::optional<int> buttonFromName(const std::string& name) {
    if (name == "left" || name == "1") return 1;
    if (name == "right" || name == "2") return 2;
    if (name == "middle" || name == "3") return 3;
    return std::nullopt;
}

}  // namespace

std::optional<Script> parseScript(const std::string& text, std::string* error) {
    Script script;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        if (error) *error = "script line " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    for (const std::string& raw : splitLines(text)) {
        ++lineNumber;
        std::string line = raw;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        if (words.empty()) continue;
        if (words.size() < 2) return fail("expected a time and a command");

        std::optional<int> time = parseInt(words[0]);
        if (!time || *time < 0) return fail("\"" + words[0] + "\" is not a time in ms");
        ScriptCommand command;
        command.time = static_cast<uint32_t>(*time);
        command.line = lineNumber;
        const std::string verb = toLower(words[1]);
        const size_t args = words.size() - 2;
        using Kind = ScriptCommand::Kind;

        auto needArgs = [&](size_t n) { return args == n; };
        if (verb == "mouse_move") {
            if (!needArgs(2)) return fail("mouse_move takes X Y");
            auto x = parseInt(words[2]);
            auto y = parseInt(words[3]);
            if (!x || !y) return fail("mouse_move takes whole numbers");
            command.kind = Kind::MouseMove;
            command.x = *x;
            command.y = *y;
        } else if (verb == "mouse_down" || verb == "mouse_up" || verb == "click") {
            if (!needArgs(1)) return fail(verb + " takes a button");
            auto button = buttonFromName(toLower(words[2]));
            if (!button) return fail("unknown button \"" + words[2] + "\"");
            command.kind = verb == "mouse_down" ? Kind::MouseDown
                           : verb == "mouse_up" ? Kind::MouseUp
                                                : Kind::Click;
            command.button = *button;
        } else if (verb == "key_up") {
            if (!needArgs(1)) return fail("key_up takes a key");
            command.kind = Kind::KeyUp;
            command.key = virtualKeyFromName(words[2].c_str());
            if (command.key == 0) return fail("unknown key \"" + words[2] + "\"");
        } else if (verb == "key_down") {
            if (args < 1) return fail("key_down takes a key");
            command.kind = Kind::KeyDown;
            command.key = virtualKeyFromName(words[2].c_str());
            if (command.key == 0) return fail("unknown key \"" + words[2] + "\"");
            for (size_t i = 3; i < words.size(); ++i) {
                std::string modifier = toLower(words[i]);
                if (modifier == "shift") command.shift |= kShiftShift;
                else if (modifier == "ctrl") command.shift |= kShiftCtrl;
                else if (modifier == "alt") command.shift |= kShiftAlt;
                else return fail("unknown modifier \"" + words[i] + "\"");
            }
        } else if (verb == "map") {
            if (!needArgs(1)) return fail("map takes a map name");
            command.kind = Kind::LoadMap;
            command.path = words[2];
        } else if (verb == "text") {
            if (args < 2 || args > 3) return fail("text takes a file, a tag and optional values");
            command.kind = Kind::ShowText;
            command.path = words[2];
            command.tag = words[3];
            if (args == 3) command.values = words[4];
        } else if (verb == "particles") {
            if (args < 3 || args > 4) return fail("particles takes TYPE X Y [COUNT]");
            auto type = parseInt(words[2]);
            auto x = parseInt(words[3]);
            auto y = parseInt(words[4]);
            auto count = args == 4 ? parseInt(words[5]) : std::optional<int>(1);
            if (!type || !x || !y || !count || *count < 1 || *count > 1000)
                return fail("particles takes whole numbers (at most 1000 at once)");
            command.kind = Kind::Particles;
            command.type = *type;
            command.x = *x;
            command.y = *y;
            command.count = *count;
        } else if (verb == "button") {
            if (!needArgs(2)) return fail("button takes a number and an object name");
            auto n = parseInt(words[2]);
            if (!n || *n < 0) return fail("button takes a number");
            command.kind = Kind::Button;
            command.button = *n;
            command.path = words[3];
        } else if (verb == "field") {
            if (!needArgs(2)) return fail("field takes a mode and a level");
            auto level = parseInt(words[3]);
            std::string mode = toLower(words[2]);
            if (!level || *level < 1 || !parseGameMode(mode))
                return fail("field takes arcade, challenge or puzzle and a level from 1");
            command.kind = Kind::Field;
            command.path = mode;
            command.count = *level;
        } else if (verb == "shoot") {
            if (args < 2 || args > 3) return fail("shoot takes X Y [KIND]");
            auto x = parseInt(words[2]);
            auto y = parseInt(words[3]);
            auto kind = args == 3 ? parseInt(words[4]) : std::optional<int>(0);
            if (!x || !y || !kind || *kind < 0 || *kind > 12) return fail("shoot takes X Y and a kind 0..12");
            command.kind = Kind::Shoot;
            command.x = *x;
            command.y = *y;
            command.type = *kind;
        } else if (verb == "window_size") {
            if (!needArgs(2)) return fail("window_size takes a width and a height");
            auto width = parseInt(words[2]);
            auto height = parseInt(words[3]);
            if (!width || !height || *width < 400 || *height < 300)
                return fail("window_size takes whole numbers of at least 400 and 300");
            command.kind = Kind::WindowSize;
            command.x = *width;
            command.y = *height;
        } else if (verb == "screenshot") {
            if (!needArgs(1)) return fail(verb + " takes a file name");
            command.kind = Kind::Screenshot;
            command.path = words[2];
        } else if (verb == "dump_state") {
            // "objects" adds every live object's place and size; kept out by default, as a
            // screen of text holds hundreds of glyph objects.
            if (args < 1 || args > 2 || (args == 2 && toLower(words[3]) != "objects"))
                return fail("dump_state takes a file name and optionally \"objects\"");
            command.kind = Kind::DumpState;
            command.path = words[2];
            command.withObjects = args == 2;
        } else {
            static const struct { const char* name; Kind kind; } kPlain[] = {
                {"mouse_leave", Kind::MouseLeave}, {"focus_lost", Kind::FocusLost},
                {"focus_gained", Kind::FocusGained}, {"minimize", Kind::Minimize},
                {"restore", Kind::Restore}, {"toggle_fullscreen", Kind::ToggleFullscreen},
                {"quit", Kind::Quit},
            };
            bool known = false;
            for (const auto& plain : kPlain) {
                if (verb == plain.name) {
                    if (!needArgs(0)) return fail(verb + " takes no arguments");
                    command.kind = plain.kind;
                    known = true;
                    break;
                }
            }
            if (!known) return fail("unknown command \"" + words[1] + "\"");
        }
        script.commands.push_back(command);
    }
    std::stable_sort(script.commands.begin(), script.commands.end(),
                     [](const ScriptCommand& a, const ScriptCommand& b) { return a.time < b.time; });
    return script;
}

}  // namespace qs
