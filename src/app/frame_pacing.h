#pragma once

#include <cstdint>
#include <string>

namespace qs {

// How the window's frames are paced. The scene steps keep their own schedule whatever the
// pace (they catch up on the clock); only how often a picture is made and shown changes.
enum class FramePace {
    FixedTicks,      // the 10 ms frame timer with the fps_max cap (headless runs, no_sync)
    Vsync,           // one frame per display refresh: presenting waits for it
    RefreshTimer,    // one frame per display refresh, timed here: no vsync to wait on
};

struct PacingChoice {
    FramePace pace = FramePace::FixedTicks;
    int refreshHz = 60;  // NOLINT(readability-magic-numbers): the display's rate the frames follow
    // The fps_max cap still holds: always with fixed ticks, and with the display's pace
    // only when it asks for at most half the display's pictures.
    bool capHolds = true;
};

// The pace for a run: headless runs keep the fixed ticks of their virtual clock; no_sync
// asks for no waiting on the display; otherwise every refresh gets a picture, through
// vsync when the renderer waits for it. `refreshHz` 0 (unknown) counts as 60.
PacingChoice choosePacing(bool headless, int noSync, int fpsMax, bool vsyncWorks, int refreshHz);

// The log line that tells the pace chosen.
std::string describePacing(const PacingChoice& choice);

// Tells when the next frame is due. With fixed ticks, every 10 ms; with the display's pace,
// the n-th frame after the start at n/refreshHz s (to the microsecond), so 60 Hz gives 600
// frames in 10 s. After more than ten late intervals it starts again from now instead of
// firing the backlog. With vsync the presentation waits, so a frame is always due, except
// after a frame that presented nothing: that one waits a refresh here, so nothing spins;
// and when presenting turns out not to wait (thirty quick pictures in a row), the pacer
// times the frames itself from then on.
class FramePacer {
public:
    FramePacer(const PacingChoice& choice, uint32_t nowMs);

    // True when a frame is due at `nowMs`; the due time then moves on by one interval.
    bool poll(uint32_t nowMs);
    // Milliseconds until the next frame (0 when one is due).
    uint32_t waitTime(uint32_t nowMs) const;
    // After a frame: whether it presented a picture (with vsync, one that did not must
    // not be followed at once by the next).
    void framePresented(bool presented, uint32_t nowMs);

    FramePace pace() const { return pace_; }
    // The average interval between frames, in microseconds.
    int64_t intervalUs() const { return periodUs_ / perPeriod_; }

private:
    static constexpr int kMaxLateIntervals = 10;
    static constexpr int kQuickPresentsToGiveUp = 30;
    void restartAt(int64_t nowUs);
    int64_t due() const { return originUs_ + frames_ * periodUs_ / perPeriod_; }

    FramePace pace_;
    int64_t periodUs_;  // perPeriod_ frames every periodUs_
    int64_t perPeriod_;
    int64_t originUs_ = 0;
    int64_t frames_ = 0;
    int64_t lastPresentUs_ = -1;
    int quickPresents_ = 0;
};

}  // namespace qs
