#include "platform/host.h"

namespace zor {
namespace {
Host* g_current = nullptr;
}

Host& CurrentHost() { return g_current ? *g_current : PlatformHost(); }

Host* SetCurrentHost(Host* host) {
  Host* previous = g_current;
  g_current = host;
  return previous;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring ModuleFolder() { return FolderOf(CurrentHost().ModulePath()); }

}  // namespace zor
