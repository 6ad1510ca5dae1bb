#include "menu/menu_scene.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/scene_services.h"
#include "audio/audio.h"
#include "core/cpu_time.h"
#include "scene/scene_object_list.h"
#include "visual/image_prefetcher.h"
#include "visual/multisprite.h"
#include "visual/prototype_library.h"

namespace qs {

namespace {

enum LogoPart { kTopBubble = 0, kBottomBubble, kEarthTrajectory, kFlashText, kEarthFlash, kLogoParts };

// A state of the logo that waits on an animation gives up after this long, so a short or
// missing animation never keeps the logo up.
constexpr uint32_t kIntroStateLimitMs = 3000;

// The logo's objects were made by the first frame; one that is gone (or whose slot went to
// another object) is left alone.
TMultiSprite* logoPart(SceneServices& ctx, int part) {
    const std::vector<int>& slots = ctx.frame.logoObjects;
    if (part >= static_cast<int>(slots.size())) return nullptr;
    TMultiSprite* object = ctx.sceneObjects->at(slots[static_cast<size_t>(part)]);
    return object && object->tag == "zast" ? object : nullptr;
}

TMyImageSprite* firstLayer(TMultiSprite* object) {
    return object && !object->sprites.empty() ? object->sprites[0].get() : nullptr;
}

void startAnimation(TMultiSprite* object) {
    if (TMyImageSprite* layer = firstLayer(object)) layer->animSpeed = layer->baseAnimSpeed;
}

// True once the layer has shown `frames` frames, or can no longer get there.
bool animationPassed(TMultiSprite* object, double frames) {
    TMyImageSprite* layer = firstLayer(object);
    return !layer || layer->animPos > frames || layer->animSpeed == 0;
}

// Entries of the loading list whose images are decoded ahead of the one loading.
constexpr int kPrefetchEntries = 4;

// Releases the images of those prototypes that no live object shows.
void releaseUnshownImages(SceneServices& ctx, std::vector<int> prototypes) {
    const SceneObjectList& objects = *ctx.sceneObjects;
    for (int slot = 0; slot < objects.count(); ++slot) {
        if (const TMultiSprite* object = objects.at(slot))
            prototypes.erase(std::remove(prototypes.begin(), prototypes.end(), object->prototype),
                             prototypes.end());
    }
    std::sort(prototypes.begin(), prototypes.end());
    prototypes.erase(std::unique(prototypes.begin(), prototypes.end()), prototypes.end());
    for (int prototype : prototypes) ctx.prototypes->releaseImages(prototype);
}

}  // namespace

void MenuScene::runIntro(uint32_t now) {
    MenuState& s = state_;
    const bool overdue = now - s.introStateSince >= kIntroStateLimitMs;
    switch (s.introState) {
        case 1: {
            if (static_cast<int32_t>(now - s.introNextTick) < 0) return;
            const uint8_t opacity = static_cast<uint8_t>(introOpacity(s.introCounter));
            if (TMultiSprite* top = logoPart(ctx_, kTopBubble)) {
                top->y = topBubbleY(s.introCounter);
                top->alpha = opacity;
            }
            if (TMultiSprite* bottom = logoPart(ctx_, kBottomBubble)) {
                bottom->y = bottomBubbleY(s.introCounter);
                bottom->alpha = opacity;
            }
            s.introCounter += 2;
            if (s.introCounter >= kIntroMeet) {
                s.introState = 2;
                s.introStateSince = now;
            } else {
                s.introNextTick = now + 10;
            }
            break;
        }
        case 2:
            startAnimation(logoPart(ctx_, kEarthTrajectory));
            startAnimation(logoPart(ctx_, kFlashText));
            s.introState = 3;
            s.introStateSince = now;
            break;
        case 3:
            if (animationPassed(logoPart(ctx_, kEarthTrajectory), 23) || overdue) {
                startAnimation(logoPart(ctx_, kEarthFlash));
                s.introState = 4;
                s.introStateSince = now;
            }
            break;
        case 4:
            if (animationPassed(logoPart(ctx_, kEarthFlash), 10) || overdue) s.introState = -1;
            break;
        default:
            s.introState = -1;
            break;
    }
}

void MenuScene::runLoading(uint32_t now) {
    FrameState& frame = ctx_.frame;
    const int count = static_cast<int>(frame.LoadList.size());
    if (frame.loadIndex < count) {
        if (!prefetcher_) {
            prefetcher_ = std::make_unique<ImagePrefetcher>(ctx_.files);
            ctx_.prototypes->usePrefetcher(prefetcher_.get());
            prefetchedUpTo_ = frame.loadIndex + 1;
        }
        // A few entries ahead: their images decode while this one is cut and the frame drawn.
        for (; prefetchedUpTo_ < std::min(count, frame.loadIndex + 1 + kPrefetchEntries); ++prefetchedUpTo_)
            ctx_.prototypes->prefetchEntry(frame.LoadList[static_cast<size_t>(prefetchedUpTo_)].text);
        const double started = threadCpuMs();
        ctx_.prototypes->LoadResourceEntry(frame.LoadList[static_cast<size_t>(frame.loadIndex)]);
        state_.loadingCpuMs += threadCpuMs() - started;
        const LoadingBar bar = loadingBar(frame.loadIndex, count);
        for (size_t j = 0; j < frame.loadingBar.size(); ++j) {
            TMultiSprite* element = ctx_.sceneObjects->at(frame.loadingBar[j]);
            if (!element || element->tag != "scroll_element") continue;
            const int index = static_cast<int>(j);
            element->visible = 0;
            if (index < bar.fullElements) {
                element->visible = 1;
                element->x = 170 + 12 * index;
                element->y = LoadingBar::kY;
            } else if (index == kLoadingTip && bar.tipX >= 0) {
                element->visible = 1;
                element->x = bar.tipX;
                element->y = LoadingBar::kY;
            }
        }
        ++frame.loadIndex;
    }
    // The logo, which the end of loading takes away, is left to finish first.
    if (frame.loadIndex >= count && state_.introState == -1) finishLoading(now);
}

void MenuScene::finishLoading(uint32_t now) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    state_.loadingFinished = true;
    ctx_.prototypes->usePrefetcher(nullptr);
    const double decodingMs = prefetcher_ ? prefetcher_->decodingCpuMs() : 0.0;
    prefetcher_.reset();
    char spent[128];
    std::snprintf(spent, sizeof spent,
                  "loading: %zu entries in %.0f ms of processor time, %.0f ms more decoding "
                  "ahead on a second thread",
                  ctx_.frame.LoadList.size(), state_.loadingCpuMs, decodingMs);
    ctx_.WriteLog(spent);
    // The logo and the loading bar are not seen again: their images give their pages back
    // (an object made from them later gets them back from the files).
    std::vector<int> done;
    for (int slot = 0; slot < objects.count(); ++slot) {
        const TMultiSprite* object = objects.at(slot);
        if (object && (object->tag == "zast" || object->tag == "scroll_element" ||
                       object->name == "loading_element"))
            done.push_back(object->prototype);
    }
    const int element = objects.FindSceneObject("loading_element", -1, "");
    if (element >= 0) objects.free(element);
    objects.unload_by_tag("scroll_element");
    objects.unload_by_tag("zast");
    releaseUnshownImages(ctx_, done);
    ctx_.frame.loadingBar.clear();
    ctx_.frame.logoObjects.clear();
    createMouseCursor(*ctx_.sceneObjects, ctx_.input.cursorObject);
    state_.menuFadeStamp = now;
    state_.menuFadeState = 2;
    menu_.requestMenuMusic(0, 250);
}

}  // namespace qs
