#include "setup/install_folder_check.h"

#include "platform/host.h"

namespace zor {

namespace {
bool CreateOne(Host& host, const std::wstring& folder) {
  long error = kErrSuccess;
  if (host.CreateDirectory(folder, &error)) return true;
  return error == kErrAlreadyExists || error == kErrAccessDenied;
}
}  // namespace

bool CreateFolderChain(const std::wstring& requested) {
  std::wstring path = requested;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (path.empty() || path.back() != L'\\') path += L'\\';
  size_t i = path.find(L'\\');
  if (i == std::wstring::npos) return true;
  Host& host = CurrentHost();
  if (!CreateOne(host, path.substr(0, i))) return false;
  for (; i != std::wstring::npos; i = path.find(L'\\', i + 1))
    if (!CreateOne(host, path.substr(0, i + 1))) return false;
  return true;
}

std::wstring FolderToCreate(const std::wstring& folder) {
  std::wstring copy = folder;
  if (copy.empty() || copy.back() != L'\\') copy += L'\\';
  if (copy.find(L"Lumaglimpse") == std::wstring::npos) copy += L"Lumaglimpse";
  return copy;
}

bool AcceptInstallFolder(const std::wstring& folder) {
  if (folder.size() <= 2) return false;
  return CreateFolderChain(FolderToCreate(folder));
}

}  // namespace zor
