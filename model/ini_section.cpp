#include "model/ini_section.h"

#include <climits>
#include <new>
#include <vector>

#include "platform/host.h"

namespace zor {
namespace {
constexpr size_t kMaxKeyLength = 9;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }
}  // namespace

int IniKeyToId(const std::wstring& key) {
  size_t i = 0;
  while (i < key.size() && IsBlank(key[i])) ++i;
  bool negative = false;
  if (i < key.size() && (key[i] == L'+' || key[i] == L'-')) negative = key[i++] == L'-';
  long long value = 0;
  for (; i < key.size() && key[i] >= L'0' && key[i] <= L'9'; ++i) {
    value = value * 10 + (key[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

bool ForEachIniLine(const std::wstring& path, const std::wstring& section,
                    const std::function<void(int id, const std::wstring& value)>& line) {
  if (path.empty()) return false;
  Host& host = CurrentHost();
  int64_t size;
  {
    auto file = host.OpenFile(path, FileAccess::kRead, kShareRead, FileCreate::kOpenExisting);
    if (!file) return false;
    size = file->Size();
  }
  if (size < 0) return false;
  // Twice the file size in characters holds the whole section whatever the
  // file's encoding; two characters at least, for the closing zeros.
  uint64_t capacity = static_cast<uint64_t>(size) * 2;
  if (capacity < 2) capacity = 2;
  if (capacity > SIZE_MAX / sizeof(wchar_t)) return false;
  std::vector<wchar_t> buffer;
  try {
    buffer.resize(static_cast<size_t>(capacity));
  } catch (const std::bad_alloc&) {
    return false;
  }
  size_t used = host.ReadProfileSection(path, section, buffer.data(), buffer.size());
  if (used > buffer.size()) used = buffer.size();

  size_t pos = 0;
  while (pos < used && buffer[pos] != 0) {
    size_t end = pos;
    while (end < used && buffer[end] != 0) ++end;
    std::wstring text(buffer.data() + pos, end - pos);
    pos = end + 1;
    size_t eq = text.find(L'=');
    if (eq == std::wstring::npos || eq > kMaxKeyLength) continue;
    line(IniKeyToId(text.substr(0, eq)), text.substr(eq + 1));
  }
  return true;
}

}  // namespace zor
