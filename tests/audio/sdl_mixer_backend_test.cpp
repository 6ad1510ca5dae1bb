#include "audio/sdl_mixer_backend.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/file_system.h"
#include "core/log.h"
#include "test_support.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

// One second of a 440 Hz tone, 16-bit mono 22050 Hz PCM in a RIFF file.
std::string makeWav() {
    const uint32_t rate = 22050;
    const uint32_t frames = rate;
    std::string pcm;
    for (uint32_t i = 0; i < frames; ++i) {
        auto value = static_cast<int16_t>(std::lround(8000.0 * std::sin(2.0 * M_PI * 440.0 * i / rate)));
        pcm.push_back(static_cast<char>(value & 0xFF));
        pcm.push_back(static_cast<char>((value >> 8) & 0xFF));
    }
    auto u32 = [](uint32_t v) {
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    };
    auto u16 = [](uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
    return "RIFF" + u32(36 + static_cast<uint32_t>(pcm.size())) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) +
           u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" + u32(static_cast<uint32_t>(pcm.size())) + pcm;
}

// The real mixer on SDL's dummy output: a generated WAV sample, a synthesised OGG stream
// and a tracker module (tests/audio/fixtures, made by tools/audio_fixtures.py).
class SdlMixerBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        const fs::path fixtures = fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/audio/fixtures";
        dir.write("data/sounds/beep.wav", makeWav());
        dir.write("data/music/tone.ogg", test::readFile(fixtures / "tone.ogg"));
        dir.write("data/music/tone.xm", test::readFile(fixtures / "tone.xm"));
        dir.write("data/music/old.mo3", "MO3 not really");
        files = FileSystem(dir / "data", dir / "user");
        backend = makeSdlMixerBackend(files, log);
    }

    void TearDown() override { backend.reset(); }

    void open() {
        if (!backend->init(44100))
            GTEST_SKIP() << "SDL_mixer cannot open SDL's dummy audio driver on this machine";
    }

    test::TempDir dir;
    FileSystem files;
    Log log;
    std::unique_ptr<AudioBackend> backend;
};

TEST_F(SdlMixerBackendTest, NothingLoadsBeforeTheDeviceIsOpen) {
    EXPECT_EQ(backend->loadSample("sounds\\beep.wav", false), 0u);
    EXPECT_EQ(backend->loadStream("music\\tone.ogg", true), 0u);
    EXPECT_EQ(backend->playSample(1, 0, false), 0u);
    EXPECT_EQ(backend->getPosition(1), -1);
}

TEST_F(SdlMixerBackendTest, LoadFailuresGiveHandleZero) {
    open();
    if (IsSkipped()) return;
    EXPECT_EQ(backend->loadSample("sounds\\missing.wav", false), 0u);
    EXPECT_EQ(backend->loadModule("music\\old.mo3", true), 0u);
    EXPECT_EQ(backend->loadStream("music\\tone.xm.not", true), 0u);
    EXPECT_FALSE(backend->playStream(0, true));
    EXPECT_FALSE(backend->stopChannel(0));
}

TEST_F(SdlMixerBackendTest, SamplesPlayAndAFullChannelSetGivesWayToNewOnes) {
    open();
    if (IsSkipped()) return;
    backend->setVolume(VolumeKind::Sample, 80);
    // Content names use backslashes and any letter case.
    uint32_t sample = backend->loadSample("Sounds\\BEEP.WAV", false);
    ASSERT_NE(sample, 0u);
    uint32_t first = backend->playSample(sample, 0, false);
    ASSERT_NE(first, 0u);
    EXPECT_GE(backend->getPosition(first), 0);
    std::vector<uint32_t> channels;
    for (int i = 0; i < kMixingChannels + 4; ++i) {
        uint32_t channel = backend->playSample(sample, 0, false);
        EXPECT_NE(channel, 0u) << "play " << i;
        channels.push_back(channel);
    }
    // The oldest sample made room: it no longer plays.
    EXPECT_EQ(backend->getPosition(first), -1);
    EXPECT_FALSE(backend->stopChannel(first));
    EXPECT_TRUE(backend->stopChannel(channels.back()));
    // A start inside the sample plays its rest; a start past its end plays nothing.
    EXPECT_NE(backend->playSample(sample, 500, false), 0u);
    EXPECT_EQ(backend->playSample(sample, 5000, false), 0u);
}

TEST_F(SdlMixerBackendTest, StreamsMoveByTimeAndRememberWhereTheyStopped) {
    open();
    if (IsSkipped()) return;
    backend->setVolume(VolumeKind::Stream, 54);
    uint32_t stream = backend->loadStream("music\\tone.ogg", false);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(backend->playStream(stream, false));
    ASSERT_TRUE(backend->setPosition(stream, 1000));
    int64_t position = backend->getPosition(stream);
    EXPECT_GE(position, 1000);
    EXPECT_LE(position, 2100);  // the stream is two seconds long
    ASSERT_TRUE(backend->stopChannel(stream));
    int64_t stopped = backend->getPosition(stream);
    EXPECT_GE(stopped, position);
    // The focus return: play again, then move back to where it stopped.
    ASSERT_TRUE(backend->playStream(stream, false));
    ASSERT_TRUE(backend->setPosition(stream, stopped));
    EXPECT_GE(backend->getPosition(stream), stopped);
}

TEST_F(SdlMixerBackendTest, ModulesJumpToOrdersAndResumeByTime) {
    open();
    if (IsSkipped()) return;
    backend->setVolume(VolumeKind::Module, 100);
    uint32_t module = backend->loadModule("music\\tone.xm", true);
    ASSERT_NE(module, 0u);
    ASSERT_TRUE(backend->playModule(module, true));
    EXPECT_TRUE(backend->setModuleAmplify(module, 90));
    ASSERT_TRUE(backend->setPosition(module, 12));
    EXPECT_EQ(backend->getPosition(module), 12);  // still the order it jumped to
    ASSERT_TRUE(backend->setPosition(module, 0));
    int64_t fromStart = backend->getPosition(module);
    EXPECT_NE(fromStart & kModuleTimeFlag, 0);
    ASSERT_TRUE(backend->setPosition(module, kModuleTimeFlag | 3000));
    int64_t moved = backend->getPosition(module);
    EXPECT_NE(moved & kModuleTimeFlag, 0);
    EXPECT_GE(moved & ~kModuleTimeFlag, 3000);
    ASSERT_TRUE(backend->stopChannel(module));
    int64_t stopped = backend->getPosition(module);
    EXPECT_GE(stopped & ~kModuleTimeFlag, 3000);
    ASSERT_TRUE(backend->playModule(module, true));
    EXPECT_TRUE(backend->setPosition(module, stopped));
    // A module is no stream: a sample handle or an unknown one does not play as one.
    EXPECT_FALSE(backend->playStream(module, true));
    EXPECT_FALSE(backend->playModule(module + 1000, true));
}

TEST_F(SdlMixerBackendTest, OneMusicAtATime) {
    open();
    if (IsSkipped()) return;
    uint32_t stream = backend->loadStream("music\\tone.ogg", true);
    uint32_t module = backend->loadModule("music\\tone.xm", true);
    ASSERT_TRUE(backend->playStream(stream, true));
    ASSERT_TRUE(backend->playModule(module, true));
    // The stream gave way to the module; positions only answer for the one playing.
    EXPECT_FALSE(backend->setPosition(stream, 500));
    EXPECT_TRUE(backend->setPosition(module, 2));
}

}  // namespace
}  // namespace qs
