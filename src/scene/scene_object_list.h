#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "visual/multisprite.h"

namespace qs {

class FileSystem;
class Log;
class Object3DList;

// A named set of tags whose objects fade together (a dialog's map and its texts).
struct ObjectGroup {
    std::string name;
    std::vector<std::string> tags;
    std::vector<int> members;           // slots, or 3D object indices
    std::vector<uint8_t> memberKinds;   // 1 multisprite, 2 3D object
};

// Every live visual object, by slot. Scene code finds objects by name and tag, and frees a
// whole screen by its tag; slots are reused but never moved while their object lives.
class SceneObjectList {
public:
    explicit SceneObjectList(const SpriteWorld& world);
    ~SceneObjectList();

    // Builds an object from a prototype path in the first free slot.
    template <typename T = TMultiSprite, typename... Args>
    T& create(const std::string& path, Args&&... args) {
        auto object = std::make_unique<T>(world_, path, std::forward<Args>(args)...);
        T& ref = *object;
        place(std::move(object));
        return ref;
    }

    // What the objects are built from: the prototypes (with the files and log they were
    // read through), the sprite engine and the game clock.
    const SpriteWorld& world() const { return world_; }
    // The content files and the log, as the prototypes were read through them.
    const FileSystem& files() const;
    Log& log() const { return log_; }
    SpriteEngine& engine() const { return world_.engine; }

    TMultiSprite* at(int slot) const;
    int count() const { return static_cast<int>(slots_.size()); }
    int lastCreated() const { return lastCreated_; }
    int liveCount() const { return liveCount_; }

    // Frees the object in the slot (its image sprites leave the engine).
    void free(int slot);
    void free(TMultiSprite& object) { free(object.slot); }

    int FindSceneObject(const std::string& name, int occurrence, const std::string& tag) const;
    void SetVisibleByTag(const std::string& tag, bool visible);
    void SetAlphaByTag(const std::string& tag, uint8_t alpha);
    // Frees every object with the tag ("menu_help.map" means "menu_help"); the count freed.
    int unload_by_tag(const std::string& name);

    void CreateObjectGroup(const std::string& name);
    void AddTagToGroup(const std::string& name, const std::string& tag);
    void RebuildObjectGroup(const std::string& name);
    void SetObjectGroupAlpha(const std::string& name, uint8_t alpha);
    const ObjectGroup* findGroup(const std::string& name) const;

    bool ObjectContainsPoint(const TMultiSprite& object, double x, double y, double scrollX,
                             double scrollY, const TextureLibrary& textures) const;

    // Places every live object's image sprites (flips, angles, positions).
    void ApplyTransformAll();

    // The 3D objects that object groups take in as members of kind 2.
    void use3DObjects(Object3DList* objects) { objects3D_ = objects; }

private:
    void place(std::unique_ptr<TMultiSprite> object);
    ObjectGroup* group(const std::string& name);

    SpriteWorld world_;
    Log& log_;
    std::vector<std::unique_ptr<TMultiSprite>> slots_;
    std::vector<ObjectGroup> groups_;
    int lastCreated_ = -1;
    int liveCount_ = 0;
    Object3DList* objects3D_ = nullptr;
};

// The tag a map or screen name stands for: the text before its first "." after the first character.
std::string tagOf(const std::string& name);

}  // namespace qs
