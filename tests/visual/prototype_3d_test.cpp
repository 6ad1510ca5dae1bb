#include <cmath>

#include <gtest/gtest.h>

#include "test_support.h"
#include "visual/mesh_library.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

constexpr double kPi = 3.14159265358979323846;

const char* const kTriangleObj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

struct Library3D {
    Library3D() {
        world.ctx->log.setEnabled(true);
        world.content("meshes/tri.obj", kTriangleObj);
        world.content("meshes/tri2.obj", kTriangleObj);
        world.content("meshes/tri3.obj", kTriangleObj);
    }
    PrototypeLibrary& library() { return *world.ctx->prototypes; }
    const TMulti3DPrototype& load(const std::string& path) {
        return *library().prototype3DAt(library().Load3DPrototype(path));
    }
    std::string logText() { return test::readFile(world.dir / "user/log.txt"); }
    bool logged(const std::string& text) { return logText().find(text) != std::string::npos; }
    int count(const std::string& text) {
        const std::string log = logText();
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }
    test::TestWorld world;
};

TEST(Prototype3D, TwoFilesNamingOneMeshLoadItOnce) {
    Library3D w;
    w.world.content("objects/a.m3d", "x=1\r1\r..\\meshes\\tri.obj\r");
    // Another file of the same bare name: the name is what is shared, not the file.
    w.world.content("other/b.m3d", "x=2\r1\rTRI.obj\r");
    w.world.content("other/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 4 3\n");
    const TMulti3DPrototype& a = w.load("objects\\a.m3d");
    const TMulti3DPrototype& b = w.load("other\\b.m3d");
    ASSERT_EQ(a.parts.size(), 1u);
    ASSERT_EQ(b.parts.size(), 1u);
    ASSERT_EQ(a.parts[0].meshes.size(), 1u);
    ASSERT_EQ(b.parts[0].meshes, a.parts[0].meshes);
    EXPECT_EQ(w.library().meshes().count(), 1);
    EXPECT_EQ(w.library().meshes().meshAt(a.parts[0].meshes[0])->triangles.size(), 1u);
    EXPECT_EQ(w.library().prototype3DCount(), 2);
}

TEST(Prototype3D, AnM3dFileIsNotFoundByItsPathSoEachRequestLoadsIt) {
    Library3D w;
    w.world.content("objects/scene.m3d", "x=1\r1\r..\\meshes\\tri.obj\r");
    EXPECT_EQ(w.library().LoadResourceEntry("scene, objects\\scene.m3d"), 0);
    EXPECT_EQ(w.library().prototype3DAt(0)->name, "scene");
    EXPECT_EQ(w.library().FindPrototype("objects\\scene.m3d", 1), -1);
    EXPECT_EQ(w.library().FindPrototype("scene", 1), 0);
    EXPECT_EQ(w.library().FindPrototype("scene", 0), -1);  // not among the multisprites
    EXPECT_EQ(w.library().LoadResourceEntry("scene, objects\\scene.m3d"), 1);
    EXPECT_EQ(w.count("index="), 2);
    EXPECT_EQ(w.library().prototype3DCount(), 2);
    EXPECT_EQ(w.library().meshes().count(), 1);  // the mesh still loads once
}

TEST(Prototype3D, MissingFilesAreLoggedAndLeaveTheSlotFree) {
    Library3D w;
    EXPECT_EQ(w.library().Load3DPrototype("objects\\gone.m3d"), 0);
    EXPECT_TRUE(w.logged("index=0"));
    EXPECT_TRUE(w.logged("ERROR_prototype3d_create_file_not_found: \"objects\\gone.m3d\""));
    EXPECT_TRUE(w.library().prototype3DAt(0)->name.empty());

    // The free slot is taken by the next load; a missing mesh leaves its part without frames.
    w.world.content("objects/holey.m3d", "x=1\r2\rnothere.obj\r..\\meshes\\tri.obj\r+ missing.obj\r");
    EXPECT_EQ(w.library().Load3DPrototype("objects\\holey.m3d"), 0);
    const TMulti3DPrototype& p = *w.library().prototype3DAt(0);
    EXPECT_EQ(p.name, "holey");
    EXPECT_TRUE(w.logged("ERROR: prototype3d_create_mesh_file_not_found \"objects\\nothere.obj\""));
    EXPECT_TRUE(w.logged("ERROR: prototype3d_create_mesh_file_not_found \"objects\\missing.obj\""));
    ASSERT_EQ(p.parts.size(), 2u);
    EXPECT_TRUE(p.parts[0].meshes.empty());
    EXPECT_EQ(p.parts[1].meshes.size(), 1u);
    EXPECT_EQ(w.library().meshes().count(), 1);
}

TEST(Prototype3D, UnknownKeysShowTheirMessageBoxesAndLoadingGoesOn) {
    Library3D w;
    w.world.content("objects/odd.m3d",
                    "x=5,wobble=1,y=6\r1\r..\\meshes\\tri.obj,spin=2,z=3\r");
    const TMulti3DPrototype& p = w.load("objects\\odd.m3d");
    EXPECT_EQ(w.world.platform.messages,
              (std::vector<std::string>{
                  "Error: objects\\odd.m3d line 1: Unknown common multi3dobject's variable \"wobble\"!",
                  "Error: objects\\odd.m3d line 3: Unknown variable in the sprite's part of the multisprite \"spin\"!"}));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    ASSERT_EQ(p.parts.size(), 1u);
    EXPECT_EQ(p.parts[0].z, 3);
}

