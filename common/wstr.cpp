#include "common/wstr.h"

namespace zor {

std::u16string ToUtf16(std::wstring_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (wchar_t wc : s) {
    uint32_t c = static_cast<uint32_t>(wc);
    if (sizeof(wchar_t) > 2 && c > 0xFFFF && c <= 0x10FFFF) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c & 0xFFFF));
    }
  }
  return out;
}

std::wstring FromUtf16(const char16_t* units, size_t count) {
  std::wstring out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = units[i];
    if (sizeof(wchar_t) > 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < count &&
        units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

std::wstring FromUtf16Le(const uint8_t* bytes, size_t count) {
  std::u16string units(count, u'\0');
  for (size_t i = 0; i < count; ++i)
    units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return FromUtf16(units);
}

void AppendUtf16Le(std::string& out, std::wstring_view s) {
  for (char16_t u : ToUtf16(s)) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
}

std::string ToUtf8(std::wstring_view s) {
  std::u16string u = ToUtf16(s);
  std::string out;
  out.reserve(u.size());
  for (size_t i = 0; i < u.size(); ++i) {
    uint32_t c = u[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::wstring FromUtf8(std::string_view s) {
  std::u16string u;
  u.reserve(s.size());
  size_t i = 0;
  auto cont = [&](size_t k) { return k < s.size() && (static_cast<uint8_t>(s[k]) & 0xC0) == 0x80; };
  while (i < s.size()) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    uint32_t c = 0xFFFD;
    size_t len = 1;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0 && cont(i + 1)) {
      c = ((b & 0x1F) << 6) | (s[i + 1] & 0x3F);
      len = 2;
      if (c < 0x80) c = 0xFFFD;
    } else if ((b & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
      c = ((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
      len = 3;
      if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    } else if ((b & 0xF8) == 0xF0 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      c = ((b & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
      len = 4;
      if (c < 0x10000 || c > 0x10FFFF) c = 0xFFFD;
    }
    i += len;
    if (c >= 0x10000) {
      c -= 0x10000;
      u.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      u.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      u.push_back(static_cast<char16_t>(c));
    }
  }
  return FromUtf16(u);
}

std::wstring ToWString(long long value) {
  std::string s = std::to_string(value);
  return std::wstring(s.begin(), s.end());
}

std::wstring ToHex(uint32_t value, int minDigits) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(out.size()) < minDigits) out.insert(out.begin(), L'0');
  return out;
}

std::wstring AsciiLower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

}  // namespace zor
