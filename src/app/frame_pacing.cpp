#include "app/frame_pacing.h"

namespace qs {

namespace {

constexpr int kFixedTickMs = 10;
constexpr int kUnknownRefreshHz = 60;

int64_t toUs(uint32_t ms) { return static_cast<int64_t>(ms) * 1000; }

}  // namespace

PacingChoice choosePacing(bool headless, int noSync, int fpsMax, bool vsyncWorks, int refreshHz) {
    PacingChoice choice;
    choice.refreshHz = refreshHz > 0 ? refreshHz : kUnknownRefreshHz;
    if (headless || noSync != 0) {
        choice.pace = FramePace::FixedTicks;
        choice.capHolds = true;
        return choice;
    }
    choice.pace = vsyncWorks ? FramePace::Vsync : FramePace::RefreshTimer;
    // A cap near the refresh would only drop a picture now and then (uneven motion); one at
    // half the refresh or below still shows every second one.
    choice.capHolds = fpsMax > 0 && fpsMax * 2 <= choice.refreshHz;
    return choice;
}

std::string describePacing(const PacingChoice& choice) {
    switch (choice.pace) {
        case FramePace::Vsync:
            return "frames: one per display refresh (" + std::to_string(choice.refreshHz) +
                   " Hz), waiting for vsync" + (choice.capHolds ? ", capped by fps_max" : "");
        case FramePace::RefreshTimer:
            return "frames: one per display refresh (" + std::to_string(choice.refreshHz) +
                   " Hz), timed (no vsync)" + (choice.capHolds ? ", capped by fps_max" : "");
        case FramePace::FixedTicks:
            break;
    }
    return "frames: every 10 ms, fps_max caps the pictures";
}

FramePacer::FramePacer(const PacingChoice& choice, uint32_t nowMs)
    : pace_(choice.pace),
      periodUs_(choice.pace == FramePace::FixedTicks ? int64_t{kFixedTickMs} * 1000 : 1000000),
      perPeriod_(choice.pace == FramePace::FixedTicks ? 1 : choice.refreshHz) {
    restartAt(toUs(nowMs));
    if (pace_ != FramePace::Vsync) frames_ = 1;  // with vsync the first frame comes at once
}

void FramePacer::restartAt(int64_t nowUs) {
    originUs_ = nowUs;
    frames_ = 0;
}

bool FramePacer::poll(uint32_t nowMs) {
    const int64_t now = toUs(nowMs);
    if (now < due()) return false;
    if (pace_ == FramePace::Vsync) return true;  // the presentation waits for the display
    if (now - due() > intervalUs() * kMaxLateIntervals) restartAt(now);
    ++frames_;
    return true;
}

uint32_t FramePacer::waitTime(uint32_t nowMs) const {
    const int64_t left = due() - toUs(nowMs);
    return left > 0 ? static_cast<uint32_t>((left + 999) / 1000) : 0;
}

void FramePacer::framePresented(bool presented, uint32_t nowMs) {
    if (pace_ != FramePace::Vsync) return;
    const int64_t now = toUs(nowMs);
    restartAt(now);
    if (!presented) {
        frames_ = 1;
        return;
    }
    // Presenting returned well before a refresh could have passed: it does not wait.
    quickPresents_ = lastPresentUs_ >= 0 && now - lastPresentUs_ < intervalUs() / 2
                         ? quickPresents_ + 1
                         : 0;
    lastPresentUs_ = now;
    if (quickPresents_ >= kQuickPresentsToGiveUp) {
        pace_ = FramePace::RefreshTimer;
        frames_ = 1;
    }
}

}  // namespace qs
