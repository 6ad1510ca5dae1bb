// libFuzzer target for the font width reader (.pos). Whatever the file says, every glyph
// frame is a real frame number and measuring any text with the result stays well defined;
// the file is also measured against the glyphs of a real font's picture.
//   scripts/fuzz 30 fuzz_pos     (builds it and runs on fuzz/corpus/pos)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game_world.h"
#include "scene/text_objects.h"
#include "visual/prototype_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::GameWorld world("pos");
    // The font the widths belong to: a real font's picture, loaded once.
    static const bool fontLoaded = [] {
        const std::string spr = "z=310\r\n1\r\n..\\graphics\\fonts\\font_crystal1.png, frame_width=28, "
                                "frame_height=31, texture_size=32\r\n";
        world.content.write("fonts/fuzz.spr", reinterpret_cast<const uint8_t*>(spr.data()), spr.size());
        return world.ctx->prototypes->LoadSpritePrototype("fonts\\fuzz.spr") >= 0;
    }();
    (void)fontLoaded;
    world.content.write("fonts/fuzz.pos", data, size);
    qs::FontWidths widths;
    if (!qs::readFontWidths(*world.ctx->sceneObjects, "fonts\\fuzz.spr", widths)) abort();  // the file is there
    std::string every;
    for (int code = 0; code < 256; ++code) {
        if (widths.frame[code] < 0) abort();
        every += static_cast<char>(code);
    }
    (void)qs::measureText(widths, every, 1.5);
    (void)qs::checkFontWidths(*world.ctx->sceneObjects, "fonts\\fuzz.spr");
    return 0;
}
