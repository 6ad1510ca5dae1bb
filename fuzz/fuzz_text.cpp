// libFuzzer target for the screen text reader. The input is the text file; whatever follows
// a NUL byte fills its "%N;" placeholders. The file may name the game's real fonts. Every
// glyph made carries the tag asked for, and unloading the tag takes them all away again.
//   scripts/fuzz 30 fuzz_text     (builds it and runs on fuzz/corpus/text)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game_world.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "visual/multisprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::GameWorld world("text");
    qs::Context& ctx = *world.ctx;
    const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t fileSize = nul ? static_cast<size_t>(nul - data) : size;
    const std::string values = nul ? std::string(reinterpret_cast<const char*>(nul + 1), size - fileSize - 1)
                                   : std::string();
    world.content.write("text/fuzz.txt", data, fileSize);
    if (!qs::ShowTextFile(*ctx.sceneObjects, "text\\fuzz.txt", "fuzztext", values)) abort();  // the file is there
    const int live = ctx.sceneObjects->liveCount();
    // One object per glyph, and no more glyphs than the characters a text file may hold.
    if (live > static_cast<int>(qs::kMaxTextFileBytes) * 8) abort();
    for (int slot = 0; slot < ctx.sceneObjects->count(); ++slot)
        if (const qs::TMultiSprite* object = ctx.sceneObjects->at(slot))
            if (object->tag != "fuzztext") abort();
    if (ctx.sceneObjects->unload_by_tag("fuzztext") != live || ctx.sceneObjects->liveCount() != 0) abort();
    return 0;
}
