#include "renderer/d3dx9_35/fold_math.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
// The back of the sheet is paper with the picture showing faintly through.
constexpr float kBackWash = 0.7f;
// Brightness where the paper turns edge-on to the viewer.
constexpr float kCurlDarkest = 0.55f;
// How much the lifted sheet darkens what lies under its edge.
constexpr float kShadowDepth = 0.45f;
constexpr float kFlapShadowShare = 0.6f;

// NaN counts as 0, so a broken caller still gets a picture.
float Clamp01(float v) {
  if (!(v > 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

// A soft shadow: full at the edge that casts it, gone `1` away.
float Falloff(float distance) {
  if (!(distance > 0.0f)) return 1.0f;
  if (distance >= 1.0f) return 0.0f;
  return (1.0f - distance) * (1.0f - distance);
}

// Wide enough to read as a roll, narrow enough to leave most of the sheet
// flat; never so small that the curl degenerates.
float RadiusFor(int width) {
  float r = static_cast<float>(width) / 9.0f;
  return r < 2.0f ? 2.0f : r;
}

}  // namespace

extern "C" {

int orbFoldApiLevel(void) { return ORB_FOLD_API_LEVEL; }

float orbEaseInOut(float t) {
  t = Clamp01(t);
  if (t < 0.5f) return 4.0f * t * t * t;
  const float u = 2.0f - 2.0f * t;
  return 1.0f - u * u * u / 2.0f;
}

void orbFoldLayout(float progress, int width, int forward, OrbFoldLayout* out) {
  if (!out) return;
  if (width < 0) width = 0;
  const float radius = RadiusFor(width);
  out->width = width;
  out->forward = forward ? 1 : 0;
  out->radius = radius;
  // From the sheet's edge (nothing lifted) to one radius beyond its other
  // edge (the roll has left the picture).
  out->foldX = static_cast<float>(width) - Clamp01(progress) * (static_cast<float>(width) + radius);
}

void orbFoldColumn(const OrbFoldLayout* layout, int column, OrbFoldColumn* out) {
  if (!out) return;
  out->layer = ORB_LAYER_END;
  out->source = 0;
  out->shade = 1.0f;
  out->wash = 0.0f;
  if (!layout || layout->width <= 0) return;
  const int w = layout->width;
  if (column < 0) column = 0;
  if (column >= w) column = w - 1;
  // Work in the sheet's own direction; a reverse turn is the mirror image.
  const bool forward = layout->forward != 0;
  const int x = forward ? column : w - 1 - column;
  const float width = static_cast<float>(w);
  const float f = std::isfinite(layout->foldX) ? layout->foldX : width;
  const float r = layout->radius > 0.5f && std::isfinite(layout->radius) ? layout->radius : RadiusFor(w);
  const float xc = static_cast<float>(x) + 0.5f;

  auto show = [&](int layer, float sheetX, float shade, float wash) {
    float floored = std::floor(sheetX);
    int s = floored < 0.0f ? 0 : (floored >= width ? w - 1 : static_cast<int>(floored));
    out->layer = layer;
    out->source = forward ? s : w - 1 - s;
    out->shade = shade;
    out->wash = wash;
  };

  // The flap: paper that went over the cylinder lies face down, mirrored.
  if (xc <= f) {
    const float sheetX = 2.0f * f + kPi * r - xc;
    if (sheetX < width) return show(ORB_LAYER_FLAP_BACK, sheetX, 1.0f, kBackWash);
  }
  // Over the cylinder the back (rising over the top) hides the face.
  if (xc >= f && xc < f + r) {
    const float angle = std::asin((xc - f) / r);
    const float shade = kCurlDarkest + (1.0f - kCurlDarkest) * std::cos(angle);
    const float back = f + r * (kPi - angle);
    if (back < width) return show(ORB_LAYER_CURL_BACK, back, shade, kBackWash);
    const float front = f + r * angle;
    if (front < width) return show(ORB_LAYER_CURL_FRONT, front, shade, 0.0f);
  }
  if (xc < f) {
    // Still flat, perhaps in the shadow of the flap's far edge.
    float shade = 1.0f;
    const float flapEdge = 2.0f * f + kPi * r - width;
    if (f + kPi * r < width && xc < flapEdge)
      shade = 1.0f - kShadowDepth * kFlapShadowShare * Falloff((flapEdge - xc) / r);
    return show(ORB_LAYER_FRONT, xc, shade, 0.0f);
  }
  // Uncovered. The lifted sheet reaches to `extent` and throws its shadow
  // beyond; the shadow grows as the sheet lifts and fades as it leaves.
  const float lifted = width - f;
  const float extent = lifted >= kPi / 2.0f * r ? f + r : f + r * std::sin(lifted / r);
  const float strength = Clamp01(lifted / r) * Clamp01((f + r) / r);
  show(ORB_LAYER_END, xc, 1.0f - kShadowDepth * strength * Falloff((xc - extent) / r), 0.0f);
}

}  // extern "C"
