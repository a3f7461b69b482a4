#include "uninstall/shell_links.h"

#include <windows.h>
#include <shlobj.h>

#include "uninstall/install_dir.h"

namespace luma {

namespace {

template <typename T>
struct Released {
  T* p = nullptr;
  Released() = default;
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;
  ~Released() {
    if (p) p->Release();
  }
};

std::wstring LongPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : path;
}

}  // namespace

std::optional<std::wstring> LinkTarget(const std::wstring& linkPath) {
  Released<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link.p)))) {
    return std::nullopt;
  }
  Released<IPersistFile> file;
  if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)))) return std::nullopt;
  if (FAILED(file.p->Load(linkPath.c_str(), STGM_READ))) return std::nullopt;
  wchar_t target[MAX_PATH] = {};
  // The stored path as it is: resolving could search the disk for a target
  // that moved and answer with some other file.
  if (link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK || target[0] == L'\0') return std::nullopt;
  return std::wstring(target);
}

void RemoveLinksInto(const std::wstring& folder, const std::wstring& installDir, RemovalReport& report) {
  if (folder.empty() || installDir.empty()) return;
  std::wstring base = folder;
  if (base.back() != L'\\') base += L'\\';
  const std::wstring longInstallDir = LongPath(installDir);
  for (const std::wstring& name : FolderEntries(base)) {
    if (name.size() < 4 || !SamePath(name.substr(name.size() - 4), L".lnk")) continue;
    const std::wstring path = base + name;
    std::optional<std::wstring> target = LinkTarget(path);
    if (!target) continue;
    if (IsInside(*target, installDir) || IsInside(LongPath(*target), longInstallDir)) RemoveFile(path, report);
  }
}

}  // namespace luma
