#include "visual/object_3d.h"

#include <cmath>

#include <gtest/gtest.h>

#include "test_support.h"
#include "visual/mesh_library.h"
#include "visual/object_3d_pass.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

// A small scene: meshes and .m3d files in a test content folder, objects in the context's list.
struct Scene3D {
    Scene3D() { world.ctx->log.setEnabled(true); }
    TMultiObject3D& add(const std::string& m3dName, const std::string& m3dText) {
        world.content("objects/" + m3dName, m3dText);
        TMultiObject3D* object = objects().create(*world.ctx->prototypes, "objects\\" + m3dName);
        EXPECT_NE(object, nullptr);
        return *object;
    }
    Object3DList& objects() { return *world.ctx->objects3D; }
    std::vector<PassTriangle> triangles(double scrollX = 0, double scrollY = 0) {
        return buildTriangles3D(objects(), world.ctx->prototypes->meshes(), scrollX, scrollY);
    }
    test::TestWorld world;
};

// One triangle in the plane z = depth, pointing right from the origin.
std::string flatTriangle(double depth) {
    const std::string z = std::to_string(depth);
    return "v 0 0 " + z + "\nv 1 0 " + z + "\nv 0 1 " + z + "\nf 1 2 3\n";
}

TEST(Object3D, TheScreenCameraPutsTheWorldOriginAtTheScreenCentre) {
    const Camera camera = screenCamera();
    const Matrix4 toClip = camera.view * camera.projection;
    struct Case {
        Vector4 point;
        float x, y, depth;
    };
    const Case cases[] = {
        {{0, 0, 0, 1}, 400, 300, 0.5f},
        {{100, -50, 0, 1}, 500, 250, 0.5f},
        {{-400, 300, 1, 1}, 0, 600, 0},  // z = 1 is the near end
        {{0, 0, -1, 1}, 400, 300, 1},
    };
    for (const Case& c : cases) {
        const Vector4 clip = transform(c.point, toClip);
        EXPECT_FLOAT_EQ(clip.w, 1);
        EXPECT_FLOAT_EQ((clip.x + 1) * 400, c.x);
        EXPECT_FLOAT_EQ((1 - clip.y) * 300, c.y);
        EXPECT_FLOAT_EQ(clip.z, c.depth);
    }
}

TEST(Object3D, PartTransformThenObjectTurnThenObjectPosition) {
    Scene3D s;
    s.world.content("meshes/tri.obj", flatTriangle(0));
    TMultiObject3D& object = s.add("a.m3d", "x=100,angle_vector_z=1,angle=90\r1\r..\\meshes\\tri.obj,x=10\r");
    std::vector<PassTriangle> out = s.triangles();
    ASSERT_EQ(out.size(), 1u);
    // (1, 0, 0): part offset -> (11, 0, 0), turned a quarter about z -> (0, 11, 0), then moved
    // to x 100: screen (500, 311). The other orders give (510, 301) or (400, 411).
    EXPECT_NEAR(out[0].v[1].x, 500, 1e-3);
    EXPECT_NEAR(out[0].v[1].y, 311, 1e-3);
    EXPECT_NEAR(out[0].v[0].x, 500, 1e-3);  // (0, 0, 0) -> (0, 10, 0) -> (100, 10, 0)
    EXPECT_NEAR(out[0].v[0].y, 310, 1e-3);

    // Scale, rotation centre and the map scroll by the map factors.
    object.angle = 0;
    object.scale_x = object.scale_y = 2;
    object.map_koeff_x = 0.5;
    object.map_koeff_y = 0;
    out = s.triangles(40, 1000);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(out[0].v[1].x, 400 + 22 + 100 - 20, 1e-3);
    EXPECT_NEAR(out[0].v[1].y, 300, 1e-3);

    object.scale_x = object.scale_y = 1;
    object.angle = std::acos(-1.0);  // half a turn about (10, 0, 0)
    object.rot_center_x = 10;
    out = s.triangles();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(out[0].v[1].x, 400 + 9 + 100, 1e-3);  // 11 mirrored about 10
    EXPECT_NEAR(out[0].v[1].y, 300, 1e-3);
}

