// Texture sampling of the quad filler.  The filler itself is
// CScene3D::FillPerspectiveQuad with CScene3D::DrawPerspectiveSpan.
//
// Pixels are 0xAARRGGBB with straight alpha.  The arithmetic is exact to the
// bit and must stay so: rendered images are compared bit for bit.
#pragma once

#include <cstdint>

#include "scene/scene3d.h"

namespace tessaro {

// Rows above the target that FillPerspectiveQuad walks one at a time, exactly
// as the plain edge walk does.  A quad whose top lies further up is brought
// down to this row with multiplied steps instead, so that a corner projected to
// the far end of the 32-bit range cannot cost two billion empty rows.  Nothing
// is drawn above the target either way; only the last bits of the edge values
// at the first drawn row can differ from a row-by-row walk.
constexpr int64_t kWalkedRowsAboveTarget = int64_t(1) << 16;

// The pixel between a and b, k (0..1) being the weight of a.  Alpha mixes
// linearly; the colour leans towards the more opaque pixel, and a fully
// transparent pixel contributes no colour at all.  Results are truncated after
// adding 0.5 and limited to 0..255.
uint32_t LerpPixel(uint32_t a, uint32_t b, double k);
// The alpha LerpPixel gives for pixels of alphas alphaA and alphaB.
uint32_t LerpAlpha(uint32_t alphaA, uint32_t alphaB, double k);

// Bilinear sample at texel column tu, row tv.  Border texels repeat; positions
// outside the texture are pinned to its edge, and NaN to its first column or
// row, so no value can address a texel that does not exist.
uint32_t SampleBilinear(const CTexture3D& texture, double tu, double tv);

}  // namespace tessaro
