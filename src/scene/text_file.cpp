#include "scene/text_file.h"

#include "core/comma_fields.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"
#include "scene/scene_object_list.h"
#include "scene/text_objects.h"

namespace qs {

std::string fillPlaceholders(const std::string& line, const std::vector<std::string>& values,
                             std::string* problem) {
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] != '%') {
            out += line[i++];
            continue;
        }
        size_t close = line.find(';', i + 1);
        // An unclosed placeholder swallows the rest of the line.
        if (close == std::string::npos) break;
        std::string number = line.substr(i + 1, close - i - 1);
        std::optional<int> n = parseInt(number);
        if (n && *n >= 1 && *n <= static_cast<int>(values.size())) {
            out += values[*n - 1];
        } else if (problem) {
            *problem = "placeholder %" + number + "; has no value";
        }
        i = close + 1;
    }
    return out;
}

bool ShowTextFile(SceneObjectList& objects, const std::string& path, const std::string& tag,
                  const std::string& values) {
    std::vector<std::string> fields;
    for (int n = 1;; ++n) {
        std::string field = trim(GetCommaField(values, n));
        if (field.empty()) break;
        fields.push_back(field);
    }
    std::optional<std::string> text = objects.files().readContent(path);
    if (!text) {
        objects.log().error("text file " + path + " is missing");
        return false;
    }
    // No screen text comes near this; a larger file is damaged, and every glyph is an object.
    if (text->size() > kMaxTextFileBytes) {
        objects.log().error("text file " + path + " holds " + std::to_string(text->size()) +
                      " characters, more than the " + std::to_string(kMaxTextFileBytes) +
                      " a screen text may have; only those are read");
        text->resize(kMaxTextFileBytes);
    }

    std::string font;
    double size = 0, x = 0, y = 0, leading = 0;
    int z = 0, color = 0xFFFFFF, alignment = kAlignCentre;
    bool inSection = false;
    bool sectionSeen = false;
    int lineNumber = 0;
    for (const std::string& raw : splitLines(*text)) {
        ++lineNumber;
        const std::string line = cutLine(raw);
        auto bad = [&](const std::string& what) {
            objects.log().error(path + " line " + std::to_string(lineNumber) + ": " + what);
        };
        if (inSection) {
            if (trim(line) == "#end") {
                inSection = false;
                continue;
            }
            if (font.empty()) continue;
            std::string shown = line;
            if (!fields.empty()) {
                std::string problem;
                shown = fillPlaceholders(line, fields, &problem);
                if (!problem.empty()) bad(problem);
            }
            create_txt(objects, shown, z, font, x, y, size, color, tag, alignment);
            y += leading;
            continue;
        }
        std::string setting = line;
        size_t comment = setting.find(';');
        if (comment != std::string::npos) setting.resize(comment);
        setting = trim(setting);
        if (setting.empty()) continue;
        if (setting == "#begin") {
            inSection = sectionSeen = true;
            continue;
        }
        size_t equals = setting.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        const std::string key = trim(setting.substr(0, equals));
        const std::string value = trim(setting.substr(equals + 1));
        auto real = [&](double& field) {
            if (std::optional<double> v = parseReal(value)) field = *v;
            else bad(key + " \"" + value + "\" is not a number");
        };
        auto whole = [&](int& field) {
            if (std::optional<int> v = parseIntOrHex(value)) field = *v;
            else bad(key + " \"" + value + "\" is not a whole number");
        };
        if (key == "font") font = value;
        else if (key == "size") real(size);
        else if (key == "x") real(x);
        else if (key == "y") real(y);
        else if (key == "leading") real(leading);
        else if (key == "z") whole(z);
        else if (key == "color") whole(color);
        else if (key == "align") {
            if (value == "left") alignment = kAlignLeft;
            else if (value == "right") alignment = kAlignRight;
            else if (value == "center") alignment = kAlignCentre;
        }
    }
    // A text cut short or written without its section would show nothing, or half of itself,
    // without a word.
    if (!sectionSeen) objects.log().error("text file " + path + ": no #begin section: the text shows nothing");
    else if (inSection) objects.log().error("text file " + path + ": the file ends inside a #begin section (no #end)");
    return true;
}

}  // namespace qs
