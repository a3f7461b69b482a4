#include "tools/printable.h"

#include "common/wstr.h"

namespace zor {
namespace {

bool NeedsEscape(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF) || c == 0x061C ||
         c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0x2028 || c == 0x2029;
}

}  // namespace

std::string Printable(std::wstring_view text) {
  std::string out;
  std::u16string units = ToUtf16(text);
  size_t start = 0;  // first unit not yet written
  auto flush = [&](size_t end) {
    if (end > start) out += ToUtf8(FromUtf16(units.data() + start, end - start));
  };
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    // A well-formed pair is an ordinary character above U+FFFF.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if (!NeedsEscape(c)) continue;
    flush(i);
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    start = i + 1;
  }
  flush(units.size());
  return out;
}

}  // namespace zor
