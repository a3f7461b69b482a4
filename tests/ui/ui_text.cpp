#include "tests/ui/ui_text.h"

#include <windows.h>

namespace zor::ui_check {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

namespace {

// Calls f(key) for each mnemonic of text.
template <typename F>
void ForEachMnemonic(const std::wstring& text, F f) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    f(text[i + 1]);
  }
}

}  // namespace

int CountMnemonics(const std::wstring& text) {
  int n = 0;
  ForEachMnemonic(text, [&](wchar_t) { ++n; });
  return n;
}

wchar_t MnemonicKey(const std::wstring& text) {
  wchar_t key = 0;
  ForEachMnemonic(text, [&](wchar_t c) {
    if (key == 0) key = c;
  });
  if (key == 0) return 0;
  return static_cast<wchar_t>(reinterpret_cast<uintptr_t>(CharLowerW(reinterpret_cast<wchar_t*>(static_cast<uintptr_t>(key)))));
}

}  // namespace zor::ui_check
