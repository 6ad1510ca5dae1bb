#pragma once

#include <string>
#include <vector>

namespace qs {

class SceneObjectList;

// Fades a screen's objects in: one object group, "dialog_tag_list", for the whole run. A new
// fade first finishes the running one (its objects fully opaque), then takes the new tags
// from transparent to opaque by `step` an update.
class DialogFade {
public:
    static constexpr const char* kGroup = "dialog_tag_list";
    static constexpr int kDefaultStep = 8;

    explicit DialogFade(SceneObjectList& objects) : objects_(objects) {}

    void start(const std::vector<std::string>& tags, int step = kDefaultStep);
    // One update: the alpha moves by the step; at 255 the fade ends.
    void update();
    bool running() const { return direction_ != 0; }
    int alpha() const { return alpha_; }

private:
    SceneObjectList& objects_;
    bool groupMade_ = false;
    bool hasGroup_ = false;
    int alpha_ = 255;
    int direction_ = 0;
    int step_ = kDefaultStep;
};

}  // namespace qs
