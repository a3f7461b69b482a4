// "ILUT.dll": moving pictures between windows and the buffers of
// "DevIL.dll", with the scaling of "ILU.dll".
#pragma once

#include "renderer/devil/orb_image.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ORB_BLIT_API_LEVEL 1

int orbBlitApiLevel(void);

// The picture of `window` with its frame, as it would look on screen even
// when it is covered or placed off the screen. With width and height above 0
// the picture is scaled to that size; otherwise it has the window's size.
// Null for a null or destroyed window, a window without area or a window
// that cannot be drawn.
OrbImage* orbBlitCaptureWindow(HWND window, int width, int height);

// Draws all of `image` with its top left corner at x, y of `dc`. 1 when
// drawn.
int orbBlitPresent(HDC dc, int x, int y, OrbImage* image);

#ifdef __cplusplus
}
#endif
