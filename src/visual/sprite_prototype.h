#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// One image layer of a multisprite prototype.
struct PrototypePart {
    double x = 0, y = 0;
    int z = 0;
    bool flip_x = false, flip_y = false;
    int sheet = -1;  // index in the texture library
    int group = -1;  // index of the part's group
    uint8_t alpha = 255;
    uint8_t alpha_mode = 0;  // 0 alpha blending, otherwise additive
    int color = 0xFFFFFF;
    double angle = 0;  // radians
    int frame_count = 0;
    double anim_speed = 0;  // frames per unit of the sprite engine's move count
    bool anim_loop = false;
    int sprite_type = 0;  // not 0: never drawn, but placed and testable
    double scale_x = 1, scale_y = 1;
    std::string textureName;
    int border = 0;
    int filter = 0;  // 0 point, 1 bilinear
};

// A run of parts of which exactly one shows at a time on a live object.
struct PartGroup {
    int firstPart = 0;
    int count = 0;
    int selection = -1;
};

// Everything a .spr file says about a visual object; live objects are built from it.
struct TMultiSpritePrototype {
    std::string name;  // bare file name without ".spr"; empty = free slot
    std::string file;  // the file it was read from, as named
    std::vector<PrototypePart> parts;
    std::vector<PartGroup> groups;
    double x = 0, y = 0;
    int z = 0;
    bool isometric = false;
    double iso_x = 0, iso_y = 0;
    int iso_z = 0;
    bool flip_x = false, flip_y = false;
    int width = 0, height = 0;
    double angle = 0;
    uint8_t alpha = 255;
    int color = 0xFFFFFF;
    bool trigger = false;
    double rot_center_x = 0, rot_center_y = 0;
    double scale_x = 1, scale_y = 1;
    double map_koeff = 1;
};

}  // namespace qs
