#include "scene/scene_object_list.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

// Objects built from a missing prototype have no parts: enough for the registry's rules.
struct Registry {
    Registry() { world.ctx->log.setEnabled(false); }
    TMultiSprite& add(const std::string& name, const std::string& tag) {
        TMultiSprite& object = list().create("nothing\\" + name + ".spr");
        object.name = name;
        object.tag = tag;
        return object;
    }
    SceneObjectList& list() { return *world.ctx->sceneObjects; }
    test::TestWorld world;
};

TEST(SceneObjectList, FindsObjectsByNameOccurrenceAndTag) {
    Registry r;
    r.add("button", "menu");    // slot 0
    r.add("panel", "menu");     // slot 1
    r.add("button", "dialog");  // slot 2
    TMultiSprite& gone = r.add("button", "menu");
    r.list().free(gone);  // the last slot is empty
    struct Case {
        const char* name;
        int occurrence;
        const char* tag;
        int slot;
    };
    const Case cases[] = {
        {"button", -1, "", 0},  {"button", 0, "", 0},        {"button", 1, "", 2},
        {"button", 2, "", -1},  {"button", 1, "menu", -1},   {"button", -1, "dialog", 2},
        {"panel", -1, "dialog", -1}, {"Button", -1, "", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r.list().FindSceneObject(c.name, c.occurrence, c.tag), c.slot)
            << c.name << " " << c.occurrence << " " << c.tag;
    }
}

TEST(SceneObjectList, UnloadByTagFreesSlotsForReuse) {
    Registry r;
    r.world.ctx->log.setFile(r.world.dir / "log.txt");
    r.world.ctx->log.setEnabled(true);
    r.add("a", "menu_help");
    r.add("b", "other");
    r.add("c", "menu_help");
    EXPECT_EQ(r.list().unload_by_tag("menu_help.map"), 2);
    EXPECT_EQ(r.list().unload_by_tag("nothing"), 0);
    EXPECT_EQ(r.list().liveCount(), 1);
    std::string log = test::readFile(r.world.dir / "log.txt");
    EXPECT_NE(log.find("unload_by_tag(\"menu_help\"), unloaded: 2"), std::string::npos) << log;
    EXPECT_NE(log.find("unload_by_tag(\"nothing\"), unloaded: 0"), std::string::npos) << log;
    // The first freed slot is taken first.
    EXPECT_EQ(r.add("d", "x").slot, 0);
    EXPECT_EQ(r.add("e", "x").slot, 2);
    EXPECT_EQ(r.add("f", "x").slot, 3);
    EXPECT_EQ(tagOf(".hidden"), ".hidden");
    EXPECT_EQ(tagOf("game_stat.map"), "game_stat");
}

TEST(SceneObjectList, GroupsFadeTheirMembersOnly) {
    Registry r;
    TMultiSprite& panel = r.add("panel", "dialog");
    TMultiSprite& text = r.add("letter", "dialog_text");
    TMultiSprite& other = r.add("back", "menu");
    r.list().CreateObjectGroup("dialog_tag_list");
    r.list().AddTagToGroup("dialog_tag_list", "dialog");
    r.list().AddTagToGroup("dialog_tag_list", "dialog_text");
    r.list().AddTagToGroup("dialog_tag_list", "dialog");  // already there: only a rebuild
    const ObjectGroup* group = r.list().findGroup("dialog_tag_list");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->tags.size(), 2u);
    EXPECT_EQ(group->members.size(), 2u);

    r.list().SetObjectGroupAlpha("dialog_tag_list", 100);
    EXPECT_EQ(panel.alpha, 100);
    EXPECT_EQ(text.alpha, 100);
    EXPECT_EQ(other.alpha, 255);

    // A member's slot taken over by an object of another tag is left alone.
    int slot = text.slot;
    r.list().free(text);
    TMultiSprite& stranger = r.add("stranger", "menu");
    ASSERT_EQ(stranger.slot, slot);
    r.list().SetObjectGroupAlpha("dialog_tag_list", 10);
    EXPECT_EQ(stranger.alpha, 255);
    EXPECT_EQ(panel.alpha, 10);
    // An unknown group changes nothing.
    r.list().SetObjectGroupAlpha("nothing", 0);
    r.list().AddTagToGroup("nothing", "menu");
    EXPECT_EQ(other.alpha, 255);
}

TEST(SceneObjectList, TagsShowAndFade) {
    Registry r;
    TMultiSprite& a = r.add("a", "t");
    TMultiSprite& b = r.add("b", "u");
    r.list().SetVisibleByTag("t", false);
    r.list().SetAlphaByTag("u", 7);
    EXPECT_EQ(a.visible, 0);
    EXPECT_EQ(b.visible, 1);
    EXPECT_EQ(b.alpha, 7);
    EXPECT_EQ(a.alpha, 255);
}

}  // namespace
}  // namespace qs
