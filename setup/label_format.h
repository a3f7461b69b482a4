// How a transparent label draws its text: the DrawText format that matches
// the label's static-control style, so a label looks the same whether the
// system or the label itself draws it.
#pragma once

#include <cstdint>

namespace zor {

// DrawText format flags (the Win32 DT_* numbers) the labels use.
enum DrawTextFormat : uint32_t {
  kDtCenter = 0x1,
  kDtRight = 0x2,
  kDtVCenter = 0x4,
  kDtWordBreak = 0x10,
  kDtSingleLine = 0x20,
  kDtNoPrefix = 0x800,
  kDtPathEllipsis = 0x4000,
  kDtEndEllipsis = 0x8000,
  kDtWordEllipsis = 0x40000,
};

// Static-control style bits (SS_*) that matter to the format.
enum StaticStyle : uint32_t {
  kSsCenter = 0x1,
  kSsRight = 0x2,
  kSsNoPrefix = 0x80,
  kSsCenterImage = 0x200,
  kSsEndEllipsis = 0x4000,
  kSsPathEllipsis = 0x8000,
  kSsWordEllipsis = 0xC000,
  kSsEllipsisMask = 0xC000,
};

// Left and top unless the style says otherwise; centre-image draws one
// vertically centred line; text wraps at words unless the style asks for a
// single line, an ellipsis or no wrapping (0xC20C). The ellipsis bits are
// one two-bit field, so exactly one ellipsis format follows from them.
uint32_t TransparentLabelFormat(uint32_t style);

}  // namespace zor
