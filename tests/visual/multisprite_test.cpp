#include "visual/multisprite.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "render/png_writer.h"
#include "scene/scene_object_list.h"
#include "test_support.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace qs {
namespace {

// A content folder with small opaque images and the prototypes built from them.
struct SpriteWorld {
    SpriteWorld() {
        image("red.png", 64, 64, 0xFFFF0000);
        image("green.png", 64, 64, 0xFF00FF00);
        image("strip.png", 128, 32, 0xFF0000FF);  // four 32 x 32 frames
    }
    void image(const std::string& name, int w, int h, uint32_t argb) {
        std::filesystem::create_directories(world.dir / "data");
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, argb);
        writePng((world.dir / "data" / name).string(), w, h, pixels, nullptr);
    }
    void spr(const std::string& name, const std::string& text) { world.content(name, text); }
    TMultiSprite& create(const std::string& path) {
        return world.ctx->sceneObjects->create(path);
    }
    DrawList draw() {
        world.ctx->sceneObjects->ApplyTransformAll();
        world.ctx->spriteEngine->Move(0);
        DrawList list;
        world.ctx->spriteEngine->Draw(list, world.ctx->prototypes->textures());
        return list;
    }
    test::TestWorld world;
};

TEST(MultiSprite, QuadsCarryPositionTextureAndTint) {
    SpriteWorld w;
    w.spr("ball.spr", "x=100,y=50\r1\rred.png,texture_size=64\r");
    TMultiSprite& ball = w.create("ball.spr");
    ASSERT_EQ(ball.sprites.size(), 1u);
    DrawList quads = w.draw();
    ASSERT_EQ(quads.size(), 1u);
    const DrawQuad& q = quads[0];
    EXPECT_FLOAT_EQ(q.v[0].x, 99.5f);
    EXPECT_FLOAT_EQ(q.v[0].y, 49.5f);
    EXPECT_FLOAT_EQ(q.v[3].x, 163.5f);
    EXPECT_FLOAT_EQ(q.v[3].y, 113.5f);
    EXPECT_FLOAT_EQ(q.v[3].u - q.v[0].u, 0.25f);
    EXPECT_EQ(q.v[0].color, 0xFFFFFFFFu);
    EXPECT_TRUE(w.world.platform.fakeDevice().hasPage(q.page));
}

TEST(MultiSprite, OnlyOpaqueTilesAtFullAlphaWithNormalBlendingMayBeCopied) {
    SpriteWorld w;
    w.image("glass.png", 64, 64, 0x80FFFFFF);
    w.image("edge.png", 40, 20, 0xFFFF0000);  // the tiles' texels past the frame are empty
    w.spr("red.spr", "z=0\r1\rred.png,texture_size=64\r");
    w.spr("glass.spr", "z=0\r1\rglass.png,texture_size=64\r");
    w.spr("edge.spr", "z=0\r1\redge.png,texture_size=32\r");
    w.spr("glow.spr", "z=0\r1\rred.png,texture_size=64,alpha_mode=1\r");
    struct Case {
        const char* spr;
        int objectAlpha;
        bool opaque;
    };
    for (const Case& c : {Case{"red.spr", 255, true}, Case{"red.spr", 254, false},
                          Case{"glass.spr", 255, false}, Case{"edge.spr", 255, true},
                          Case{"glow.spr", 255, false}}) {
        TMultiSprite& object = w.create(c.spr);
        object.alpha = static_cast<uint8_t>(c.objectAlpha);
        const DrawList quads = w.draw();
        ASSERT_FALSE(quads.empty()) << c.spr;
        for (const DrawQuad& quad : quads) EXPECT_EQ(quad.opaque, c.opaque) << c.spr << " " << c.objectAlpha;
        w.world.ctx->sceneObjects->free(object);
    }
}

