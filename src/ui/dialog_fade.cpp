#include "ui/dialog_fade.h"

#include <algorithm>

#include "scene/scene_object_list.h"

namespace qs {

void DialogFade::start(const std::vector<std::string>& tags, int step) {
    if (!groupMade_) {
        objects_.CreateObjectGroup(kGroup);
        groupMade_ = true;
    }
    if (running() && hasGroup_) objects_.SetObjectGroupAlpha(kGroup, 255);
    // The group is emptied by making it anew under the same name.
    objects_.CreateObjectGroup(kGroup);
    for (const std::string& tag : tags) objects_.AddTagToGroup(kGroup, tag);
    hasGroup_ = true;
    step_ = std::max(1, step);
    alpha_ = 0;
    direction_ = 1;
    objects_.SetObjectGroupAlpha(kGroup, 0);
}

void DialogFade::update() {
    if (!running() || !hasGroup_) return;
    alpha_ = std::min(255, alpha_ + step_);
    objects_.SetObjectGroupAlpha(kGroup, static_cast<uint8_t>(alpha_));
    if (alpha_ >= 255) {
        direction_ = 0;
        hasGroup_ = false;
        step_ = kDefaultStep;
    }
}

}  // namespace qs