TEST(Object3D, TrianglesAreSortedFarthestFirst) {
    Scene3D s;
    // In one mesh the near triangle comes first; of two objects the near one is made first.
    s.world.content("meshes/pair.obj",
                    "v 0 0 0.5\nv 1 0 0.5\nv 0 1 0.5\nv 0 0 -0.5\nv 2 0 -0.5\nv 0 2 -0.5\n"
                    "f 1 2 3\nf 4 5 6\n");
    s.world.content("meshes/tri.obj", flatTriangle(0));
    TMultiObject3D& nearObject = s.add("near.m3d", "z=0.25\r1\r..\\meshes\\tri.obj\r");
    TMultiObject3D& farObject = s.add("far.m3d", "z=-0.75\r1\r..\\meshes\\pair.obj\r");
    nearObject.x = 200;
    farObject.x = -200;
    const std::vector<PassTriangle> out = s.triangles();
    ASSERT_EQ(out.size(), 3u);
    // far object's far triangle (z -1.25), far object's near one (-0.25), the near object (0.25)
    EXPECT_FLOAT_EQ(out[0].depth, 0.5f - 0.5f * -1.25f);
    EXPECT_NEAR(out[0].v[1].x, 200 + 2, 1e-3);
    EXPECT_FLOAT_EQ(out[1].depth, 0.5f - 0.5f * -0.25f);
    EXPECT_NEAR(out[1].v[1].x, 200 + 1, 1e-3);
    EXPECT_FLOAT_EQ(out[2].depth, 0.5f - 0.5f * 0.25f);
    EXPECT_NEAR(out[2].v[1].x, 600 + 1, 1e-3);
}

TEST(Object3D, AmbientLightMaterialTintAndAlpha) {
    Scene3D s;
    s.world.content("meshes/lit.mtl", "newmtl half\nKd 1 0.5 0\nd 0.5\n");
    s.world.content("meshes/lit.obj", "mtllib lit.mtl\nusemtl half\n" + flatTriangle(0));
    TMultiObject3D& object = s.add("lit.m3d", "alpha=128\r1\r..\\meshes\\lit.obj\r");
    std::vector<PassTriangle> out = s.triangles();
    ASSERT_EQ(out.size(), 1u);
    // Grey ambient 128 times (1, 0.5, 0); alpha 0.5 x 128 / 255.
    EXPECT_EQ(out[0].v[0].color, 0x40804000u);
    EXPECT_EQ(out[0].texture, -1);
    EXPECT_FALSE(out[0].additive);

    object.color = 0x00FF80;  // the tint scales each channel
    object.alpha = 255;
    out = s.triangles();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].v[0].color, 0x80004000u);

    object.alpha = 0;  // faded out: nothing left to draw
    EXPECT_TRUE(s.triangles().empty());
}

