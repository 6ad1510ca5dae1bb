#include "scene/location_map.h"

#include <gtest/gtest.h>

#include "render/png_writer.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/sprite_engine.h"

namespace qs {
namespace {

struct MapWorld {
    MapWorld() {
        std::filesystem::create_directories(world.dir / "data/graphics/menu");
        std::vector<uint32_t> pixels(32 * 32, 0xFF336699);
        writePng((world.dir / "data/graphics/menu/tile.png").string(), 32, 32, pixels, nullptr);
        world.content("graphics/menu/back.spr", "z=3\r1\rtile.png,texture_size=32\r");
        world.content("graphics/menu/button.spr", "z=1\r1\rtile.png,texture_size=32\r");
        world.ctx->log.setFile(world.dir / "log.txt");
        world.ctx->log.setEnabled(true);
    }
    int load(const std::string& name) { return load_location_map(*world.ctx->sceneObjects, name); }
    SceneObjectList& objects() { return *world.ctx->sceneObjects; }
    std::string log() { return test::readFile(world.dir / "log.txt"); }
    test::TestWorld world;
};

TEST(LocationMap, PlacesObjectsFromItsPrototypeTable) {
    MapWorld w;
    w.world.content("menu.map", "2\r\ngraphics\\menu\\back\r\nGRAPHICS\\MENU\\BUTTON.SPR\r\n3\r\n0,0,0\r\n1,300,200,7\r\n1, 300 ,260\r\n");
    w.world.ctx->spriteEngine->scrollX = 40;
    EXPECT_EQ(w.load("menu.map"), 3);
    EXPECT_EQ(w.world.ctx->spriteEngine->scrollX, 0);
    int back = w.objects().FindSceneObject("back", -1, "menu");
    int second = w.objects().FindSceneObject("button", 1, "menu");
    ASSERT_GE(back, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(w.objects().at(back)->z, 3);
    TMultiSprite& button0 = *w.objects().at(w.objects().FindSceneObject("button", 0, "menu"));
    EXPECT_EQ(button0.z, 7);
    EXPECT_EQ(button0.x, 300);
    EXPECT_EQ(w.objects().at(second)->z, 1);  // three fields keep the prototype's z
    EXPECT_EQ(w.objects().at(second)->y, 260);
    EXPECT_NE(w.log().find("load_location_map(\"menu.map\"), created: 3"), std::string::npos);

    // Twice: two sets with one tag, removed together.
    EXPECT_EQ(w.load("menu.map"), 3);
    EXPECT_EQ(w.objects().liveCount(), 6);
    EXPECT_EQ(w.objects().unload_by_tag("menu.map"), 6);
}

TEST(LocationMap, BadMapsCreateWhatTheyCanAndSayWhy) {
    MapWorld w;
    struct Case {
        const char* name;
        const char* text;
        int result;
        int created;
        const char* logged;
    };
    const Case cases[] = {
        {"empty.map", "0\r\n", -1, 0, "created: 0"},
        {"noobjects.map", "1\r\ngraphics\\menu\\back\r\n0\r\n", -1, 0, "created: 0"},
        {"badcount.map", "two\r\n", -1, 0, "not a whole number"},
        {"outside.map", "1\r\ngraphics\\menu\\back\r\n2\r\n5,0,0\r\n0,1,1\r\n", 2, 1, "prototype 5"},
        {"badfield.map", "1\r\ngraphics\\menu\\back\r\n2\r\n0,x,0\r\n0,1,1,z\r\n", 2, 0, "not an object line"},
        {"short.map", "1\r\ngraphics\\menu\\back\r\n3\r\n0,1,1\r\n", 3, 1, "ends inside the object list"},
        {"cut.map", "3\r\ngraphics\\menu\\back\r\n", -1, 0, "ends inside the prototype list"},
        {"missing.map", nullptr, -1, 0, "created: 0"},
        {"huge.map", "1\r\ngraphics\\menu\\back\r\n2000000\r\n0,1,1\r\n", -1, 0,
         "huge.map line 3: a map of 2000000 objects is more than the 1024"},
        {"protos.map", "99999\r\n", -1, 0, "protos.map line 1: a map of 99999 prototypes"},
        {"negprotos.map", "-3\r\n", -1, 0, "negprotos.map line 1: a negative prototype count"},
        {"negobjects.map", "1\r\ngraphics\\menu\\back\r\n-2\r\n", -1, 0, "negobjects.map line 3: a negative object count"},
        {"far.map", "1\r\ngraphics\\menu\\back\r\n1\r\n0,5000000,1\r\n", 1, 1,
         "far.map line 4: the place 5000000,1 lies far off any screen"},
        {"noproto.map", "1\r\ngraphics\\menu\\gone\r\n1\r\n0,1,1\r\n", 1, 1,
         "noproto.map line 4: ERROR_prototype_create_file_not_found: \"graphics\\menu\\gone.spr\""},
        {"otherfolder.map", "1\r\ngraphics\\wrong\\back\r\n1\r\n0,1,1\r\n", 1, 1,
         "graphics\\wrong\\back.spr is not there; the prototype of that name read from graphics\\menu\\back.spr is used"},
    };
    for (const Case& c : cases) {
        if (c.text) w.world.content(c.name, c.text);
        int before = w.objects().liveCount();
        EXPECT_EQ(w.load(c.name), c.result) << c.name;
        EXPECT_EQ(w.objects().liveCount() - before, c.created) << c.name;
        EXPECT_NE(w.log().find(c.logged), std::string::npos) << c.name;
    }
}

}  // namespace
}  // namespace qs
