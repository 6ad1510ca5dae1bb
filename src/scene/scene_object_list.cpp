#include "scene/scene_object_list.h"

#include <algorithm>

#include "core/log.h"
#include "visual/object_3d.h"
#include "visual/prototype_library.h"
#include "visual/texture_library.h"

namespace qs {

SceneObjectList::SceneObjectList(const SpriteWorld& world)
    : world_(world), log_(world.prototypes.services().log) {}

const FileSystem& SceneObjectList::files() const { return world_.prototypes.services().files; }

SceneObjectList::~SceneObjectList() {
    // Free in slot order so image sprites leave the engine while it still exists.
    for (auto& slot : slots_) slot.reset();
}

void SceneObjectList::place(std::unique_ptr<TMultiSprite> object) {
    auto empty = std::find(slots_.begin(), slots_.end(), nullptr);
    int slot;
    if (empty != slots_.end()) {
        slot = static_cast<int>(empty - slots_.begin());
        *empty = std::move(object);
    } else {
        slot = static_cast<int>(slots_.size());
        slots_.push_back(std::move(object));
    }
    slots_[slot]->slot = slot;
    lastCreated_ = slot;
    ++liveCount_;
}

TMultiSprite* SceneObjectList::at(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(slots_.size())) return nullptr;
    return slots_[slot].get();
}

void SceneObjectList::free(int slot) {
    if (!at(slot)) return;
    slots_[slot].reset();
    --liveCount_;
}

int SceneObjectList::FindSceneObject(const std::string& name, int occurrence,
                                     const std::string& tag) const {
    int matches = 0;
    for (size_t i = 0; i < slots_.size(); ++i) {
        const TMultiSprite* object = slots_[i].get();
        if (!object || object->name != name) continue;
        if (!tag.empty() && object->tag != tag) continue;
        if (occurrence == -1 || matches == occurrence) return static_cast<int>(i);
        ++matches;
    }
    return -1;
}

void SceneObjectList::SetVisibleByTag(const std::string& tag, bool visible) {
    for (auto& object : slots_) {
        if (object && object->tag == tag) object->visible = visible ? 1 : 0;
    }
}

void SceneObjectList::SetAlphaByTag(const std::string& tag, uint8_t alpha) {
    for (auto& object : slots_) {
        if (object && object->tag == tag) object->alpha = alpha;
    }
}

std::string tagOf(const std::string& name) {
    size_t dot = name.find('.', 1);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int SceneObjectList::unload_by_tag(const std::string& name) {
    const std::string tag = tagOf(name);
    int freed = 0;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i] && slots_[i]->tag == tag) {
            free(static_cast<int>(i));
            ++freed;
        }
    }
    log_.WriteLog("unload_by_tag(\"" + tag + "\"), unloaded: " + std::to_string(freed));
    return freed;
}

ObjectGroup* SceneObjectList::group(const std::string& name) {
    for (ObjectGroup& g : groups_) {
        if (g.name == name) return &g;
    }
    return nullptr;
}

const ObjectGroup* SceneObjectList::findGroup(const std::string& name) const {
    for (const ObjectGroup& g : groups_) {
        if (g.name == name) return &g;
    }
    return nullptr;
}

void SceneObjectList::CreateObjectGroup(const std::string& name) {
    ObjectGroup* g = group(name);
    if (!g) {
        groups_.push_back({});
        g = &groups_.back();
        g->name = name;
    }
    g->tags.clear();
    g->members.clear();
    g->memberKinds.clear();
}

void SceneObjectList::AddTagToGroup(const std::string& name, const std::string& tag) {
    ObjectGroup* g = group(name);
    if (!g) return;
    if (std::find(g->tags.begin(), g->tags.end(), tag) == g->tags.end()) g->tags.push_back(tag);
    RebuildObjectGroup(name);
}

void SceneObjectList::RebuildObjectGroup(const std::string& name) {
    ObjectGroup* g = group(name);
    if (!g) return;
    g->members.clear();
    g->memberKinds.clear();
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i]) continue;
        if (std::find(g->tags.begin(), g->tags.end(), slots_[i]->tag) == g->tags.end()) continue;
        g->members.push_back(static_cast<int>(i));
        g->memberKinds.push_back(1);
    }
    if (!objects3D_) return;
    for (int i = 0; i < objects3D_->count(); ++i) {
        const TMultiObject3D* object = objects3D_->at(i);
        if (!object) continue;
        if (std::find(g->tags.begin(), g->tags.end(), object->tag) == g->tags.end()) continue;
        g->members.push_back(i);
        g->memberKinds.push_back(2);
    }
}

void SceneObjectList::SetObjectGroupAlpha(const std::string& name, uint8_t alpha) {
    ObjectGroup* g = group(name);
    if (!g) return;
    for (size_t m = 0; m < g->members.size(); ++m) {
        if (g->memberKinds[m] == 2) {
            TMultiObject3D* object = objects3D_ ? objects3D_->at(g->members[m]) : nullptr;
            // As below: a reused slot keeps its own alpha.
            if (object && std::find(g->tags.begin(), g->tags.end(), object->tag) != g->tags.end())
                object->alpha = alpha;
            continue;
        }
        if (g->memberKinds[m] != 1) continue;
        TMultiSprite* object = at(g->members[m]);
        // A slot reused by another object since the rebuild is left alone.
        if (!object) continue;
        if (std::find(g->tags.begin(), g->tags.end(), object->tag) == g->tags.end()) continue;
        object->alpha = alpha;
    }
}

bool SceneObjectList::ObjectContainsPoint(const TMultiSprite& object, double x, double y,
                                          double scrollX, double scrollY,
                                          const TextureLibrary& textures) const {
    for (const ObjectGroupState& g : object.groups) {
        int part = g.firstPart + g.selection;
        if (g.selection < 0 || part < 0 || part >= static_cast<int>(object.sprites.size())) continue;
        const TMyImageSprite& sprite = *object.sprites[part];
        const TextureSheet* sheet = textures.sheetAt(sprite.sheet);
        if (!sheet) continue;
        double left = scrollX * object.map_koeff + sprite.X;
        double top = scrollY * object.map_koeff + sprite.Y;
        if (x >= left && x < left + sheet->frameWidth * object.scale_x && y >= top &&
            y < top + sheet->frameHeight * object.scale_y)
            return true;
    }
    return false;
}

void SceneObjectList::ApplyTransformAll() {
    for (auto& object : slots_) {
        if (object) object->ApplyTransform();
    }
}

}  // namespace qs
