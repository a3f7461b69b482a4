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
  return FromUtf8(bytes);
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

std::vector<Section> Parse(const std::wstring& text) {
  std::vector<Section> sections(1);  // lines before the first header
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find(L'\n', pos);
    if (eol == std::wstring::npos) eol = text.size();
    size_t start = pos, end = eol;
    pos = eol + 1;
    while (start < end && IsSpace(text[start])) ++start;
    while (end > start && IsSpace(text[end - 1])) --end;
    if (start >= end) continue;
    if (text[start] == L'[') {
      size_t close = text.rfind(L']', end - 1);
      if (close != std::wstring::npos && close > start) {
        sections.push_back(Section{text.substr(start + 1, close - start - 1), {}});
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
    sections.back().entries.push_back(std::move(e));
  }
  return sections;
}

// Copies at most `room - 1` characters of `s` and a zero; returns the
// characters copied without the zero.
size_t CopyEntry(wchar_t* dst, const std::wstring& s, size_t room) {
  size_t n = s.size() < room - 1 ? s.size() : room - 1;
  for (size_t i = 0; i < n; ++i) dst[i] = s[i];
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
  for (size_t si = 1; si < sections.size(); ++si) {
    if (!EqualsNoCase(sections[si].name, section)) continue;
    size_t len = capacity;
    wchar_t* out = buffer;
    for (const Entry& e : sections[si].entries) {
      if (len <= 2) break;
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
