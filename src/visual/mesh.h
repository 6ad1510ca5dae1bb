#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// The colour of a run of triangles, from the mesh's material file.
struct MeshMaterial {
    std::string name;
    float red = 1, green = 1, blue = 1;  // diffuse colour, 0..1
    float alpha = 1;                     // 1 opaque
    int texture = -1;                    // mesh texture id, -1 none
};

// A loaded mesh: shared corner data and triangles that index it. Every index held here has
// been checked against its table when the file was read.
struct Mesh {
    struct Corner {
        int position = 0;
        int texcoord = -1;  // -1: no texture coordinate
    };
    struct Triangle {
        Corner corners[3];
        int material = 0;  // index in materials
    };
    std::vector<float> positions;  // x, y, z per point
    std::vector<float> texcoords;  // u, v per point, v = 0 at the top of the image
    std::vector<Triangle> triangles;
    std::vector<MeshMaterial> materials;  // entry 0: plain white, for faces without a material

    int positionCount() const { return static_cast<int>(positions.size() / 3); }
    int texcoordCount() const { return static_cast<int>(texcoords.size() / 2); }
};

}  // namespace qs
