#include <gtest/gtest.h>

#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/object_3d.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

TEST(ObjectGroup3D, GroupAlphaReachesTagged3DObjectsButNotAReusedSlot) {
    test::TestWorld world;
    world.content("meshes/tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    world.content("objects/globe.m3d", "x=0\r1\r..\\meshes\\tri.obj\r");
    SceneObjectList& list = *world.ctx->sceneObjects;
    Object3DList& objects = *world.ctx->objects3D;
    auto add3D = [&](const std::string& tag) -> TMultiObject3D& {
        TMultiObject3D& object = *objects.create(*world.ctx->prototypes, "objects\\globe.m3d");
        object.tag = tag;
        return object;
    };
    TMultiSprite& sprite = list.create("nothing.spr");
    sprite.tag = "dialog";
    TMultiObject3D& member = add3D("dialog");     // 3D slot 0
    TMultiObject3D& outsider = add3D("menu");     // 3D slot 1
    TMultiObject3D& later = add3D("dialog_text");  // 3D slot 2

    list.CreateObjectGroup("dialog_tag_list");
    list.AddTagToGroup("dialog_tag_list", "dialog");
    list.AddTagToGroup("dialog_tag_list", "dialog_text");
    const ObjectGroup* group = list.findGroup("dialog_tag_list");
    ASSERT_NE(group, nullptr);
    // Multisprites first, then 3D objects, each in slot order.
    EXPECT_EQ(group->members, (std::vector<int>{sprite.slot, 0, 2}));
    EXPECT_EQ(group->memberKinds, (std::vector<uint8_t>{1, 2, 2}));

    list.SetObjectGroupAlpha("dialog_tag_list", 90);
    EXPECT_EQ(sprite.alpha, 90);
    EXPECT_EQ(member.alpha, 90);
    EXPECT_EQ(later.alpha, 90);
    EXPECT_EQ(outsider.alpha, 255);

    // Slot 2 is freed and taken by an object of another screen before the next rebuild:
    // the group leaves it alone. A freed slot nobody took is skipped.
    objects.free(2);
    TMultiObject3D& stranger = add3D("menu");
    ASSERT_EQ(stranger.slot, 2);
    objects.free(0);
    list.SetObjectGroupAlpha("dialog_tag_list", 30);
    EXPECT_EQ(stranger.alpha, 255);
    EXPECT_EQ(sprite.alpha, 30);

    list.RebuildObjectGroup("dialog_tag_list");
    EXPECT_EQ(group->memberKinds, (std::vector<uint8_t>{1}));
}

}  // namespace
}  // namespace qs
