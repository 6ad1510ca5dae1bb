#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "visual/matrix4.h"
#include "visual/sprite_prototype.h"

namespace qs {

class PrototypeLibrary;
struct TMulti3DPrototype;

// A view and a projection; 3D objects are seen through the camera at their index.
struct Camera {
    Matrix4 view;
    Matrix4 projection;
};

// The 2D camera: the 800 x 600 screen seen head-on, world (0, 0) at its centre, y down,
// z from -1 (far) to 1 (near).
Camera screenCamera(int screenWidth = 800, int screenHeight = 600);

// One part of a live 3D object.
struct Object3DPart {
    bool visible = true;  // the selected part of its group
    int group = -1;
    std::vector<int> meshes;  // mesh library indices, one per animation frame
    double animPos = 0;
    double animSpeed = 0;
    bool animLoop = false;
    uint8_t alpha = 255;
    uint8_t alphaMode = 0;
    // Scale, turn about the part's own axis, then the part's offset.
    Matrix4 transform;

    // The mesh of the current animation frame, or -1.
    int currentMesh() const;
};

// A live object made of meshes. Its fields are the interface: scene code places, turns,
// scales, fades, tags and hides it by setting them.
class TMultiObject3D {
public:
    explicit TMultiObject3D(const TMulti3DPrototype& prototype, int prototypeIndex = -1);

    // Shows part `part` of group `group` and hides the group's others.
    void SelectGroupPart(int group, int part);
    // Advances every part's animation by `moveCount` units.
    void Move(int moveCount);
    // Mesh point -> world: part transform, object scale, the turn about the object's axis
    // through its rotation centre, then the translation to its position less the map scroll
    // by the map factors.
    Matrix4 worldTransform(const Object3DPart& part, double scrollX, double scrollY) const;

    std::string name;
    std::string tag;
    int prototype = -1;
    int slot = -1;
    bool visible = true;
    int camera = 0;  // index in the camera table
    double x = 0, y = 0, z = 0;
    float angle_vector_x = 0, angle_vector_y = 0, angle_vector_z = 0;
    double angle = 0;  // radians
    double scale_x = 1, scale_y = 1, scale_z = 1;
    double rot_center_x = 0, rot_center_y = 0, rot_center_z = 0;
    double map_koeff_x = 0, map_koeff_y = 0, map_koeff_z = 0;
    uint8_t alpha = 255;
    int color = 0xFFFFFF;
    bool trigger = false;
    int sprite_z = 0;
    std::vector<Object3DPart> parts;
    std::vector<PartGroup> groups;
};

// Every live 3D object by slot (a freed slot is reused first, slots never move), and the
// camera table they are seen through.
class Object3DList {
public:
    Object3DList() { CameraTable.push_back(screenCamera()); }

    // Builds an object from a loaded 3D prototype; nothing when the index names none.
    TMultiObject3D* create(const PrototypeLibrary& prototypes, int prototypeIndex);
    // Builds an object from an .m3d file, loading it unless a prototype of its bare name
    // is loaded already.
    TMultiObject3D* create(PrototypeLibrary& prototypes, const std::string& path);

    TMultiObject3D* at(int slot) const {
        if (slot < 0 || slot >= count()) return nullptr;
        return slots_[slot].get();
    }
    int count() const { return static_cast<int>(slots_.size()); }
    int liveCount() const { return liveCount_; }
    bool empty() const { return liveCount_ == 0; }
    void free(int slot);

    // Advances the animations of every object.
    void Move(int moveCount);

    // Entry 0 is the 2D camera; more can be appended.
    std::vector<Camera> CameraTable;

private:
    std::vector<std::unique_ptr<TMultiObject3D>> slots_;
    int liveCount_ = 0;
};

}  // namespace qs
