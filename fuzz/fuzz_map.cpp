// libFuzzer target for the location map reader. The map may name the game's real sprite
// prototypes; whatever it says, the objects made stay within what a screen may hold, all
// carry the map's tag, and unloading the tag takes every one of them away again.
//   scripts/fuzz 30 fuzz_map     (builds it and runs on fuzz/corpus/map)
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "game_world.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "visual/multisprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::GameWorld world("map");
    qs::Context& ctx = *world.ctx;
    world.content.write("fuzz.map", data, size);
    const int result = qs::load_location_map(*ctx.sceneObjects, "fuzz.map");
    if (result != -1 && (result < 1 || result > qs::kMaxMapObjects)) abort();
    const int live = ctx.sceneObjects->liveCount();
    if (live > (result < 0 ? 0 : result)) abort();
    for (int slot = 0; slot < ctx.sceneObjects->count(); ++slot)
        if (const qs::TMultiSprite* object = ctx.sceneObjects->at(slot))
            if (object->tag != "fuzz") abort();
    if (ctx.sceneObjects->unload_by_tag("fuzz") != live || ctx.sceneObjects->liveCount() != 0) abort();
    return 0;
}
