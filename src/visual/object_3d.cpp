#include "visual/object_3d.h"

#include <cmath>

#include "core/text_util.h"
#include "visual/prototype_3d.h"
#include "visual/prototype_library.h"
#include "visual/sprite_prototype_loader.h"

namespace qs {

Camera screenCamera(int screenWidth, int screenHeight) {
    const float zfar = -1, znear = 1;
    Camera camera;
    camera.projection = Matrix4::zero();
    camera.projection.at(0, 0) = 2.0f / static_cast<float>(screenWidth);
    camera.projection.at(1, 1) = -2.0f / static_cast<float>(screenHeight);
    camera.projection.at(2, 2) = 1.0f / (zfar - znear);
    camera.projection.at(3, 2) = zfar / (zfar - znear);
    camera.projection.at(3, 3) = 1;
    return camera;
}

int Object3DPart::currentMesh() const {
    const double frame = std::trunc(animPos);
    if (!(frame >= 0) || frame >= static_cast<double>(meshes.size())) return -1;
    return meshes[static_cast<size_t>(frame)];
}

TMultiObject3D::TMultiObject3D(const TMulti3DPrototype& p, int prototypeIndex)
    : name(p.name), prototype(prototypeIndex) {
    x = p.x;
    y = p.y;
    z = p.z;
    angle_vector_x = p.angle_vector_x;
    angle_vector_y = p.angle_vector_y;
    angle_vector_z = p.angle_vector_z;
    angle = p.angle;
    scale_x = p.scale_x;
    scale_y = p.scale_y;
    scale_z = p.scale_z;
    rot_center_x = p.rot_center_x;
    rot_center_y = p.rot_center_y;
    rot_center_z = p.rot_center_z;
    map_koeff_x = p.map_koeff_x;
    map_koeff_y = p.map_koeff_y;
    map_koeff_z = p.map_koeff_z;
    alpha = p.alpha;
    color = p.color;
    trigger = p.trigger;
    sprite_z = p.sprite_z;
    for (const Prototype3DPart& from : p.parts) {
        Object3DPart part;
        part.group = from.group;
        part.meshes = from.meshes;
        part.animSpeed = from.anim_speed;
        part.animLoop = from.anim_loop;
        part.alpha = from.alpha;
        part.alphaMode = from.alpha_mode;
        part.transform = Matrix4::scaling(from.scale_x, from.scale_y, from.scale_z) *
                         Matrix4::rotationAxis(from.angle_vector_x, from.angle_vector_y,
                                               from.angle_vector_z, from.angle) *
                         Matrix4::translation(from.x, from.y, from.z);
        parts.push_back(std::move(part));
    }
    groups = p.groups;
    for (size_t g = 0; g < groups.size(); ++g) SelectGroupPart(static_cast<int>(g), 0);
}

void TMultiObject3D::SelectGroupPart(int g, int k) {
    if (g < 0 || g >= static_cast<int>(groups.size())) return;
    PartGroup& group = groups[g];
    group.selection = k;
    for (int i = group.firstPart; i < group.firstPart + group.count; ++i) {
        if (i < 0 || i >= static_cast<int>(parts.size())) continue;
        parts[i].visible = i == group.firstPart + k;
    }
}

void TMultiObject3D::Move(int moveCount) {
    // The same rules as the animation of image sprites.
    for (Object3DPart& part : parts) {
        const double frames = static_cast<double>(part.meshes.size());
        part.animPos += moveCount * part.animSpeed;
        if (part.animLoop) {
            part.animPos = frames > 0 ? std::fmod(part.animPos, frames) : 0;
            if (part.animPos < 0) part.animPos += frames;
        } else if (part.animPos >= frames) {
            part.animPos = frames > 0 ? frames - 1 : 0;
            part.animSpeed = 0;
        }
        if (part.animPos < 0) {
            part.animPos = 0;
            part.animSpeed = 0;
        }
    }
}

Matrix4 TMultiObject3D::worldTransform(const Object3DPart& part, double scrollX,
                                       double scrollY) const {
    Matrix4 world = part.transform * Matrix4::scaling(scale_x, scale_y, scale_z);
    const Matrix4 turn =
        Matrix4::rotationAxis(angle_vector_x, angle_vector_y, angle_vector_z, angle);
    if (rot_center_x != 0 || rot_center_y != 0 || rot_center_z != 0) {
        world = world * Matrix4::translation(-rot_center_x, -rot_center_y, -rot_center_z) * turn *
                Matrix4::translation(rot_center_x, rot_center_y, rot_center_z);
    } else {
        world = world * turn;
    }
    // The map scrolls in x and y only.
    return world * Matrix4::translation(x - scrollX * map_koeff_x, y - scrollY * map_koeff_y, z);
}

TMultiObject3D* Object3DList::create(const PrototypeLibrary& prototypes, int prototypeIndex) {
    const TMulti3DPrototype* prototype = prototypes.prototype3DAt(prototypeIndex);
    if (!prototype) return nullptr;
    auto object = std::make_unique<TMultiObject3D>(*prototype, prototypeIndex);
    size_t slot = 0;
    while (slot < slots_.size() && slots_[slot]) ++slot;
    if (slot == slots_.size()) slots_.emplace_back();
    object->slot = static_cast<int>(slot);
    slots_[slot] = std::move(object);
    ++liveCount_;
    return slots_[slot].get();
}

TMultiObject3D* Object3DList::create(PrototypeLibrary& prototypes, const std::string& path) {
    const std::string name = withoutExtension(withoutFolders(trim(path)));
    int index = -1;
    for (int i = 0; i < prototypes.prototype3DCount() && index < 0; ++i) {
        if (!name.empty() && prototypes.prototype3DAt(i)->name == name) index = i;
    }
    if (index < 0) index = prototypes.Load3DPrototype(path);
    return create(prototypes, index);
}

void Object3DList::free(int slot) {
    if (!at(slot)) return;
    slots_[slot].reset();
    --liveCount_;
}

void Object3DList::Move(int moveCount) {
    for (auto& object : slots_) {
        if (object) object->Move(moveCount);
    }
}

}  // namespace qs