TEST(Prototype3D, CommonAndPartKeys) {
    Library3D w;
    w.world.content("objects/full.m3d",
                    "sprite_z=7,x=1.5,y=-2,z=3,alpha=$1FF,angle_vector_y=1,angle=90,trigger=1,"
                    "color=$00FF00,map_koeff_x=0.5,map_koeff_y=2,width=10,height=0,depth=30,"
                    "scale=2,scale_z=4,rot_center_x=1,rot_center_z=-1\r"
                    "2, anything=1\r"
                    "..\\meshes\\tri.obj,x=1,y=2,z=-3,alpha=300,alpha_mode=1,angle_vector_z=1,"
                    "angle=180,scale=3,scale_y=0.5,anim_speed=250,anim_loop=0\r"
                    "+..\\meshes\\tri2.obj, x=99\r"
                    "+..\\meshes\\tri3.obj\r"
                    "..\\meshes\\tri.obj,anim_speed=500\r");
    const TMulti3DPrototype& p = w.load("objects\\full.m3d");
    EXPECT_EQ(p.sprite_z, 7);
    EXPECT_EQ(p.x, 1.5);
    EXPECT_EQ(p.y, -2);
    EXPECT_EQ(p.z, 3);
    EXPECT_EQ(p.alpha, 0xFF);
    EXPECT_EQ(p.angle_vector_y, 1.0f);
    EXPECT_NEAR(p.angle, kPi / 2, 1e-12);
    EXPECT_TRUE(p.trigger);
    EXPECT_EQ(p.color, 0x00FF00);
    EXPECT_EQ(p.map_koeff_x, 0.5);
    EXPECT_EQ(p.map_koeff_y, 2);
    EXPECT_EQ(p.map_koeff_z, 0);
    EXPECT_EQ(p.width, 10);
    EXPECT_EQ(p.height, 0);
    EXPECT_EQ(p.depth, 30);
    EXPECT_EQ(p.scale_x, 2);
    EXPECT_EQ(p.scale_y, 2);
    EXPECT_EQ(p.scale_z, 4);
    EXPECT_EQ(p.rot_center_x, 1);
    EXPECT_EQ(p.rot_center_z, -1);
    ASSERT_EQ(p.groups.size(), 1u);
    EXPECT_EQ(p.groups[0].count, 2);
    ASSERT_EQ(p.parts.size(), 2u);

    const Prototype3DPart& animated = p.parts[0];
    EXPECT_EQ(animated.x, 1);
    EXPECT_EQ(animated.y, 2);
    EXPECT_EQ(animated.z, -3);
    EXPECT_EQ(animated.alpha, 300 & 0xFF);
    EXPECT_EQ(animated.alpha_mode, 1);
    EXPECT_EQ(animated.angle_vector_z, 1.0f);
    EXPECT_NEAR(animated.angle, kPi, 1e-12);
    EXPECT_EQ(animated.scale_x, 3);
    EXPECT_EQ(animated.scale_y, 0.5);
    EXPECT_EQ(animated.scale_z, 3);
    EXPECT_EQ(animated.meshes.size(), 3u);  // keys of "+" lines are ignored
    EXPECT_EQ(animated.anim_speed, 0.25);
    EXPECT_FALSE(animated.anim_loop);
    EXPECT_EQ(animated.group, 0);
    EXPECT_EQ(w.library().meshes().count(), 3);

    // One mesh never animates.
    EXPECT_EQ(p.parts[1].meshes.size(), 1u);
    EXPECT_EQ(p.parts[1].anim_speed, 0);
    EXPECT_FALSE(p.parts[1].anim_loop);
}

TEST(Prototype3D, MalformedLinesAreLoggedAndSkipped) {
    Library3D w;
    w.world.content("objects/bad.m3d",
                    "x=abc,y=2\r"
                    "many\r"
                    "1\r"
                    "..\\meshes\\tri.obj,alpha=half\r"
                    "3\r"
                    "..\\meshes\\tri2.obj\r");
    const TMulti3DPrototype& p = w.load("objects\\bad.m3d");
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 2);
    EXPECT_TRUE(w.logged("objects\\bad.m3d line 1: the value \"abc\" of x is not a number"));
    EXPECT_TRUE(w.logged("objects\\bad.m3d line 2: expected the part count of a group"));
    EXPECT_TRUE(w.logged("objects\\bad.m3d line 4: the value \"half\" of alpha"));
    // The file ends one group short: the group keeps what it got.
    EXPECT_TRUE(w.logged("the file ends inside a group of 3 parts, after 1"));
    ASSERT_EQ(p.groups.size(), 2u);
    EXPECT_EQ(p.groups[1].count, 1);
    ASSERT_EQ(p.parts.size(), 2u);
    EXPECT_EQ(p.parts[0].alpha, 255);
}

TEST(Prototype3D, OnlyObjMeshesAreRead) {
    Library3D w;
    w.world.content("objects/x.m3d", "x=1\r1\rship.x\r");
    w.world.content("objects/ship.x", "xof 0302txt 0064\n");
    const TMulti3DPrototype& p = w.load("objects\\x.m3d");
    ASSERT_EQ(p.parts.size(), 1u);
    EXPECT_TRUE(p.parts[0].meshes.empty());
    EXPECT_TRUE(w.logged("\"objects\\ship.x\" is not an OBJ mesh"));
}

}  // namespace
}  // namespace qs
