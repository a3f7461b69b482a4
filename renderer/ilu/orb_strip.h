// "ILU.dll": picture utilities over the buffers of "DevIL.dll": copying
// column strips with shading and paper tint (the page turn draws every frame
// from such strips) and scaling a whole picture.
#pragma once

#include "renderer/devil/orb_image.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ORB_STRIP_API_LEVEL 1

// The colour the back of the turning sheet has where no picture shows.
#define ORB_PAPER_COLOR 0xFFF3EFE6u

int orbStripApiLevel(void);

// Copies columns srcX .. srcX + width - 1 of `src` to dstX .. of `dst`, each
// pixel multiplied by `shade` (clamped to 0 .. 1) and then mixed with the
// paper colour by `wash` (0: picture only, 1: paper only). Rows beyond the
// shorter picture and columns outside either picture are left out. The
// result is opaque.
void orbStripCompose(OrbImage* dst, int dstX, OrbImage* src, int srcX, int width, float shade, float wash);

// Draws all of `src` into all of `dst`, smoothing when it shrinks. 1 when
// drawn, 0 for a null picture or a failed GDI call.
int orbImageScaleInto(OrbImage* dst, OrbImage* src);

#ifdef __cplusplus
}
#endif
