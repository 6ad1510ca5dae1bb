#include "scene/text_objects.h"

#include "core/file_system.h"
#include "core/log.h"
#include "core/text_util.h"
#include "scene/scene_object_list.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype.h"
#include "visual/texture_library.h"

namespace qs {

namespace {

constexpr int kCodeLimit = 1 << 20;

// How many glyph frames of a font's picture draw anything: the last frame with a visible
// pixel, plus one. 0 when the font is not loaded (yet) or draws nothing.
int drawnGlyphFrames(SceneObjectList& objects, const std::string& fontPath) {
    PrototypeLibrary& library = objects.world().prototypes;
    const TMultiSpritePrototype* font =
        library.prototypeAt(library.FindPrototype(fontPath, PrototypeLibrary::kSpritePrototype));
    if (!font || font->parts.empty()) return 0;
    const TextureSheet* sheet = library.textures().sheetAt(font->parts[0].sheet);
    if (!sheet) return 0;
    for (size_t f = sheet->frames.size(); f > 0; --f)
        for (const TextureTile& tile : sheet->frames[f - 1].tiles)
            if (tile.hasVisiblePixels) return static_cast<int>(f);
    return 0;
}

}  // namespace

bool readFontWidths(SceneObjectList& objects, const std::string& fontPath, FontWidths& widths) {
    widths = FontWidths();
    if (!endsWithNoCase(fontPath, ".spr")) return false;
    const std::string posPath = fontPath.substr(0, fontPath.size() - 3) + "pos";
    std::optional<std::string> text = objects.files().readContent(posPath);
    if (!text) {
        objects.log().error("font width file " + posPath + " is missing: its texts are not shown");
        return false;
    }
    bool spacingRead = false;
    int code = 0;
    int frame = 0;
    int lineNumber = 0;
    for (const std::string& raw : splitLines(*text)) {
        ++lineNumber;
        std::string line = cutLine(raw);
        if (!line.empty() && line[0] == ';') continue;
        size_t comment = line.find(';');
        if (comment != std::string::npos) line.resize(comment);
        line = trim(line);
        if (line.empty()) continue;
        auto bad = [&](const std::string& what) {
            objects.log().error(posPath + " line " + std::to_string(lineNumber) + ": " + what);
        };
        if (!spacingRead) {
            spacingRead = true;
            if (std::optional<double> spacing = parseReal(line)) widths.spacing = *spacing;
            else bad("the letter spacing \"" + line + "\" is not a number; 0 is used");
            continue;
        }
        if (line[0] == '#') {
            // Codes outside 0..255 name no character, but they still count on from there:
            // keep them small enough that counting on can never overflow.
            std::optional<int> next = parseInt(trim(line.substr(1)));
            if (next && *next >= -kCodeLimit && *next <= kCodeLimit) code = *next;
            else bad("\"" + line + "\" is not a character code (0 to 255)");
            continue;
        }
        std::optional<int> width = parseInt(line);
        if (!width) bad("the width \"" + line + "\" is not a whole number");
        widths.lastWidthLine = lineNumber;
        // Codes outside 0..255 name no character; the glyph frame still counts the line.
        if (width && code >= 0 && code <= 255) {
            widths.width[code] = *width;
            widths.frame[code] = frame;
        }
        if (code < kCodeLimit) ++code;
        if (frame < kCodeLimit) ++frame;
    }
    // Without a single width the font draws no letter at all.
    if (frame == 0) objects.log().error("font width file " + posPath + " holds no letter widths: its texts show nothing");
    widths.frames = frame;
    return true;
}

bool checkFontWidths(SceneObjectList& objects, const std::string& fontPath) {
    FontWidths widths;
    if (!readFontWidths(objects, fontPath, widths)) return false;
    // A width line a glyph frame, in frame order: a file that stops before the last glyph
    // its picture draws was cut short (only blank frames may follow the last width).
    const int drawn = drawnGlyphFrames(objects, fontPath);
    if (widths.frames > 0 && drawn > widths.frames) {
        objects.log().error(fontPath.substr(0, fontPath.size() - 3) + "pos line " + std::to_string(widths.lastWidthLine) +
                      ": the widths end after " + std::to_string(widths.frames) +
                      " glyph frames, but the font's picture draws " + std::to_string(drawn) +
                      ": the file is cut short and the later letters show nothing");
        return false;
    }
    return true;
}

double measureText(const FontWidths& widths, const std::string& text, double scale) {
    double total = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) total += scale * widths.spacing;
        total += scale * widths.width[static_cast<unsigned char>(text[i])];
    }
    return total;
}

double MeasureText(SceneObjectList& objects, const std::string& text, const std::string& font, double scale) {
    FontWidths widths;
    if (!readFontWidths(objects, font, widths)) return 0;
    return measureText(widths, text, scale);
}

double create_txt(SceneObjectList& objects, const std::string& text, int z, const std::string& font, double x,
                  double y, double scale, int color, const std::string& tag, int alignment) {
    if (text.empty()) return 0;
    double result = 0;
    int created = 0;
    FontWidths widths;
    if (readFontWidths(objects, font, widths)) {
        const double total = measureText(widths, text, scale);
        if (alignment == kAlignRight) x -= total;
        else if (alignment != kAlignLeft) x -= total / 2;
        double pen = x;
        for (char ch : text) {
            const unsigned char code = static_cast<unsigned char>(ch);
            if (ch != ' ') {
                TMultiSprite& glyph = objects.create(font);
                glyph.x = pen + scale * widths.spacing;
                glyph.y = y;
                glyph.scale_x = scale;
                glyph.scale_y = scale;
                if (!glyph.sprites.empty()) glyph.sprites[0]->animPos = widths.frame[code];
                glyph.tag = tag;
                if (color >= 0) glyph.color = color;
                if (z != -1) glyph.z = z;
                ++created;
            }
            pen += scale * (widths.width[code] + widths.spacing);
            result += scale * widths.width[code];
        }
    }
    objects.log().WriteLog("create_txt(\"" + tag + "\"), created: " + std::to_string(created));
    return result;
}

}  // namespace qs