TEST(MultiSprite, EdgeTilesCoverTheFrameOnly) {
    SpriteWorld w;
    w.image("wide.png", 40, 20, 0xFFFF0000);  // two 32-pixel tiles across, one down
    w.spr("wide.spr", "x=100,y=50\r1\rwide.png,texture_size=32\r");
    w.spr("mirrored.spr", "x=100,y=50,flip_x=1\r1\rwide.png,texture_size=32\r");
    TMultiSprite& wide = w.create("wide.spr");
    DrawList quads = w.draw();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_FLOAT_EQ(quads[0].v[0].x, 99.5f);
    EXPECT_FLOAT_EQ(quads[0].v[3].x, 131.5f);
    EXPECT_FLOAT_EQ(quads[0].v[3].y, 69.5f);  // 20 rows, not the slot's 32
    EXPECT_FLOAT_EQ(quads[0].v[3].v - quads[0].v[0].v, 20 / 256.0f);
    EXPECT_FLOAT_EQ(quads[1].v[0].x, 131.5f);
    EXPECT_FLOAT_EQ(quads[1].v[3].x, 139.5f);  // the last 8 columns
    EXPECT_FLOAT_EQ(quads[1].v[3].u - quads[1].v[0].u, 8 / 256.0f);
    w.world.ctx->sceneObjects->free(wide);

    // Mirrored, the first tile's 32 columns end at the frame's right edge.
    w.create("mirrored.spr");
    quads = w.draw();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_FLOAT_EQ(quads[0].v[0].x, 107.5f);
    EXPECT_FLOAT_EQ(quads[0].v[3].x, 139.5f);
    EXPECT_GT(quads[0].v[0].u, quads[0].v[1].u);
    EXPECT_FLOAT_EQ(quads[1].v[0].x, 99.5f);
    EXPECT_FLOAT_EQ(quads[1].v[3].x, 107.5f);
    EXPECT_FLOAT_EQ(quads[1].v[0].u - quads[1].v[1].u, 8 / 256.0f);
}

TEST(MultiSprite, ObjectSettingsCombineWithTheParts) {
    SpriteWorld w;
    w.spr("tinted.spr", "alpha=128,color=$808080\r1\rred.png,texture_size=64,alpha=128,color=$ff0000\r");
    w.spr("flipped.spr", "flip_x=1\r1\rred.png,texture_size=64\r");
    TMultiSprite& tinted = w.create("tinted.spr");
    DrawList quads = w.draw();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].v[0].color, 0x40800000u);  // alpha 128 x 128 = 64, red x grey
    tinted.visible = 0;
    EXPECT_TRUE(w.draw().empty());
    w.world.ctx->sceneObjects->free(tinted);

    w.create("flipped.spr");
    quads = w.draw();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_GT(quads[0].v[0].u, quads[0].v[1].u);  // the texture runs right to left
    EXPECT_LT(quads[0].v[0].x, quads[0].v[1].x);
}

TEST(MultiSprite, MapFactorDecidesWhatScrolls) {
    SpriteWorld w;
    w.spr("fixed.spr", "x=10,map_koeff=0\r1\rred.png,texture_size=64\r");
    w.spr("moving.spr", "x=10\r1\rgreen.png,texture_size=64\r");
    TMultiSprite& fixed = w.create("fixed.spr");
    TMultiSprite& moving = w.create("moving.spr");
    w.world.ctx->spriteEngine->scrollX = 5;
    w.draw();
    EXPECT_DOUBLE_EQ(fixed.sprites[0]->X, 10);
    EXPECT_DOUBLE_EQ(moving.sprites[0]->X, 5);
}

TEST(MultiSprite, GroupsShowOnePartAtATime) {
    SpriteWorld w;
    w.spr("button.spr", "x=0\r3\rred.png,texture_size=64\rgreen.png,texture_size=64\rred.png,texture_size=64,y=10\r");
    TMultiSprite& button = w.create("button.spr");
    ASSERT_EQ(button.sprites.size(), 3u);
    EXPECT_TRUE(button.sprites[0]->visible);
    EXPECT_FALSE(button.sprites[1]->visible);
    EXPECT_EQ(button.groups[0].textureName, "red");
    button.SelectGroupPart(0, 1);
    EXPECT_FALSE(button.sprites[0]->visible);
    EXPECT_TRUE(button.sprites[1]->visible);
    EXPECT_EQ(button.groups[0].textureName, "green");
    button.SelectGroupPart(0, 1);
    EXPECT_TRUE(button.sprites[1]->visible);
    button.SelectGroupPart(5, 0);  // no such group: nothing happens
    EXPECT_EQ(w.draw().size(), 1u);
    button.visible = 0;
    EXPECT_TRUE(w.draw().empty());
    button.visible = 1;
    EXPECT_EQ(w.draw().size(), 1u);
    EXPECT_TRUE(button.sprites[1]->visible);
}

