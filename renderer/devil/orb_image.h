// "DevIL.dll": the renderer's picture buffers. A picture is a 32-bit
// top-down DIB section selected into its own memory device context, so GDI
// can draw into it and the renderer can work on its pixels directly.
#pragma once

#include <windows.h>

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORB_IMAGE_API_LEVEL 1

// The largest picture side accepted; a window is never larger, and it keeps
// a damaged size from asking for gigabytes.
#define ORB_IMAGE_MAX_SIDE 16384

typedef struct OrbImage OrbImage;

int orbImageApiLevel(void);

// A black picture, or null when a side is not in 1 .. ORB_IMAGE_MAX_SIDE or
// the system is out of GDI resources.
OrbImage* orbImageCreate(int width, int height);
// Null is accepted.
void orbImageDestroy(OrbImage* image);

// 0 / null for a null image.
int orbImageWidth(const OrbImage* image);
int orbImageHeight(const OrbImage* image);
// Rows top to bottom, `width` pixels of 0xAARRGGBB each, no padding.
uint32_t* orbImagePixels(OrbImage* image);
HDC orbImageDC(OrbImage* image);

// GDI leaves the alpha byte of what it draws undefined; pictures that go to
// the screen get it set to opaque.
void orbImageMakeOpaque(OrbImage* image);
void orbImageFill(OrbImage* image, uint32_t color);

#ifdef __cplusplus
}
#endif
