#pragma once

#include "render/draw_list.h"

namespace qs {

class RenderDevice;

// What the 2D pass asked of the device, for the frame statistics and the tests.
struct RenderPassStats {
    int rotationChanges = 0;
    int blendChanges = 0;
    int pageChanges = 0;
    int filterChanges = 0;
    int quadsDrawn = 0;
};

// Draws the quads in list order, changing rotation, blend, page and filter only when they
// differ from the previous quad's. A page that cannot be used records a texture failure and
// stops the pass; a failed draw stops it too. Returns false when the pass stopped early.
bool drawQuadPass(RenderDevice& device, const DrawList& quads, bool& textureFailure,
                  RenderPassStats* stats = nullptr);

}  // namespace qs