TEST(MultiSprite, AnimationsLoopOrStopOnTheirLastFrame) {
    SpriteWorld w;
    w.spr("once.spr", "x=0\r1\rstrip.png,texture_size=32,frame_width=32,anim_speed=100,anim_loop=0\r");
    w.spr("loop.spr", "x=0\r1\rstrip.png,texture_size=32,frame_width=32,anim_speed=100\r");
    w.spr("hidden.spr", "x=0\r1\rred.png,texture_size=64,sprite_type=1\r");
    TMultiSprite& once = w.create("once.spr");
    TMultiSprite& loop = w.create("loop.spr");
    TMultiSprite& hidden = w.create("hidden.spr");
    ASSERT_EQ(once.sprites[0]->animCount, 4);
    for (int step = 0; step < 5; ++step) w.world.ctx->spriteEngine->Move(16);  // 5 x 1.6 frames
    EXPECT_DOUBLE_EQ(once.sprites[0]->animPos, 3);
    EXPECT_DOUBLE_EQ(once.sprites[0]->animSpeed, 0);
    EXPECT_NEAR(loop.sprites[0]->animPos, 0, 1e-9);  // 8 frames = two full turns
    EXPECT_GT(loop.sprites[0]->animSpeed, 0);
    // sprite_type 1 is placed and moved but never drawn.
    DrawList quads = w.draw();
    EXPECT_EQ(quads.size(), 2u);
    EXPECT_EQ(hidden.sprites[0]->X, 0);
}

TEST(MultiSprite, EqualDepthDrawsTheNewerObjectBeneath) {
    SpriteWorld w;
    w.spr("red.spr", "z=5\r1\rred.png,texture_size=64\r");
    w.spr("green.spr", "z=5\r1\rgreen.png,texture_size=64\r");
    w.spr("top.spr", "z=9\r1\rred.png,texture_size=64\r");
    TMultiSprite& top = w.create("top.spr");
    TMultiSprite& first = w.create("red.spr");
    TMultiSprite& second = w.create("green.spr");
    w.draw();
    const auto& order = w.world.ctx->spriteEngine->drawingOrder();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(&order[0]->owner(), &second);
    EXPECT_EQ(&order[1]->owner(), &first);
    EXPECT_EQ(&order[2]->owner(), &top);
    // Freeing an object takes its sprites out of the engine.
    w.world.ctx->sceneObjects->free(first);
    EXPECT_EQ(w.world.ctx->spriteEngine->size(), 2u);
}

TEST(MultiSprite, DrawingOrderHoldsThroughManyRemovalsAndDepthChanges) {
    SpriteWorld w;
    w.spr("low.spr", "z=1\r1\rred.png,texture_size=64\r");
    w.spr("high.spr", "z=7\r1\rgreen.png,texture_size=64\r");
    std::vector<TMultiSprite*> objects;
    for (int i = 0; i < 300; ++i) objects.push_back(&w.create(i % 2 ? "high.spr" : "low.spr"));
    // Free two of every three (enough holes to make the engine close them up), and move a few
    // of the rest to another depth.
    std::vector<TMultiSprite*> kept;
    for (int i = 0; i < 300; ++i) {
        if (i % 3 != 0) w.world.ctx->sceneObjects->free(*objects[i]);
        else kept.push_back(objects[i]);
    }
    for (size_t i = 0; i < kept.size(); i += 10) kept[i]->sprites[0]->setZ(4);
    EXPECT_EQ(w.world.ctx->spriteEngine->size(), kept.size());

    const std::vector<TMyImageSprite*> order = w.world.ctx->spriteEngine->drawingOrder();
    ASSERT_EQ(order.size(), kept.size());
    for (size_t i = 1; i < order.size(); ++i) EXPECT_LE(order[i - 1]->Z(), order[i]->Z());
    // Among equal depth the newer object is drawn first (beneath).
    auto creation = [&](const TMyImageSprite* sprite) {
        return std::find(kept.begin(), kept.end(), &sprite->owner()) - kept.begin();
    };
    for (size_t i = 1; i < order.size(); ++i) {
        if (order[i - 1]->Z() == order[i]->Z() && order[i]->Z() != 4) {
            EXPECT_GT(creation(order[i - 1]), creation(order[i]));
        }
    }
    // Every kept sprite still moves and draws.
    EXPECT_EQ(w.draw().size(), kept.size());
}

TEST(MultiSprite, MissingPrototypeGivesAnEmptyObject) {
    SpriteWorld w;
    TMultiSprite& nothing = w.create("graphics\\none.spr");
    EXPECT_TRUE(nothing.sprites.empty());
    EXPECT_TRUE(w.draw().empty());
}

}  // namespace
}  // namespace qs
