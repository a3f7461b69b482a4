#include "common/windows_1252.h"

#include <cstdint>

namespace zor {
namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

wchar_t Decode(unsigned char b) {
  return static_cast<wchar_t>(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : b);
}

}  // namespace

std::wstring Windows1252ToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(Decode(static_cast<unsigned char>(c)));
  return out;
}

bool WideToWindows1252(wchar_t c, char* byte) {
  const uint32_t u = static_cast<uint32_t>(c);
  if (u <= 0xFF && (u < 0x80 || u > 0x9F || Decode(static_cast<unsigned char>(u)) == c)) {
    *byte = static_cast<char>(u);
    return true;
  }
  for (unsigned b = 0x80; b <= 0x9F; ++b)
    if (kHigh[b - 0x80] == u) {
      *byte = static_cast<char>(b);
      return true;
    }
  return false;
}

}  // namespace zor
