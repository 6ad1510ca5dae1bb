#include "scene/particles.h"

#include <gtest/gtest.h>

#include "render/png_writer.h"
#include "scene/scene_object_list.h"
#include "test_support.h"

namespace qs {
namespace {

struct ParticleWorld {
    ParticleWorld() {
        std::filesystem::create_directories(world.dir / "data/graphics/particles");
        std::filesystem::create_directories(world.dir / "data/graphics/balls/ball3");
        std::vector<uint32_t> pixels(16 * 16, 0xFFFFFFFF);
        writePng((world.dir / "data/graphics/particles/p.png").string(), 16, 16, pixels, nullptr);
        writePng((world.dir / "data/graphics/balls/ball3/b.png").string(), 16, 16, pixels, nullptr);
        for (const char* name : {"particle1", "particle2", "particle3", "line_piece"})
            world.content(std::string("graphics/particles/") + name + ".spr", "x=0\r1\rp.png,texture_size=16\r");
        world.content("graphics/balls/ball3/ball3.spr",
                      "x=0\r4\rb.png,texture_size=16\rb.png,texture_size=16\rb.png,texture_size=16\rb.png,texture_size=16\r");
    }
    void at(uint32_t ms) { world.ctx->frame.gameClock = ms; }
    ParticleList& list() { return *world.ctx->particles; }
    test::TestWorld world;
};

TEST(Particles, ExpireAfterTheirLifetime) {
    ParticleWorld w;
    w.at(1000);
    TExploseParticle* spark = w.list().Create(0, 100, 100);
    ASSERT_NE(spark, nullptr);
    EXPECT_EQ(spark->object->tag, kParticleTag);
    int objectSlot = spark->objectSlot;
    w.at(1400);
    w.list().UpdateAll();
    EXPECT_EQ(w.list().liveCount(), 1);  // 1000 + 400 is not before 1400
    w.at(1410);
    w.list().UpdateAll();
    EXPECT_EQ(w.list().liveCount(), 0);
    EXPECT_EQ(w.world.ctx->sceneObjects->at(objectSlot), nullptr);
}

TEST(Particles, FadesFollowTheirType) {
    ParticleWorld w;
    w.at(0);
    TExploseParticle* flash = w.list().Create(18, 0, 0);
    w.list().Update(*flash);
    EXPECT_EQ(flash->object->alpha, 127);
    w.at(50);
    w.list().Update(*flash);
    EXPECT_EQ(flash->object->alpha, (255 - 127) / 2);
    EXPECT_EQ(w.list().Create(23, 0, 0), nullptr);  // type 23 needs an object
    EXPECT_EQ(w.list().Create(24, 0, 0), nullptr);
}

TEST(Particles, ThrownBallsSlowTurnAndFall) {
    ParticleWorld w;
    TExploseParticle* ball = w.list().Create(3, 50, 50);
    ASSERT_NE(ball, nullptr);
    // The plain ball: only its second layer shows.
    ASSERT_EQ(ball->object->sprites.size(), 4u);
    EXPECT_FALSE(ball->object->sprites[0]->visible);
    EXPECT_EQ(ball->object->sprites[1]->animSpeed, 0);
    struct Case {
        double start;
        std::vector<double> speeds;
    };
    const Case cases[] = {
        {-1.2, {-0.95, -0.7, -0.45, -0.2, 0.05, 0.065, 0.0845}},
        {0, {0.25, 0.325, 0.4225}},
    };
    for (const Case& c : cases) {
        ball->vy = c.start;
        for (double expected : c.speeds) {
            w.list().Update(*ball);
            EXPECT_NEAR(ball->vy, expected, 1e-9) << "from " << c.start;
        }
    }
}

TEST(Particles, ShrinkingBallsKeepTheirCentre) {
    ParticleWorld w;
    TExploseParticle* ball = w.list().Create(10, 200, 100);
    for (int i = 0; i < 3; ++i) {
        w.list().Update(*ball);
        const TMultiSprite& o = *ball->object;
        EXPECT_NEAR(o.scale_x, std::pow(0.85, i + 1), 1e-9);
        EXPECT_NEAR(o.x + 34 * o.scale_x / 2, 200 + 17, 1e-9);
        EXPECT_NEAR(o.y + 34 * o.scale_y / 2, 100 + 17, 1e-9);
    }
}

TEST(Particles, TakeOverAGivenObjectAndFreeItWithThem) {
    ParticleWorld w;
    TMultiSprite& text = w.world.ctx->sceneObjects->create("graphics\\particles\\particle1.spr");
    text.tag = "score";
    int before = w.world.ctx->sceneObjects->liveCount();
    TExploseParticle* rising = w.list().Create(23, 10, 10, &text);
    ASSERT_NE(rising, nullptr);
    EXPECT_EQ(w.world.ctx->sceneObjects->liveCount(), before);
    EXPECT_EQ(text.tag, kParticleTag);
    w.at(1001);
    w.list().UpdateAll();
    EXPECT_EQ(w.world.ctx->sceneObjects->liveCount(), before - 1);
}

TEST(Particles, ObjectUnloadedUnderAParticleEndsItSafely) {
    ParticleWorld w;
    w.list().Create(0, 10, 10);
    w.list().Create(20, 10, 10);
    EXPECT_EQ(w.world.ctx->sceneObjects->unload_by_tag(kParticleTag), 2);
    w.list().UpdateAll();
    EXPECT_EQ(w.list().liveCount(), 0);
}

TEST(Particles, PiecesFlyToTheIndicator) {
    ParticleWorld w;
    w.list().gaugeTarget = {317, 58};
    TExploseParticle* piece = w.list().Create(22, 317, 300);
    for (int i = 0; i < 200 && w.list().liveCount() > 0; ++i) w.list().UpdateAll();
    EXPECT_EQ(w.list().liveCount(), 0);
    EXPECT_TRUE(w.list().pieceArrived);
    (void)piece;
}

}  // namespace
}  // namespace qs
