#include "setup/label_format.h"

namespace zor {

uint32_t TransparentLabelFormat(uint32_t style) {
  uint32_t format = 0;
  if (style & kSsRight) format |= kDtRight;
  if (style & kSsCenter) format |= kDtCenter;
  if (style & kSsCenterImage) format |= kDtVCenter | kDtSingleLine;
  if (style & kSsNoPrefix) format |= kDtNoPrefix;
  switch (style & kSsEllipsisMask) {
    case kSsWordEllipsis: format |= kDtWordEllipsis; break;
    case kSsEndEllipsis: format |= kDtEndEllipsis; break;
    case kSsPathEllipsis: format |= kDtPathEllipsis; break;
    default: break;
  }
  if ((style & 0xC20C) == 0) format |= kDtWordBreak;
  return format;
}

}  // namespace zor
