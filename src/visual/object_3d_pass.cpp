#include "visual/object_3d_pass.h"

#include <algorithm>
#include <cmath>

#include "render/platform.h"
#include "visual/mesh_library.h"
#include "visual/object_3d.h"

namespace qs {

namespace {

// Coordinates beyond this are a point grazing the eye plane, not something to draw.
constexpr float kMaxScreenCoordinate = 1.0e6f;

struct ProjectedPoint {
    float x = 0, y = 0, depth = 0;
    bool usable = false;
};

uint8_t channel(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

// Ambient light times the material's diffuse colour times the object's tint; alpha from the
// material, the part and the object.
uint32_t litColour(const MeshMaterial& material, int tint, double alpha) {
    auto lit = [&](int shift, float diffuse) {
        const double ambient = ((kAmbient3D >> shift) & 0xFF) / 255.0;
        const double tinted = ((tint >> shift) & 0xFF) / 255.0;
        return static_cast<uint32_t>(channel(255.0 * ambient * diffuse * tinted)) << shift;
    };
    return static_cast<uint32_t>(channel(255.0 * alpha * material.alpha)) << 24 |
           lit(16, material.red) | lit(8, material.green) | lit(0, material.blue);
}

}  // namespace

std::vector<PassTriangle> buildTriangles3D(const Object3DList& objects, const MeshLibrary& meshes,
                                           double scrollX, double scrollY, int screenWidth,
                                           int screenHeight) {
    std::vector<PassTriangle> triangles;
    std::vector<ProjectedPoint> points;
    const float halfWidth = screenWidth / 2.0f, halfHeight = screenHeight / 2.0f;
    for (int slot = 0; slot < objects.count(); ++slot) {
        const TMultiObject3D* object = objects.at(slot);
        if (!object || !object->visible || object->alpha == 0) continue;
        if (object->camera < 0 || object->camera >= static_cast<int>(objects.CameraTable.size()))
            continue;
        const Camera& camera = objects.CameraTable[object->camera];
        const Matrix4 viewProjection = camera.view * camera.projection;
        for (const Object3DPart& part : object->parts) {
            if (!part.visible || part.alpha == 0) continue;
            const Mesh* mesh = meshes.meshAt(part.currentMesh());
            if (!mesh) continue;
            const Matrix4 toClip =
                object->worldTransform(part, scrollX, scrollY) * viewProjection;

            points.assign(static_cast<size_t>(mesh->positionCount()), {});
            for (size_t i = 0; i < points.size(); ++i) {
                const float* p = &mesh->positions[i * 3];
                const Vector4 clip = transform({p[0], p[1], p[2], 1}, toClip);
                if (!(clip.w > 1e-6f)) continue;  // at or behind the eye
                ProjectedPoint& out = points[i];
                out.x = (clip.x / clip.w + 1) * halfWidth;
                out.y = (1 - clip.y / clip.w) * halfHeight;
                out.depth = clip.z / clip.w;
                out.usable = std::fabs(out.x) < kMaxScreenCoordinate &&
                             std::fabs(out.y) < kMaxScreenCoordinate && std::isfinite(out.depth);
            }

            const double alpha = part.alpha / 255.0 * object->alpha / 255.0;
            for (const Mesh::Triangle& t : mesh->triangles) {
                const MeshMaterial& material = mesh->materials[t.material];
                const uint32_t colour = litColour(material, object->color, alpha);
                if ((colour >> 24) == 0) continue;
                PassTriangle out;
                // A texture the device lost shows its material's colour alone.
                const MeshLibrary::Texture* texture = meshes.textureAt(material.texture);
                out.texture = texture && texture->onDevice ? material.texture : -1;
                out.additive = part.alphaMode != 0;
                bool usable = true;
                for (int c = 0; c < 3; ++c) {
                    const Mesh::Corner& corner = t.corners[c];
                    const ProjectedPoint& point = points[corner.position];
                    usable = usable && point.usable;
                    ScreenVertex& v = out.v[c];
                    v.x = point.x;
                    v.y = point.y;
                    v.color = colour;
                    if (corner.texcoord >= 0) {
                        v.u = mesh->texcoords[corner.texcoord * 2];
                        v.v = mesh->texcoords[corner.texcoord * 2 + 1];
                    }
                    out.depth += point.depth / 3;
                }
                if (usable) triangles.push_back(out);
            }
        }
    }
    // Farthest first; equal depths keep the order of the objects and their meshes.
    std::stable_sort(triangles.begin(), triangles.end(),
                     [](const PassTriangle& a, const PassTriangle& b) { return a.depth > b.depth; });
    return triangles;
}

bool drawTriangles3D(RenderDevice& device, const std::vector<PassTriangle>& triangles,
                     Pass3DStats* stats) {
    Pass3DStats local;
    Pass3DStats& s = stats ? *stats : local;
    std::vector<ScreenVertex> run;
    bool ok = true;
    for (size_t i = 0; i < triangles.size();) {
        const PassTriangle& first = triangles[i];
        run.clear();
        size_t j = i;
        for (; j < triangles.size() && triangles[j].texture == first.texture &&
               triangles[j].additive == first.additive;
             ++j)
            run.insert(run.end(), triangles[j].v, triangles[j].v + 3);
        ++s.batches;
        if (device.drawTriangles(first.texture, first.additive, run.data(),
                                 static_cast<int>(run.size()))) {
            s.triangles += static_cast<int>(j - i);
        } else {
            ++s.failedBatches;
            ok = false;
        }
        i = j;
    }
    return ok;
}

bool draw3DPass(RenderDevice& device, const Object3DList& objects, const MeshLibrary& meshes,
                double scrollX, double scrollY, Pass3DStats* stats) {
    return drawTriangles3D(device, buildTriangles3D(objects, meshes, scrollX, scrollY), stats);
}

}  // namespace qs
