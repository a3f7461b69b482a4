#include "renderer/ilu/orb_strip.h"

namespace {

// Fixed point with 8 fraction bits keeps the per-pixel work in integers.
unsigned ToFixed(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 256;
  return static_cast<unsigned>(v * 256.0f + 0.5f);
}

inline uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

}  // namespace

extern "C" {

int orbStripApiLevel(void) { return ORB_STRIP_API_LEVEL; }

void orbStripCompose(OrbImage* dst, int dstX, OrbImage* src, int srcX, int width, float shade, float wash) {
  const int dstWidth = orbImageWidth(dst);
  const int srcWidth = orbImageWidth(src);
  uint32_t* out = orbImagePixels(dst);
  const uint32_t* in = orbImagePixels(src);
  if (!out || !in || width <= 0) return;
  // Clip the strip to both pictures; computed in 64 bits so no position
  // overflows.
  long long from = 0;
  long long to = width;
  if (dstX < 0) from = -static_cast<long long>(dstX);
  if (srcX < 0 && -static_cast<long long>(srcX) > from) from = -static_cast<long long>(srcX);
  if (static_cast<long long>(dstWidth) - dstX < to) to = static_cast<long long>(dstWidth) - dstX;
  if (static_cast<long long>(srcWidth) - srcX < to) to = static_cast<long long>(srcWidth) - srcX;
  if (from >= to) return;
  const int rows = orbImageHeight(dst) < orbImageHeight(src) ? orbImageHeight(dst) : orbImageHeight(src);
  const unsigned light = ToFixed(shade);
  const unsigned paper = ToFixed(wash);
  const unsigned picture = 256 - paper;
  const unsigned paperR = Channel(ORB_PAPER_COLOR, 16) * paper;
  const unsigned paperG = Channel(ORB_PAPER_COLOR, 8) * paper;
  const unsigned paperB = Channel(ORB_PAPER_COLOR, 0) * paper;
  GdiFlush();
  for (int y = 0; y < rows; ++y) {
    uint32_t* outRow = out + static_cast<size_t>(y) * static_cast<size_t>(dstWidth);
    const uint32_t* inRow = in + static_cast<size_t>(y) * static_cast<size_t>(srcWidth);
    for (long long i = from; i < to; ++i) {
      const uint32_t p = inRow[srcX + i];
      const uint32_t r = ((Channel(p, 16) * light >> 8) * picture + paperR) >> 8;
      const uint32_t g = ((Channel(p, 8) * light >> 8) * picture + paperG) >> 8;
      const uint32_t b = ((Channel(p, 0) * light >> 8) * picture + paperB) >> 8;
      outRow[dstX + i] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
}

int orbImageScaleInto(OrbImage* dst, OrbImage* src) {
  HDC to = orbImageDC(dst);
  HDC from = orbImageDC(src);
  if (!to || !from) return 0;
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  const BOOL drawn = StretchBlt(to, 0, 0, orbImageWidth(dst), orbImageHeight(dst), from, 0, 0, orbImageWidth(src),
                                orbImageHeight(src), SRCCOPY);
  GdiFlush();
  if (!drawn) return 0;
  orbImageMakeOpaque(dst);
  return 1;
}

}  // extern "C"
