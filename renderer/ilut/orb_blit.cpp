#include "renderer/ilut/orb_blit.h"

#include "renderer/ilu/orb_strip.h"

#ifndef PW_RENDERFULLCONTENT
#define PW_RENDERFULLCONTENT 0x00000002
#endif

namespace {

// Asking the window to draw itself works wherever it is; copying from the
// screen only shows it where nothing covers it, so that is the last resort.
bool DrawWindowInto(HWND window, HDC dc, int width, int height) {
  // Composited content (newer systems) needs the extra flag, which older
  // systems refuse; they get the plain request.
  if (PrintWindow(window, dc, PW_RENDERFULLCONTENT) || PrintWindow(window, dc, 0)) return true;
  HDC source = GetWindowDC(window);
  if (!source) return false;
  const BOOL copied = BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  return copied != FALSE;
}

}  // namespace

extern "C" {

int orbBlitApiLevel(void) { return ORB_BLIT_API_LEVEL; }

OrbImage* orbBlitCaptureWindow(HWND window, int width, int height) {
  RECT rect;
  if (!window || !IsWindow(window) || !GetWindowRect(window, &rect)) return nullptr;
  // Differences of two screen coordinates; 64 bits so that absurd rectangles
  // cannot overflow before the size check.
  const long long w = static_cast<long long>(rect.right) - rect.left;
  const long long h = static_cast<long long>(rect.bottom) - rect.top;
  if (w <= 0 || h <= 0 || w > ORB_IMAGE_MAX_SIDE || h > ORB_IMAGE_MAX_SIDE) return nullptr;
  OrbImage* picture = orbImageCreate(static_cast<int>(w), static_cast<int>(h));
  if (!picture) return nullptr;
  if (!DrawWindowInto(window, orbImageDC(picture), static_cast<int>(w), static_cast<int>(h))) {
    orbImageDestroy(picture);
    return nullptr;
  }
  GdiFlush();
  orbImageMakeOpaque(picture);
  if (width <= 0 || height <= 0 || (width == w && height == h)) return picture;
  OrbImage* scaled = orbImageCreate(width, height);
  if (scaled && !orbImageScaleInto(scaled, picture)) {
    orbImageDestroy(scaled);
    scaled = nullptr;
  }
  orbImageDestroy(picture);
  return scaled;
}

int orbBlitPresent(HDC dc, int x, int y, OrbImage* image) {
  HDC from = orbImageDC(image);
  if (!dc || !from) return 0;
  const BOOL drawn = BitBlt(dc, x, y, orbImageWidth(image), orbImageHeight(image), from, 0, 0, SRCCOPY);
  GdiFlush();
  return drawn ? 1 : 0;
}

}  // extern "C"
