// libFuzzer target for the font width reader (.pos). Whatever the file says, every glyph
// frame is a real frame number and measuring any text with the result stays well defined.
//   scripts/fuzz 30 fuzz_pos     (builds it and runs on fuzz/corpus/pos)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game_world.h"
#include "scene/text_objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::GameWorld world("pos");
    world.content.write("fonts/fuzz.pos", data, size);
    qs::FontWidths widths;
    if (!qs::readFontWidths(*world.ctx, "fonts\\fuzz.spr", widths)) abort();  // the file is there
    std::string every;
    for (int code = 0; code < 256; ++code) {
        if (widths.frame[code] < 0) abort();
        every += static_cast<char>(code);
    }
    (void)qs::measureText(widths, every, 1.5);
    return 0;
}
