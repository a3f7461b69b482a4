#include "setup/label_format.h"

#include <gtest/gtest.h>

namespace {

using namespace zor;

TEST(TransparentLabelFormat, StyleBitsGiveTheMatchingDrawFormat) {
  struct Case {
    uint32_t style;
    uint32_t format;
    const char* what;
  } cases[] = {
      {0x0, kDtWordBreak, "plain left label wraps"},
      {kSsCenter, kDtCenter | kDtWordBreak, "centred"},
      {kSsRight, kDtRight | kDtWordBreak, "right"},
      {kSsCenterImage, kDtVCenter | kDtSingleLine, "centre image: one vertically centred line"},
      {kSsCenter | kSsCenterImage, kDtCenter | kDtVCenter | kDtSingleLine, "centred both ways"},
      {kSsNoPrefix, kDtNoPrefix | kDtWordBreak, "no prefix"},
      {kSsEndEllipsis, kDtEndEllipsis, "end ellipsis, no wrapping"},
      {kSsPathEllipsis, kDtPathEllipsis, "path ellipsis"},
      {kSsWordEllipsis, kDtWordEllipsis, "word ellipsis alone"},
      {0xC, 0, "left, no word wrap"},
      // Window styles in the high word change nothing.
      {0x50000000u | kSsRight | kSsNoPrefix, kDtRight | kDtNoPrefix | kDtWordBreak, "with WS_CHILD | WS_VISIBLE"},
  };
  for (const Case& c : cases) EXPECT_EQ(TransparentLabelFormat(c.style), c.format) << c.what;
}

}  // namespace
