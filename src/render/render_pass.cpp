#include "render/render_pass.h"

#include "render/platform.h"

namespace qs {

bool drawQuadPass(RenderDevice& device, const DrawList& quads, bool& textureFailure,
                  RenderPassStats* stats) {
    RenderPassStats local;
    RenderPassStats& s = stats ? *stats : local;
    // Nothing is remembered from the previous frame: the first quad sets every state.
    bool first = true;
    double previousAngle = 0;
    int previousAlphaMode = -1;
    int previousPage = -1;
    int previousFilter = -1;
    for (const DrawQuad& quad : quads) {
        if (textureFailure) return false;
        // Unrotated quads share one transform; every rotated quad sets its own.
        if (first || quad.angle != 0 || previousAngle != 0) {
            device.setRotation(quad.angle, quad.centreX, quad.centreY);
            ++s.rotationChanges;
        }
        previousAngle = quad.angle;
        if (quad.alphaMode != previousAlphaMode) {
            device.setAdditive(quad.alphaMode != 0);
            previousAlphaMode = quad.alphaMode;
            ++s.blendChanges;
        }
        if (quad.page != previousPage || first) {
            if (!device.setPage(quad.page)) {
                textureFailure = true;
                return false;
            }
            previousPage = quad.page;
            ++s.pageChanges;
        }
        if (quad.filter != previousFilter) {
            device.setFilter(quad.filter);
            previousFilter = quad.filter;
            ++s.filterChanges;
        }
        first = false;
        if (!device.drawQuad(quad)) return false;
        ++s.quadsDrawn;
    }
    return true;
}

}  // namespace qs
