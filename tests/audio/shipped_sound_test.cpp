#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/load_list.h"
#include "audio/audio.h"
#include "audio/sdl_mixer_backend.h"
#include "audio/sound_table.h"
#include "core/clock.h"
#include "core/file_system.h"
#include "test_support.h"
#include "visual/prototype_library.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

// The shipped data/ folder read by the game's own list reader and entry loader, with the
// real mixer on SDL's dummy output: a sound that the mixer cannot decode fails here, not in
// front of a player.
class ShippedSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        fs::create_directories(user / "user");
        ctx = std::make_unique<Context>(std::make_unique<VirtualClock>(0),
                                        FileSystem(data, user / "user"), platform, 7);
        ctx->useAudioBackend(makeSdlMixerBackend(ctx->files, ctx->log));
        ctx->audio->initAudio();
        if (!ctx->audio->soundReady())
            GTEST_SKIP() << "SDL_mixer cannot open SDL's dummy audio driver on this machine";
        ASSERT_TRUE(ReadLoadList(entries, "music.ini", false, ctx->files, ctx->log));
        ASSERT_TRUE(ReadLoadList(entries, "sound.ini", true, ctx->files, ctx->log));
        for (const ListEntry& entry : entries) handles.push_back(ctx->prototypes->LoadResourceEntry(entry));
    }

    void TearDown() override {
        if (ctx) ctx->audio.reset();
        ctx.reset();
    }

    const SoundEntry* entryNamed(const std::string& name) const {
        for (const SoundEntry& e : ctx->audio->soundTable().entries())
            if (e.name == name) return &e;
        return nullptr;
    }

    const fs::path data = fs::path(QUIBBLESTAR_SOURCE_DIR) / "data";
    test::TempDir user;
    test::FakePlatform platform;
    std::unique_ptr<Context> ctx;
    std::vector<ListEntry> entries;
    std::vector<int64_t> handles;
};

TEST_F(ShippedSoundTest, EveryListedFileLoads) {
    ASSERT_FALSE(entries.empty());
    ASSERT_EQ(ctx->audio->soundTable().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) EXPECT_NE(handles[i], 0) << entries[i].where() << ": " << entries[i].text;
}

TEST_F(ShippedSoundTest, EveryNameTheGameLooksUpIsThereWithItsKind) {
    const std::set<std::string> loops = {"sample_burning_big_bomb", "sample_balls_down", "sample_balls_up"};
    for (const char* name :
         {"sample_mouse_over_button", "sample_mouse_down_button", "sample_shot1", "sample_rocket_launch",
          "sample_flying_bonus", "sample_connection", "sample_connection_bonus", "sample_connection_bomb",
          "sample_explosion_small", "sample_explosion_middle", "sample_explosion_big", "sample_bonus_target",
          "sample_bonus_x2", "sample_bonus_x4", "sample_bonus_freeze", "sample_bonus_small_bomb",
          "sample_bonus_net_expand", "sample_bonus_up", "sample_bonus_paint_rocket", "sample_burning_big_bomb",
          "sample_explosion_big_bomb", "sample_explosion_middle_bomb", "sample_crystal", "sample_puzzle_down",
          "sample_game_begin", "sample_game_over", "sample_level_complete", "sample_alarm", "sample_hit",
          "sample_dragon_joy1", "sample_dragon_joy2", "sample_dragon_joy3", "sample_dragon_sad",
          "sample_balls_down", "sample_balls_up"}) {
        const SoundEntry* e = entryNamed(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->kind, kSoundSample) << name;
        EXPECT_EQ(e->loop, loops.count(name) == 1) << name;  // a looping burst would never stop
    }
    for (const char* name : {"music_menu", "music_puzzle", "music_arcade"}) {
        const SoundEntry* e = entryNamed(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_TRUE(e->loop) << name;
        EXPECT_EQ(e->kind, std::string(name) == "music_arcade" ? kSoundModule : kSoundStream) << name;
    }
}

TEST_F(ShippedSoundTest, TheArcadeModuleHasItsSecondSectionAtOrder12) {
    const SoundEntry* arcade = entryNamed("music_arcade");
    ASSERT_NE(arcade, nullptr);
    ASSERT_NE(arcade->handle, 0);
    // The order table, read straight from the module's header.
    auto path = ctx->files.resolveContent(arcade->file);
    ASSERT_TRUE(path);
    const std::string xm = test::readFile(*path);
    ASSERT_GT(xm.size(), 80u + 256u);
    ASSERT_EQ(xm.compare(0, 17, "Extended Module: "), 0);
    const auto u16 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<uint8_t>(xm[at]) | (static_cast<uint8_t>(xm[at + 1]) << 8));
    };
    const unsigned orders = u16(64);
    ASSERT_GE(orders, 13u);
    const size_t table = 80;
    // Order 12 opens music of its own: its pattern is not one the first section plays.
    for (unsigned i = 0; i < 12; ++i) EXPECT_NE(xm[table + i], xm[table + 12]) << "order " << i;
    // And the mixer accepts the jump the game makes on even levels.
    AudioBackend& backend = ctx->audio->backend();
    const auto h = static_cast<uint32_t>(arcade->handle);
    ASSERT_TRUE(backend.playModule(h, true));
    ASSERT_TRUE(backend.setPosition(h, 12));
    EXPECT_EQ(backend.getPosition(h), 12);
    EXPECT_TRUE(backend.stopChannel(h));
}

}  // namespace
}  // namespace qs
