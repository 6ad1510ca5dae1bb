#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/main_form.h"
#include "picture.h"
#include "render/png_writer.h"
#include "render/sdl_platform.h"
#include "test_support.h"
#include "visual/image_decoder.h"
#include "visual/object_3d.h"
#include "visual/object_3d_pass.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

using test::Picture;
using test::readPicture;

namespace fs = std::filesystem;

// A cube with one material per face, all over one checker texture whose top-left square is
// red (so a mirrored or upside-down mapping shows), and a translucent yellow pane.
void writeScene(const test::TempDir& dir) {
    fs::create_directories(dir / "data/meshes");
    std::vector<uint32_t> checker(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool light = (x / 8 + y / 8) % 2 == 0;
            checker[y * 64 + x] = x < 16 && y < 16 ? 0xFFFF2020u : light ? 0xFFFFFFFFu : 0xFF4060A0u;
        }
    ASSERT_TRUE(writePng((dir / "data/meshes/checker.png").string(), 64, 64, checker, nullptr));
    dir.write("data/meshes/cube.mtl",
              "newmtl front\nKd 1 1 1\nmap_Kd checker.png\n"
              "newmtl back\nKd 1 0.3 0.3\nmap_Kd checker.png\n"
              "newmtl right\nKd 0.4 1 0.4\nmap_Kd checker.png\n"
              "newmtl left\nKd 0.4 0.4 1\nmap_Kd checker.png\n"
              "newmtl top\nKd 1 1 0.4\nmap_Kd checker.png\n"
              "newmtl bottom\nKd 1 0.4 1\nmap_Kd checker.png\n");
    dir.write("data/meshes/cube.obj",
              "mtllib cube.mtl\n"
              "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
              "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
              "vt 0 1\nvt 1 1\nvt 1 0\nvt 0 0\n"
              "usemtl front\nf 5/1 6/2 7/3 8/4\n"
              "usemtl back\nf 2/1 1/2 4/3 3/4\n"
              "usemtl right\nf 6/1 2/2 3/3 7/4\n"
              "usemtl left\nf 1/1 5/2 8/3 4/4\n"
              "usemtl top\nf 1/1 2/2 6/3 5/4\n"
              "usemtl bottom\nf 8/1 7/2 3/3 4/4\n");
    dir.write("data/meshes/pane.mtl", "newmtl glass\nKd 1 0.9 0.2\nd 0.55\n");
    dir.write("data/meshes/pane.obj",
              "mtllib pane.mtl\nusemtl glass\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nf 1 2 3 4\n");
    // The part turns the cube about y, the object tips it about x: three faces show.
    dir.write("data/objects/cube.m3d",
              "x=-80,y=-20,scale=110,angle_vector_x=1,angle=-28\r1\r"
              "..\\meshes\\cube.obj,angle_vector_y=1,angle=38\r");
    dir.write("data/objects/pane.m3d", "x=90,y=90,z=400,scale=80\r1\r..\\meshes\\pane.obj\r");
}

