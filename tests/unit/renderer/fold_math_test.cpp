// The page geometry: the turn starts on the untouched start picture, ends on
// the whole end picture, uncovers the end picture steadily in between, and
// never sends a column outside the pictures.
#include "renderer/d3dx9_35/fold_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<OrbFoldColumn> Columns(float progress, int width, int forward) {
  OrbFoldLayout layout;
  orbFoldLayout(progress, width, forward, &layout);
  std::vector<OrbFoldColumn> out(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) orbFoldColumn(&layout, x, &out[static_cast<size_t>(x)]);
  return out;
}

int CountLayer(const std::vector<OrbFoldColumn>& columns, int layer) {
  int n = 0;
  for (const OrbFoldColumn& c : columns) n += c.layer == layer;
  return n;
}

const int kWidths[] = {1, 2, 3, 17, 100, 497, 1600};

}  // namespace

TEST(FoldMath, EaseRunsFromZeroToOneWithoutGoingBack) {
  EXPECT_FLOAT_EQ(orbEaseInOut(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(orbEaseInOut(0.5f), 0.5f);
  EXPECT_FLOAT_EQ(orbEaseInOut(1.0f), 1.0f);
  EXPECT_FLOAT_EQ(orbEaseInOut(-3.0f), 0.0f);
  EXPECT_FLOAT_EQ(orbEaseInOut(7.0f), 1.0f);
  EXPECT_FLOAT_EQ(orbEaseInOut(std::numeric_limits<float>::quiet_NaN()), 0.0f);
  // Slow at both ends.
  EXPECT_LT(orbEaseInOut(0.1f), 0.1f);
  EXPECT_GT(orbEaseInOut(0.9f), 0.9f);
  float previous = 0.0f;
  for (int i = 1; i <= 1000; ++i) {
    float v = orbEaseInOut(static_cast<float>(i) / 1000.0f);
    ASSERT_GE(v, previous) << i;
    previous = v;
  }
}

TEST(FoldMath, StartsOnTheStartPictureAndEndsOnTheEndPicture) {
  for (int width : kWidths) {
    for (int forward : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "width " << width << " forward " << forward);
      for (float progress : {-1.0f, 0.0f}) {
        std::vector<OrbFoldColumn> c = Columns(progress, width, forward);
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(c[x].layer, ORB_LAYER_FRONT) << x;
          ASSERT_EQ(c[x].source, x);
          ASSERT_FLOAT_EQ(c[x].shade, 1.0f);
          ASSERT_FLOAT_EQ(c[x].wash, 0.0f);
        }
      }
      for (float progress : {1.0f, 2.0f}) {
        std::vector<OrbFoldColumn> c = Columns(progress, width, forward);
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(c[x].layer, ORB_LAYER_END) << x;
          ASSERT_EQ(c[x].source, x);
          ASSERT_FLOAT_EQ(c[x].shade, 1.0f);
        }
      }
    }
  }
}

TEST(FoldMath, UncoversTheEndPictureSteadilyFromTheLiftedEdge) {
  for (int width : kWidths) {
    SCOPED_TRACE(width);
    int uncovered = 0;
    int face = width;
    // Too narrow a sheet never gets past the roll to lie flat on top.
    bool sawCurl = width < 3;
    bool sawFlap = width < 17;
    for (int step = 0; step <= 400; ++step) {
      std::vector<OrbFoldColumn> c = Columns(static_cast<float>(step) / 400.0f, width, 1);
      const int end = CountLayer(c, ORB_LAYER_END);
      const int front = CountLayer(c, ORB_LAYER_FRONT) + CountLayer(c, ORB_LAYER_CURL_FRONT);
      ASSERT_GE(end, uncovered) << step;
      ASSERT_LE(front, face) << step;
      uncovered = end;
      face = front;
      // A forward turn lifts the right edge: the uncovered columns are a
      // block at the right.
      for (int x = width - end; x < width; ++x) {
        ASSERT_EQ(c[x].layer, ORB_LAYER_END) << step << " " << x;
      }
      sawCurl = sawCurl || CountLayer(c, ORB_LAYER_CURL_BACK) > 0;
      sawFlap = sawFlap || CountLayer(c, ORB_LAYER_FLAP_BACK) > 0;
    }
    EXPECT_TRUE(sawCurl);
    EXPECT_TRUE(sawFlap);
  }
}

TEST(FoldMath, EveryColumnStaysInsideThePictures) {
  for (int width : kWidths) {
    for (int forward : {0, 1}) {
      for (int step = 0; step <= 64; ++step) {
        std::vector<OrbFoldColumn> c = Columns(static_cast<float>(step) / 64.0f, width, forward);
        for (int x = 0; x < width; ++x) {
          const OrbFoldColumn& col = c[x];
          ASSERT_GE(col.source, 0);
          ASSERT_LT(col.source, width);
          ASSERT_GT(col.shade, 0.0f);
          ASSERT_LE(col.shade, 1.0f);
          ASSERT_GE(col.wash, 0.0f);
          ASSERT_LT(col.wash, 1.0f);
          // What has not moved is shown where it was.
          if (col.layer == ORB_LAYER_FRONT || col.layer == ORB_LAYER_END) {
            ASSERT_EQ(col.source, x);
          }
          // Only the back of the sheet is tinted as paper.
          bool back = col.layer == ORB_LAYER_CURL_BACK || col.layer == ORB_LAYER_FLAP_BACK;
          ASSERT_EQ(col.wash > 0.0f, back) << x;
        }
      }
    }
  }
}

TEST(FoldMath, AReverseTurnIsTheMirrorImage) {
  for (int width : {5, 64, 301}) {
    for (int step = 0; step <= 20; ++step) {
      const float progress = static_cast<float>(step) / 20.0f;
      std::vector<OrbFoldColumn> f = Columns(progress, width, 1);
      std::vector<OrbFoldColumn> r = Columns(progress, width, 0);
      for (int x = 0; x < width; ++x) {
        const OrbFoldColumn& m = r[width - 1 - x];
        ASSERT_EQ(m.layer, f[x].layer);
        ASSERT_EQ(m.source, width - 1 - f[x].source);
        ASSERT_FLOAT_EQ(m.shade, f[x].shade);
      }
    }
  }
}

TEST(FoldMath, DegenerateArgumentsGiveAUsableAnswer) {
  OrbFoldColumn c{};
  orbFoldColumn(nullptr, 0, &c);
  EXPECT_EQ(c.layer, ORB_LAYER_END);
  orbFoldColumn(nullptr, 0, nullptr);
  orbFoldLayout(0.5f, 10, 1, nullptr);

  OrbFoldLayout layout;
  orbFoldLayout(0.5f, -4, 1, &layout);
  EXPECT_EQ(layout.width, 0);
  orbFoldColumn(&layout, 0, &c);
  EXPECT_EQ(c.layer, ORB_LAYER_END);

  // Columns outside the picture are clamped to its edges.
  orbFoldLayout(0.0f, 10, 1, &layout);
  orbFoldColumn(&layout, -5, &c);
  EXPECT_EQ(c.source, 0);
  orbFoldColumn(&layout, 99, &c);
  EXPECT_EQ(c.source, 9);

  // A damaged layout still yields sources inside the picture.
  layout.foldX = std::numeric_limits<float>::infinity();
  layout.radius = std::numeric_limits<float>::quiet_NaN();
  for (int x = 0; x < 10; ++x) {
    orbFoldColumn(&layout, x, &c);
    EXPECT_GE(c.source, 0);
    EXPECT_LT(c.source, 10);
  }
}
