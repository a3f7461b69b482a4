#include "platform/profile_section.h"

#include <cwctype>
#include <vector>

#include "common/wstr.h"

namespace zor {
namespace {

struct Entry {
  std::wstring name;
  bool hasValue = false;
  std::wstring value;
};

struct Section {
  std::wstring name;
  std::vector<Entry> entries;
};

// Windows-1252, the ANSI code page of the systems the files come from, for
// the bytes 0x80..0x9F; the rest of the 8-bit range is Latin-1. Bytes the code
// page leaves undefined map to the control character of the same number, as
// the system's conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Only a byte-order mark makes a file Unicode; anything else is 8-bit text in
// the ANSI code page, even when it happens to be valid UTF-8.
std::wstring Decode(const std::string& bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE)
    return FromUtf16Le(b + 2, (bytes.size() - 2) / 2);
  if (bytes.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<char16_t>((b[i] << 8) | b[i + 1]));
    return FromUtf16(units);
  }
  if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return FromUtf8(bytes.substr(3));
  std::wstring out;
  out.reserve(bytes.size());
  for (uint8_t c : bytes) out.push_back(c >= 0x80 && c < 0xA0 ? static_cast<wchar_t>(kCp1252High[c - 0x80]) : c);
  return out;
}

// Ctrl-Z counts as white space: old editors ended text files with it.
bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1A;
}

// Lines end at CR, LF or any run of them. Lines before the first header form
// a section without a name, which the empty section name finds.
std::vector<Section> Parse(const std::wstring& text) {
  std::vector<Section> sections(1);
  bool previousNameEmpty = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = pos;
    while (pos < text.size() && text[pos] != L'\n' && text[pos] != L'\r') ++pos;
    size_t end = pos;
    while (pos < text.size() && (text[pos] == L'\n' || text[pos] == L'\r')) ++pos;
    while (start < end && IsSpace(text[start])) ++start;
    while (end > start && IsSpace(text[end - 1])) --end;
    if (start >= end) continue;
    if (text[start] == L'[') {
      size_t close = text.rfind(L']', end - 1);
      if (close != std::wstring::npos && close > start) {
        size_t nameStart = start + 1, nameEnd = close;
        while (nameStart < nameEnd && IsSpace(text[nameStart])) ++nameStart;
        while (nameEnd > nameStart && IsSpace(text[nameEnd - 1])) --nameEnd;
        sections.push_back(Section{text.substr(nameStart, nameEnd - nameStart), {}});
        previousNameEmpty = false;
        continue;
      }
    }
    Entry e;
    size_t eq = text.find(L'=', start);
    if (eq != std::wstring::npos && eq < end) {
      size_t nameEnd = eq;
      while (nameEnd > start && IsSpace(text[nameEnd - 1])) --nameEnd;
      size_t valueStart = eq + 1;
      while (valueStart < end && IsSpace(text[valueStart])) ++valueStart;
      e.name = text.substr(start, nameEnd - start);
      e.hasValue = true;
      e.value = text.substr(valueStart, end - valueStart);
    } else {
      e.name = text.substr(start, end - start);
    }
    // The system keeps only the first of consecutive lines without a name
    // ("=value" lines).
    if (e.name.empty() && previousNameEmpty) continue;
    previousNameEmpty = e.name.empty();
    sections.back().entries.push_back(std::move(e));
  }
  return sections;
}

// Copies at most `room - 1` characters of `s` and a zero; returns the
// characters copied without the zero. Like the system, it stops at a zero
// character inside `s` (a file with zero bytes), so no stray line appears.
size_t CopyEntry(wchar_t* dst, const std::wstring& s, size_t room) {
  size_t n = 0;
  while (n < s.size() && n < room - 1 && s[n] != 0) {
    dst[n] = s[n];
    ++n;
  }
  dst[n] = 0;
  return n;
}

}  // namespace

size_t FormatProfileSection(const std::string& fileBytes, const std::wstring& section, wchar_t* buffer,
                            size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  if (capacity == 1) {
    buffer[0] = 0;
    return 0;
  }
  std::vector<Section> sections = Parse(Decode(fileBytes));
  for (size_t si = 0; si < sections.size(); ++si) {
    if (!EqualsNoCase(sections[si].name, section)) continue;
    size_t len = capacity;
    wchar_t* out = buffer;
    for (const Entry& e : sections[si].entries) {
      if (len <= 2) break;
      if (!e.hasValue && (e.name.empty() || e.name[0] == 0)) continue;  // nothing to show
      if (!e.name.empty() && e.name[0] == L';') continue;  // comment
      size_t n = CopyEntry(out, e.name, len - 1);
      len -= n + 1;
      out += n + 1;
      if (len < 2) break;
      if (e.hasValue) {
        out[-1] = L'=';
        n = CopyEntry(out, e.value, len - 1);
        len -= n + 1;
        out += n + 1;
      }
    }
    *out = 0;
    if (len <= 1) {
      out[-1] = 0;
      return capacity - 2;
    }
    return capacity - len;
  }
  buffer[0] = 0;
  if (capacity > 1) buffer[1] = 0;
  return 0;
}

}  // namespace zor
