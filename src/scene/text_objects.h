#pragma once

#include <array>
#include <string>

namespace qs {

class SceneObjectList;

// The widths of a bitmap font, read from the ".pos" file beside its ".spr".
struct FontWidths {
    double spacing = 0;
    std::array<int, 256> width;  // -1: the font has no glyph for the code
    std::array<int, 256> frame;  // glyph frame of the font's sheet
    int frames = 0;              // width lines read: one a glyph frame, in frame order
    int lastWidthLine = 0;       // the file's line of the last of them
    FontWidths() {
        width.fill(-1);
        frame.fill(0);
    }
};

// Reads the width file of a font ("x\font.spr" -> "x\font.pos"). False (logged) when the
// font path is not a ".spr" or its width file is missing; bad lines are logged and skipped.
bool readFontWidths(SceneObjectList& objects, const std::string& fontPath, FontWidths& widths);

// Reads the width file of a loaded font and measures it against the glyphs the font's picture
// draws: a file that stops before the last drawn glyph was cut short. False (logged) when the
// file cannot be read or is cut.
bool checkFontWidths(SceneObjectList& objects, const std::string& fontPath);

enum TextAlign { kAlignLeft = 1, kAlignCentre = 2, kAlignRight = 3 };

// Lays a line of text out and creates one object per non-blank character, tagged `tag`.
// Returns the sum of scale x width over the characters (spacing not included).
double create_txt(SceneObjectList& objects, const std::string& text, int z, const std::string& font, double x,
                  double y, double scale, int color, const std::string& tag, int alignment);

// The laid-out width: widths plus the spacing before every character but the first.
double MeasureText(SceneObjectList& objects, const std::string& text, const std::string& font, double scale);
double measureText(const FontWidths& widths, const std::string& text, double scale);

}  // namespace qs
