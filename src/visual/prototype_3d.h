#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "visual/sprite_prototype.h"

namespace qs {

// One part of a 3D prototype: a mesh, or with more than one an animation of meshes.
struct Prototype3DPart {
    double x = 0, y = 0, z = 0;
    uint8_t alpha = 255;
    uint8_t alpha_mode = 0;  // 0 alpha blending, otherwise additive
    float angle_vector_x = 0, angle_vector_y = 0, angle_vector_z = 0;
    double angle = 0;  // radians
    double scale_x = 1, scale_y = 1, scale_z = 1;
    double anim_speed = 0;  // mesh frames per unit of the move count
    bool anim_loop = false;
    int group = -1;
    std::vector<int> meshes;  // indices in the mesh library, one per frame
};

// Everything an .m3d file says about a 3D object; live objects are built from it.
struct TMulti3DPrototype {
    std::string name;  // bare file name without folder and extension; empty = free slot
    std::vector<Prototype3DPart> parts;
    std::vector<PartGroup> groups;
    int sprite_z = 0;
    double x = 0, y = 0, z = 0;
    uint8_t alpha = 255;
    float angle_vector_x = 0, angle_vector_y = 0, angle_vector_z = 0;
    double angle = 0;  // radians
    bool trigger = false;
    int color = 0xFFFFFF;
    double map_koeff_x = 0, map_koeff_y = 0, map_koeff_z = 0;
    int width = 0, height = 0, depth = 0;  // overrides, kept when above 0
    double scale_x = 1, scale_y = 1, scale_z = 1;
    double rot_center_x = 0, rot_center_y = 0, rot_center_z = 0;
};

}  // namespace qs
