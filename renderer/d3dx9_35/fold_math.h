// Geometry of the page turn: where the turning page lies at a moment of the
// animation and what each screen column of the picture shows. Plain
// arithmetic without any system call, so the same source builds into
// "d3dx9_35.dll" for the renderer and into a static library for tests.
//
// Model: the start picture is a sheet lying flat over the end picture. A
// cylinder of radius `radius` with its axis at screen column `foldX` lifts the
// sheet: paper left of the axis lies flat, paper right of it wraps around the
// cylinder and, after half a turn, lies face down on top of the flat part.
// The axis travels from the sheet's edge across it until the whole sheet has
// rolled off and only the end picture is left.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Bump when a structure or a meaning below changes; the renderer refuses a
// library of another level.
#define ORB_FOLD_API_LEVEL 1

typedef struct OrbFoldLayout {
  int width;      // of the picture, in pixels
  int forward;    // 1: the sheet lifts at its right edge and rolls to the left
  float foldX;    // the cylinder's axis, in the sheet's own direction
  float radius;
} OrbFoldLayout;

// What a screen column shows, from the top layer down.
enum OrbFoldLayer {
  ORB_LAYER_END = 0,        // the end picture, uncovered
  ORB_LAYER_FRONT = 1,      // the sheet's face, still flat
  ORB_LAYER_CURL_FRONT = 2, // the sheet's face, bending up around the cylinder
  ORB_LAYER_CURL_BACK = 3,  // the sheet's back, coming over the cylinder
  ORB_LAYER_FLAP_BACK = 4   // the sheet's back, lying flat on top
};

typedef struct OrbFoldColumn {
  int layer;     // an OrbFoldLayer
  int source;    // column of the start picture (sheet layers) or end picture
  float shade;   // brightness factor, 0 < shade <= 1
  float wash;    // share of plain paper colour over the picture, 0 <= wash < 1
} OrbFoldColumn;

int orbFoldApiLevel(void);

// Slow start, slow finish: maps 0..1 onto 0..1; values outside are clamped.
float orbEaseInOut(float t);

// The page at `progress` (0: untouched, 1: fully turned; clamped) for a
// picture `width` pixels wide. `forward` is 0 for a turn in the opposite
// direction (lifting at the left edge).
void orbFoldLayout(float progress, int width, int forward, OrbFoldLayout* out);

// The content of screen column `column` (0 .. width - 1; others are clamped).
void orbFoldColumn(const OrbFoldLayout* layout, int column, OrbFoldColumn* out);

#ifdef __cplusplus
}
#endif
