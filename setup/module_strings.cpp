#include "setup/module_strings.h"

#include <string>

#include "common/wstr.h"

namespace zor {

const wchar_t kStringTableType[] = L"#6";

std::wstring CModuleStrings::GetString(uint32_t id) {
  if (id > 0xFFFF) return std::wstring();
  std::string block;
  if (!CurrentHost().ReadResource(m_module, kStringTableType, id / 16 + 1, &block)) return std::wstring();
  const auto* p = reinterpret_cast<const uint8_t*>(block.data());
  size_t size = block.size(), pos = 0;
  for (uint32_t index = 0;; ++index) {
    if (pos + 2 > size) return std::wstring();
    size_t length = static_cast<size_t>(p[pos] | p[pos + 1] << 8);
    pos += 2;
    if (length * 2 > size - pos) return std::wstring();
    if (index == id % 16) return FromUtf16Le(p + pos, length);
    pos += length * 2;
  }
}

}  // namespace zor
