// The frame cost of a crowded screen: N copies of the menu panel (a large picture, opaque
// inside, soft at its edges) scattered over and around the screen, as a map at the
// 1,024-object cap makes them (and past it, for comparison). One frame is the draw list built from the sprites' places,
// drawn on SDL's software renderer (800 x 600) and presented.
//
//   build/bench_bench_crowded_map [--benchmark_repetitions=5 --benchmark_report_aggregates_only=true]
//
// The counter "quads" is what reached the draw list per frame: the quads hidden under
// opaque ones drawn later and those off the screen are left out by the sprite engine.
// Goal (reported, not asserted): the frame at the cap within the 16.7 ms of a 60 Hz display.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "app/context.h"
#include "app/main_form.h"
#include "render/render_pass.h"
#include "render/sdl_platform.h"
#include "scene/scene_object_list.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace {

constexpr const char* kPanel = "graphics\\elements_gamezone\\menu_panel.spr";

void BM_CrowdedFrame(benchmark::State& state) {
    auto platform = qs::HeadlessPlatform::create([](const std::string& message) { std::cerr << message << '\n'; });
    if (!platform) {
        std::cerr << "no software renderer\n";
        std::exit(2);
    }
    qs::Context ctx(std::make_unique<qs::VirtualClock>(0), qs::FileSystem(QUIBBLESTAR_SOURCE_DIR "/data", {}),
                    *platform, 1);
    ctx.log.setErrorSink([](const std::string& message) { std::cerr << "content: " << message << '\n'; });
    ctx.prototypes->textures().choosePixelFormat(false);
    // Where a map's objects may stand: over the screen and some way around it.
    std::mt19937 random(1);
    std::uniform_int_distribution<int> x(-50, 750), y(-50, 550), z(0, 50);
    for (int64_t i = 0; i < state.range(0); ++i) {
        qs::TMultiSprite& object = ctx.sceneObjects->create(kPanel);
        object.x = x(random);
        object.y = y(random);
        object.z = z(random);
    }
    ctx.sceneObjects->ApplyTransformAll();
    ctx.spriteEngine->Move(qs::kSpriteMoveCount);
    qs::RenderDevice& device = ctx.platform().device();
    size_t quads = 0;
    // The first picture cuts the panel's tiles into the pages: not part of a frame.
    ctx.spriteEngine->Draw(ctx.drawList, ctx.prototypes->textures());
    bool warmUpFailure = false;
    qs::drawQuadPass(device, ctx.drawList, warmUpFailure);
    for (auto _ : state) {
        ctx.drawList.clear();
        ctx.spriteEngine->Draw(ctx.drawList, ctx.prototypes->textures());
        quads = ctx.drawList.size();
        device.clear();
        bool textureFailure = false;
        qs::drawQuadPass(device, ctx.drawList, textureFailure);
        device.present();
    }
    state.counters["quads"] = static_cast<double>(quads);
}

}  // namespace

BENCHMARK(BM_CrowdedFrame)->Arg(0)->Arg(512)->Arg(1024)->Arg(2000)->Arg(4096)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