TEST(MeshRender, ALitTexturedCubeDrawsAsTheReferencePicture) {
    test::TempDir dir;
    writeScene(dir);
    auto platform = HeadlessPlatform::create([](const std::string&) {});
    ASSERT_NE(platform, nullptr);
    Context ctx(std::make_unique<VirtualClock>(), FileSystem(dir / "data", dir / "user"), *platform, 1);
    Object3DList& objects = *ctx.objects3D;
    ASSERT_NE(objects.create(*ctx.prototypes, "objects\\cube.m3d"), nullptr);
    ASSERT_NE(objects.create(*ctx.prototypes, "objects\\pane.m3d"), nullptr);
    EXPECT_EQ(ctx.log.errorCount(), 0);
    EXPECT_EQ(ctx.prototypes->meshes().textureCount(), 1);

    RenderDevice& device = platform->device();
    device.clear();
    Pass3DStats stats;
    ASSERT_TRUE(draw3DPass(device, objects, ctx.prototypes->meshes(), 0, 0, &stats));
    EXPECT_EQ(stats.triangles, 14);
    const fs::path shot = dir / "cube.png";
    ASSERT_TRUE(device.saveScreenshot(shot.string(), nullptr));

    const fs::path golden = fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/render/golden/mesh_cube.png";
    if (std::getenv("QUIBBLESTAR_UPDATE_GOLDEN")) fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
    const Picture expected = readPicture(golden);
    const Picture actual = readPicture(shot);
    ASSERT_EQ(expected.width, 800) << "missing reference picture " << golden;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    // Renderers may round edge pixels of a triangle differently.
    const size_t different = test::differentPixels(actual, expected);
    EXPECT_LT(different, 400u) << "pixels that differ from " << golden << "; this run's picture is "
                               << shot;

    // Whatever the reference says: the corners stay black, the cube's middle is lit at most
    // by the grey ambient, and the pane shows the cube through it.
    const uint8_t* corner = actual.at(5, 5);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0);
    const uint8_t* middle = actual.at(320, 280);
    EXPECT_GT(middle[0] + middle[1] + middle[2], 60);
    EXPECT_LE(std::max({middle[0], middle[1], middle[2]}), 130);
}

TEST(MeshRender, NoMeshTexturesSurviveTheRendererAndTheyComeBackAfterAReset) {
    test::TempDir dir;
    writeScene(dir);
    auto platform = HeadlessPlatform::create([](const std::string&) {});
    ASSERT_NE(platform, nullptr);
    Context ctx(std::make_unique<VirtualClock>(), FileSystem(dir / "data", dir / "user"), *platform, 1);
    ASSERT_NE(ctx.objects3D->create(*ctx.prototypes, "objects\\cube.m3d"), nullptr);
    RenderDevice& device = platform->device();
    device.releasePages();  // what a lost device leaves: nothing to draw with
    ScreenVertex triangle[3];
    EXPECT_FALSE(device.drawTriangles(0, false, triangle, 3));
    EXPECT_TRUE(device.drawTriangles(-1, false, triangle, 3));
    EXPECT_TRUE(ctx.prototypes->meshes().restoreTextures(device));
    EXPECT_TRUE(device.drawTriangles(0, false, triangle, 3));
    EXPECT_FALSE(device.createMeshTexture(1, 0, 5, nullptr));
}

// A scene that only keeps the frame running.
class IdleScene final : public Scene {
public:
    void start() override {}
    bool setUpUpdate() override { return true; }
    void update() override {}
    void unload() override {}
};

TEST(MeshRender, TheFrameDrawsThe3DPassOnlyWhenThereAre3DObjects) {
    test::TestWorld world;
    writeScene(world.dir);
    // Every tick draws a frame: no frame-rate cap.
    world.content("options.txt", "fps_max=0\r\n");
    Context& ctx = *world.ctx;
    TMainForm form(ctx, std::make_unique<IdleScene>(), std::make_unique<IdleScene>());
    form.FormCreate();
    test::FakeDevice& device = world.platform.fakeDevice();
    auto runFrames = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            world.clock->advance(10);
            form.TimerTick();
        }
    };
    runFrames(5);
    ASSERT_GT(ctx.frame.framesRendered, 0);
    EXPECT_TRUE(device.triangleBatches.empty());

    TMultiObject3D* cube = ctx.objects3D->create(*ctx.prototypes, "objects\\cube.m3d");
    ASSERT_NE(cube, nullptr);
    const int rendered = ctx.frame.framesRendered;
    runFrames(1);
    ASSERT_EQ(ctx.frame.framesRendered, rendered + 1);
    EXPECT_FALSE(device.triangleBatches.empty());
    for (const auto& batch : device.triangleBatches) EXPECT_EQ(batch.texture, 0);

    // A new device gets the mesh textures back with the pages.
    const int created = device.meshTexturesCreated;
    form.onDeviceReset();
    EXPECT_EQ(device.meshTexturesCreated, created + 1);

    ctx.objects3D->free(cube->slot);
    device.triangleBatches.clear();
    runFrames(1);
    EXPECT_TRUE(device.triangleBatches.empty());
}

}  // namespace
}  // namespace qs