TEST(Object3D, VisibilityGroupsCamerasAndAnimationFrames) {
    Scene3D s;
    s.world.content("meshes/one.obj", flatTriangle(0));
    s.world.content("meshes/two.obj", "v 0 0 0\nv 3 0 0\nv 0 3 0\nv 3 3 0\nf 1 2 3\nf 2 4 3\n");
    TMultiObject3D& object = s.add(
        "anim.m3d", "x=0\r2\r..\\meshes\\one.obj,anim_speed=250\r+..\\meshes\\two.obj\r"
                    "..\\meshes\\two.obj\r");
    ASSERT_EQ(object.parts.size(), 2u);
    EXPECT_TRUE(object.parts[0].visible);
    EXPECT_FALSE(object.parts[1].visible);  // one part of a group shows at a time
    EXPECT_EQ(s.triangles().size(), 1u);

    object.Move(4);  // 4 x 0.25: the second frame
    EXPECT_EQ(s.triangles().size(), 2u);
    s.objects().Move(4);  // looping back to the first
    EXPECT_EQ(s.triangles().size(), 1u);
    object.parts[0].animPos = 7.5;  // a position past the frames shows nothing, never reads past
    EXPECT_TRUE(s.triangles().empty());
    object.parts[0].animPos = 0;

    object.SelectGroupPart(0, 1);
    EXPECT_EQ(s.triangles().size(), 2u);
    object.visible = false;
    EXPECT_TRUE(s.triangles().empty());
    object.visible = true;

    object.camera = 1;  // not in the table
    EXPECT_TRUE(s.triangles().empty());
    // A camera looking down +z from z = -5 with a perspective projection: points behind it
    // are left out, not drawn through the eye.
    Camera perspective;
    perspective.view = Matrix4::translation(0, 0, 5);
    perspective.projection = Matrix4::zero();
    perspective.projection.at(0, 0) = 1;
    perspective.projection.at(1, 1) = 1;
    perspective.projection.at(2, 2) = 1;
    perspective.projection.at(2, 3) = 1;
    perspective.projection.at(3, 2) = -1;
    s.objects().CameraTable.push_back(perspective);
    std::vector<PassTriangle> out = s.triangles();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(out[0].v[1].x, 400 + 3 * 400 / 5.0, 1e-3);  // (3, 0, 0) at distance 5
    object.z = -6;  // the mesh is now behind the eye
    EXPECT_TRUE(s.triangles().empty());
}

TEST(Object3D, TrianglesReachTheDeviceInRunsOfOneTextureAndBlend) {
    test::FakeDevice device;
    ASSERT_TRUE(device.createMeshTexture(3, 1, 1, std::vector<uint32_t>{0xFFFFFFFF}.data()));
    std::vector<PassTriangle> triangles(5);
    const int textures[] = {-1, -1, 3, 3, 7};
    for (int i = 0; i < 5; ++i) {
        triangles[i].texture = textures[i];
        triangles[i].v[0].x = static_cast<float>(i);
    }
    triangles[3].additive = true;
    Pass3DStats stats;
    EXPECT_FALSE(drawTriangles3D(device, triangles, &stats));  // texture 7 is not there
    ASSERT_EQ(device.triangleBatches.size(), 3u);
    EXPECT_EQ(device.triangleBatches[0].texture, -1);
    EXPECT_EQ(device.triangleBatches[0].vertices.size(), 6u);
    EXPECT_EQ(device.triangleBatches[1].texture, 3);
    EXPECT_FALSE(device.triangleBatches[1].additive);
    EXPECT_EQ(device.triangleBatches[2].texture, 3);
    EXPECT_TRUE(device.triangleBatches[2].additive);
    EXPECT_EQ(device.triangleBatches[2].vertices[0].x, 3);
    EXPECT_EQ(stats.batches, 4);
    EXPECT_EQ(stats.failedBatches, 1);
    EXPECT_EQ(stats.triangles, 4);
}

TEST(Object3D, SlotsAreReusedAndMissingPrototypesGiveEmptyObjects) {
    Scene3D s;
    s.world.content("meshes/tri.obj", flatTriangle(0));
    TMultiObject3D& a = s.add("a.m3d", "x=1\r1\r..\\meshes\\tri.obj\r");
    TMultiObject3D& b = s.add("a.m3d", "x=1\r1\r..\\meshes\\tri.obj\r");
    EXPECT_EQ(s.world.ctx->prototypes->prototype3DCount(), 1);  // found by its bare name
    EXPECT_EQ(a.slot, 0);
    EXPECT_EQ(b.slot, 1);
    EXPECT_EQ(a.name, "a");
    s.objects().free(0);
    EXPECT_EQ(s.objects().liveCount(), 1);
    TMultiObject3D* ghost = s.objects().create(*s.world.ctx->prototypes, "objects\\none.m3d");
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->slot, 0);
    EXPECT_TRUE(ghost->parts.empty());
    EXPECT_EQ(s.objects().create(*s.world.ctx->prototypes, 99), nullptr);
    s.objects().free(0);
    s.objects().free(1);
    EXPECT_TRUE(s.objects().empty());
}

}  // namespace
}  // namespace qs
