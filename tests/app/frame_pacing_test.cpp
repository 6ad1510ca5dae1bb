#include "app/frame_pacing.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

TEST(FramePacing, ThePaceFollowsTheDisplayUnlessHeadlessOrNoSync) {
    struct Case {
        const char* what;
        bool headless;
        int noSync, fpsMax;
        bool vsync;
        int refreshHz;
        FramePace pace;
        int hz;
        bool capHolds;
    };
    const Case cases[] = {
        {"headless keeps its ticks", true, 0, 60, true, 60, FramePace::FixedTicks, 60, true},
        {"no_sync asks for no waiting", false, 1, 60, true, 60, FramePace::FixedTicks, 60, true},
        {"vsync that waits", false, 0, 60, true, 60, FramePace::Vsync, 60, false},
        {"no vsync: the refresh is timed", false, 0, 60, false, 75, FramePace::RefreshTimer, 75, false},
        {"an unknown refresh counts as 60", false, 0, 0, false, 0, FramePace::RefreshTimer, 60, false},
        {"fps_max at half the refresh holds", false, 0, 30, true, 60, FramePace::Vsync, 60, true},
        {"fps_max near the refresh gives way", false, 0, 60, true, 75, FramePace::Vsync, 75, false},
        {"fps_max above the refresh gives way", false, 0, 100, true, 60, FramePace::Vsync, 60, false},
    };
    for (const Case& c : cases) {
        const PacingChoice choice = choosePacing(c.headless, c.noSync, c.fpsMax, c.vsync, c.refreshHz);
        EXPECT_EQ(choice.pace, c.pace) << c.what;
        EXPECT_EQ(choice.refreshHz, c.hz) << c.what;
        EXPECT_EQ(choice.capHolds, c.capHolds) << c.what;
        EXPECT_FALSE(describePacing(choice).empty());
    }
}

// Frames a pacer lets through from 0 to `untilMs`, polled every millisecond.
int framesUntil(FramePacer& pacer, uint32_t fromMs, uint32_t untilMs) {
    int frames = 0;
    for (uint32_t now = fromMs; now <= untilMs; ++now)
        while (pacer.poll(now)) ++frames;
    return frames;
}

TEST(FramePacing, TimedRefreshGivesEveryRefreshItsFrameWithoutDrift) {
    PacingChoice choice = choosePacing(false, 0, 60, false, 60);
    FramePacer pacer(choice, 0);
    EXPECT_EQ(framesUntil(pacer, 0, 10000), 600);
    EXPECT_EQ(pacer.waitTime(10000), 17u);  // the next one at 10016.67 ms

    choice.refreshHz = 144;
    FramePacer fast(choice, 0);
    EXPECT_EQ(framesUntil(fast, 0, 10000), 1440);
}

TEST(FramePacing, FixedTicksDropTheirBacklogAsTheFrameTimerDoes) {
    FramePacer pacer(choosePacing(true, 0, 60, false, 60), 0);
    EXPECT_FALSE(pacer.poll(5));
    EXPECT_TRUE(pacer.poll(10));
    EXPECT_FALSE(pacer.poll(10));
    int fired = 0;
    while (pacer.poll(510)) ++fired;
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(pacer.waitTime(510), 10u);
}

TEST(FramePacing, VsyncWaitsARefreshAfterAFrameWithoutAPictureAndGivesUpWhenPresentingDoesNotWait) {
    FramePacer pacer(choosePacing(false, 0, 60, true, 60), 100);
    EXPECT_TRUE(pacer.poll(100));  // the first frame at once
    pacer.framePresented(true, 117);
    EXPECT_TRUE(pacer.poll(117));  // presenting waited: the next at once
    pacer.framePresented(false, 118);
    EXPECT_FALSE(pacer.poll(118));  // nothing presented: a refresh here, no spinning
    EXPECT_EQ(pacer.waitTime(118), 17u);
    EXPECT_TRUE(pacer.poll(135));

    // Thirty pictures 2 ms apart: presenting does not wait, the pacer times the frames.
    uint32_t now = 135;
    for (int i = 0; i < 40 && pacer.pace() == FramePace::Vsync; ++i) {
        now += 2;
        pacer.framePresented(true, now);
    }
    EXPECT_EQ(pacer.pace(), FramePace::RefreshTimer);
    EXPECT_FALSE(pacer.poll(now));
    EXPECT_EQ(framesUntil(pacer, now, now + 1000), 60);
}

}  // namespace
}  // namespace qs
