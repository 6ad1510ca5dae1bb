#pragma once

#include <cstdint>
#include <vector>

#include "render/screen_vertex.h"

namespace qs {

class MeshLibrary;
class Object3DList;
class RenderDevice;

// The light the 3D pass sees: ambient only, no lamps, so a material shows its diffuse
// colour times this grey (times its texture).
inline constexpr uint32_t kAmbient3D = 0xFF808080;

// One triangle of the 3D pass, transformed, lit and ready for the device.
struct PassTriangle {
    ScreenVertex v[3];
    int texture = -1;  // mesh texture id, -1 plain
    bool additive = false;
    float depth = 0;  // projected depth of its centre; larger is farther
};

struct Pass3DStats {
    int triangles = 0;  // triangles drawn
    int batches = 0;    // device calls
    int failedBatches = 0;
};

// Every triangle of every visible part of every visible object, in screen pixels, lit by
// the ambient rule and sorted farthest first (the device has no depth buffer, so nearer
// triangles must come later). A part's mesh is the frame of its animation position; an
// object whose camera is not in the table, and points behind a camera, are left out.
std::vector<PassTriangle> buildTriangles3D(const Object3DList& objects, const MeshLibrary& meshes,
                                           double scrollX, double scrollY, int screenWidth = 800,
                                           int screenHeight = 600);

// Hands the triangles to the device in runs of one texture and blend. False when a run
// could not be drawn (the others still are).
bool drawTriangles3D(RenderDevice& device, const std::vector<PassTriangle>& triangles,
                     Pass3DStats* stats = nullptr);

// The 3D pass of a frame, drawn over the 2D pass.
bool draw3DPass(RenderDevice& device, const Object3DList& objects, const MeshLibrary& meshes,
                double scrollX, double scrollY, Pass3DStats* stats = nullptr);

}  // namespace qs
