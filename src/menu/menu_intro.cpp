#include "menu/menu_intro.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/cpu_time.h"
#include "core/text_util.h"
#include "menu/menu_context.h"
#include "menu/menu_state.h"
#include "scene/scene_object_list.h"
#include "scene/text_objects.h"
#include "ui/buttons.h"
#include "ui/scene_services.h"
#include "visual/image_prefetcher.h"
#include "visual/multisprite.h"
#include "visual/prototype_library.h"

namespace qs {

namespace {

enum LogoPart { kTopBubble = 0, kBottomBubble, kEarthTrajectory, kFlashText, kEarthFlash, kLogoPartCount };

// A state of the logo that waits on an animation gives up after this long, so a short or
// missing animation never keeps the logo up.
constexpr uint32_t kIntroStateLimitMs = 3000;

constexpr const char* kLogoFiles[kLogoPartCount] = {
    "graphics\\logo set\\bubble_top.spr",      "graphics\\logo set\\bubble_bottom.spr",
    "graphics\\logo set\\earth_traectory.spr", "graphics\\logo set\\flash_text.spr",
    "graphics\\logo set\\earth_flash.spr",
};
constexpr int kLoadingBarElements = 39;

// A part of the logo that is gone (or whose slot went to another object) is left alone.
TMultiSprite* logoPart(SceneServices& ctx, const std::vector<int>& slots, int part) {
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

MenuIntro::MenuIntro(MenuContext& menu) : menu_(menu) {}

MenuIntro::~MenuIntro() {
    if (prefetcher_ && menu_.services.prototypes) menu_.services.prototypes->usePrefetcher(nullptr);
}

void MenuIntro::takeLoadList(std::vector<ListEntry> entries) {
    loadList_ = std::move(entries);
    loadIndex_ = 0;
}

void MenuIntro::show() {
    SceneServices& ctx = menu_.services;
    SceneObjectList& objects = *ctx.sceneObjects;
    // The logo's images are the largest the game has: the later parts decode on a second
    // thread while the first ones are cut.
    const double started = threadCpuMs();
    ImagePrefetcher prefetcher(ctx.files);
    ctx.prototypes->usePrefetcher(&prefetcher);
    for (int part = kEarthTrajectory; part < kLogoPartCount; ++part) ctx.prototypes->prefetchEntry(kLogoFiles[part]);
    // The last three parts wait for their turn to start their animation.
    logoObjects_.clear();
    for (int part = 0; part < kLogoPartCount; ++part) {
        TMultiSprite& logo = objects.create(kLogoFiles[part]);
        logo.tag = "zast";
        if (part >= kEarthTrajectory && !logo.sprites.empty()) logo.sprites[0]->animSpeed = 0;
        logoObjects_.push_back(logo.slot);
    }
    ctx.prototypes->usePrefetcher(nullptr);
    char spent[128];
    std::snprintf(spent, sizeof spent,
                  "the logo: %.0f ms of processor time, %.0f ms more decoding ahead on a second thread",
                  threadCpuMs() - started, prefetcher.decodingCpuMs());
    ctx.WriteLog(spent);

    loadingBar_.clear();
    for (int i = 0; i < kLoadingBarElements; ++i) {
        TMultiSprite& element = objects.create("graphics\\elements_gamezone\\loading_element_polosa.spr");
        element.visible = 0;
        element.tag = "scroll_element";
        loadingBar_.push_back(element.slot);
    }
}

void MenuIntro::loadAtOnce() {
    SceneServices& ctx = menu_.services;
    for (; loadIndex_ < static_cast<int>(loadList_.size()); ++loadIndex_)
        ctx.prototypes->LoadResourceEntry(loadList_[static_cast<size_t>(loadIndex_)]);
    createMouseCursor(*ctx.sceneObjects, ctx.input.cursorObject);
}

void MenuIntro::runLogo(uint32_t now) {
    SceneServices& ctx = menu_.services;
    MenuState& s = menu_.state;
    const bool overdue = now - s.introStateSince >= kIntroStateLimitMs;
    switch (s.introState) {
        case 1: {
            if (static_cast<int32_t>(now - s.introNextTick) < 0) return;
            const uint8_t opacity = static_cast<uint8_t>(introOpacity(s.introCounter));
            if (TMultiSprite* top = logoPart(ctx, logoObjects_, kTopBubble)) {
                top->y = topBubbleY(s.introCounter);
                top->alpha = opacity;
            }
            if (TMultiSprite* bottom = logoPart(ctx, logoObjects_, kBottomBubble)) {
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
            startAnimation(logoPart(ctx, logoObjects_, kEarthTrajectory));
            startAnimation(logoPart(ctx, logoObjects_, kFlashText));
            s.introState = 3;
            s.introStateSince = now;
            break;
        case 3:
            if (animationPassed(logoPart(ctx, logoObjects_, kEarthTrajectory), 23) || overdue) {
                startAnimation(logoPart(ctx, logoObjects_, kEarthFlash));
                s.introState = 4;
                s.introStateSince = now;
            }
            break;
        case 4:
            if (animationPassed(logoPart(ctx, logoObjects_, kEarthFlash), 10) || overdue) s.introState = -1;
            break;
        default:
            s.introState = -1;
            break;
    }
}

void MenuIntro::runLoading(uint32_t now) {
    SceneServices& ctx = menu_.services;
    const int count = static_cast<int>(loadList_.size());
    if (loadIndex_ < count) {
        if (!prefetcher_) {
            prefetcher_ = std::make_unique<ImagePrefetcher>(ctx.files);
            ctx.prototypes->usePrefetcher(prefetcher_.get());
            prefetchedUpTo_ = loadIndex_ + 1;
        }
        // A few entries ahead: their images decode while this one is cut and the frame drawn.
        for (; prefetchedUpTo_ < std::min(count, loadIndex_ + 1 + kPrefetchEntries); ++prefetchedUpTo_)
            ctx.prototypes->prefetchEntry(loadList_[static_cast<size_t>(prefetchedUpTo_)].text);
        const double started = threadCpuMs();
        ctx.prototypes->LoadResourceEntry(loadList_[static_cast<size_t>(loadIndex_)]);
        menu_.state.loadingCpuMs += threadCpuMs() - started;
        const LoadingBar bar = loadingBar(loadIndex_, count);
        for (size_t j = 0; j < loadingBar_.size(); ++j) {
            TMultiSprite* element = ctx.sceneObjects->at(loadingBar_[j]);
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
        ++loadIndex_;
    }
    // The logo, which the end of loading takes away, is left to finish first.
    if (loadIndex_ >= count && menu_.state.introState == -1) finishLoading(now);
}

void MenuIntro::finishLoading(uint32_t now) {
    SceneServices& ctx = menu_.services;
    SceneObjectList& objects = *ctx.sceneObjects;
    menu_.state.loadingFinished = true;
    ctx.prototypes->usePrefetcher(nullptr);
    // Every font loaded: its width file must place every glyph its picture draws.
    for (int i = 0; i < ctx.prototypes->prototypeCount(); ++i) {
        const TMultiSpritePrototype* prototype = ctx.prototypes->prototypeAt(i);
        if (prototype && !prototype->name.empty() && endsWithNoCase(prototype->file, ".spr") &&
            ctx.files.contentExists(prototype->file.substr(0, prototype->file.size() - 3) + "pos"))
            checkFontWidths(objects, prototype->file);
    }
    const double decodingMs = prefetcher_ ? prefetcher_->decodingCpuMs() : 0.0;
    prefetcher_.reset();
    char spent[128];
    std::snprintf(spent, sizeof spent,
                  "loading: %zu entries in %.0f ms of processor time, %.0f ms more decoding "
                  "ahead on a second thread",
                  loadList_.size(), menu_.state.loadingCpuMs, decodingMs);
    ctx.WriteLog(spent);
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
    releaseUnshownImages(ctx, done);
    loadingBar_.clear();
    logoObjects_.clear();
    createMouseCursor(*ctx.sceneObjects, ctx.input.cursorObject);
    menu_.state.menuFadeStamp = now;
    menu_.state.menuFadeState = 2;
    menu_.requestMenuMusic(0, 250);
}

}  // namespace qs
