#include "engine/paths.h"

#include <chrono>

#include "common/wstr.h"

namespace zor {

bool IsPlainName(const std::wstring& name) {
  if (name.empty()) return false;
  bool onlyDotsAndSpaces = true;
  for (wchar_t c : name) {
    if (IsSeparator(c) || c == L':' || static_cast<uint32_t>(c) < 0x20) return false;
    if (c != L'.' && c != L' ') onlyDotsAndSpaces = false;
  }
  if (onlyDotsAndSpaces) return false;
  // Device names stay devices whatever folder or extension they are given.
  std::wstring base = AsciiLower(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  static const wchar_t* const kDevices[] = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
  for (const wchar_t* d : kDevices)
    if (base == d) return false;
  if (base.size() == 4 && (base.compare(0, 3, L"com") == 0 || base.compare(0, 3, L"lpt") == 0) && base[3] >= L'0' &&
      base[3] <= L'9')
    return false;
  return true;
}

std::vector<std::wstring> PathComponents(const std::wstring& path) {
  std::vector<std::wstring> parts;
  std::wstring current;
  for (wchar_t c : path) {
    if (IsSeparator(c)) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

bool IsWithinFolder(const std::wstring& folder, const std::wstring& path) {
  std::vector<std::wstring> base = PathComponents(folder);
  std::vector<std::wstring> full = PathComponents(path);
  if (base.empty() || full.size() < base.size()) return false;
  // An absolute folder only contains absolute paths, and the other way round.
  if (!folder.empty() && !path.empty() && IsSeparator(folder[0]) != IsSeparator(path[0])) return false;
  for (const std::wstring& part : full)
    if (part == L"." || part == L"..") return false;
  for (size_t i = 0; i < base.size(); ++i)
    if (!EqualsNoCase(base[i], full[i])) return false;
  return true;
}

std::wstring WithSeparator(const std::wstring& path) {
  if (!path.empty() && IsSeparator(path.back())) return path;
  return path + L"\\";
}

std::wstring FileNameOf(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

void CreateDirectoryChain(const std::wstring& path) {
  Host& host = CurrentHost();
  for (size_t i = 1; i < path.size(); ++i)
    if (IsSeparator(path[i])) host.CreateDirectory(path.substr(0, i));
  host.CreateDirectory(path);
}

std::unique_ptr<File> CreateUniqueFile(const std::wstring& folder, const std::wstring& prefix, std::wstring* path,
                                       long* error) {
  Host& host = CurrentHost();
  // Like the system, start from the clock so concurrent programs rarely
  // collide, and walk on through the 65,535 possible numbers.
  auto ticks = std::chrono::steady_clock::now().time_since_epoch();
  uint32_t start = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(ticks).count());
  long lastError = kErrAlreadyExists;
  for (uint32_t i = 0; i < 0xFFFF; ++i) {
    uint32_t unique = (start + i) % 0xFFFF + 1;
    std::wstring candidate = WithSeparator(folder) + prefix + ToHex(unique) + L".tmp";
    long e = 0;
    std::unique_ptr<File> file =
        host.OpenFile(candidate, FileAccess::kReadWrite, kShareRead | kShareWrite, FileCreate::kCreateNew, &e);
    if (file) {
      if (path) *path = candidate;
      if (error) *error = kErrSuccess;
      return file;
    }
    lastError = e;
    // Anything but a name in use means the folder itself refuses.
    if (!host.FileExists(candidate) && !host.DirectoryExists(candidate)) break;
  }
  if (error) *error = lastError;
  return nullptr;
}

}  // namespace zor
