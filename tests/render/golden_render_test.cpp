#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/context.h"
#include "picture.h"
#include "render/png_writer.h"
#include "render/render_pass.h"
#include "render/sdl_platform.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/image_decoder.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace qs {
namespace {

using test::Picture;
using test::readPicture;

namespace fs = std::filesystem;

// A 32 x 32 tile with a hard checker, a soft diagonal and a transparent corner: point and
// bilinear sampling, flips, rotation and blending all leave a different mark on it.
std::vector<uint32_t> fixturePixels() {
    std::vector<uint32_t> pixels(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            uint32_t checker = ((x / 4 + y / 4) % 2) ? 0xFF : 0x30;
            uint32_t ramp = static_cast<uint32_t>(x * 8);
            uint32_t alpha = (x + y < 8) ? 0 : 0xFF;
            pixels[y * 32 + x] = (alpha << 24) | (checker << 16) | (ramp << 8) | 0x40;
        }
    }
    return pixels;
}

TEST(GoldenRender, SpritesDrawAsTheReferencePicture) {
    test::TempDir dir;
    fs::create_directories(dir / "data");
    ASSERT_TRUE(writePng((dir / "data/tile.png").string(), 32, 32, fixturePixels(), nullptr));
    dir.write("data/plain.spr", "x=20,y=20\r1\rtile.png,texture_size=32\r");
    dir.write("data/rotated.spr", "x=120,y=20,angle=30,rot_center_x=16,rot_center_y=16\r1\rtile.png,texture_size=32\r");
    dir.write("data/glow.spr", "x=36,y=36\r1\rtile.png,texture_size=32,alpha_mode=1\r");
    dir.write("data/smooth.spr", "x=20,y=100,scale=3\r1\rtile.png,texture_size=32,filter=1\r");
    dir.write("data/sharp.spr", "x=140,y=100,scale=3\r1\rtile.png,texture_size=32,filter=0\r");
    dir.write("data/mirror.spr", "x=220,y=20,flip_x=1,flip_y=1,alpha=160\r1\rtile.png,texture_size=32\r");

    auto platform = HeadlessPlatform::create([](const std::string&) {});
    ASSERT_NE(platform, nullptr);
    Context ctx(std::make_unique<VirtualClock>(), FileSystem(dir / "data", dir / "user"), *platform, 1);
    for (const char* name : {"plain", "rotated", "glow", "smooth", "sharp", "mirror"})
        ctx.sceneObjects->create(std::string(name) + ".spr");
    ctx.sceneObjects->ApplyTransformAll();
    ctx.spriteEngine->Move(0);

    DrawList quads;
    ctx.spriteEngine->Draw(quads, ctx.prototypes->textures());
    ASSERT_EQ(quads.size(), 6u);
    RenderDevice& device = platform->device();
    device.clear();
    bool failure = false;
    ASSERT_TRUE(drawQuadPass(device, quads, failure));
    fs::path shot = dir / "frame.png";
    ASSERT_TRUE(device.saveScreenshot(shot.string(), nullptr));

    const fs::path golden = fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/render/golden/sprites.png";
    if (std::getenv("QUIBBLESTAR_UPDATE_GOLDEN")) fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
    Picture expected = readPicture(golden);
    Picture actual = readPicture(shot);
    ASSERT_EQ(expected.width, 800) << "missing reference picture " << golden;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    // Renderers may round a pixel or two differently at rotated edges.
    const size_t different = test::differentPixels(actual, expected);
    EXPECT_LT(different, 40u) << "pixels that differ from " << golden << "; this run's picture is "
                              << shot;
}

TEST(GoldenRender, EmptyFrameIsBlack) {
    test::TempDir dir;
    auto platform = HeadlessPlatform::create([](const std::string&) {});
    ASSERT_NE(platform, nullptr);
    RenderDevice& device = platform->device();
    device.clear();
    bool failure = false;
    EXPECT_TRUE(drawQuadPass(device, {}, failure));
    ASSERT_TRUE(device.saveScreenshot((dir / "black.png").string(), nullptr));
    Picture picture = readPicture(dir / "black.png");
    ASSERT_EQ(picture.width, 800);
    for (uint8_t value : picture.rgb) ASSERT_EQ(value, 0);
}

}  // namespace
}  // namespace qs
