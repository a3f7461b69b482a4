#include "engine/paths.h"

#include <chrono>

#include "common/name_case.h"
#include "common/wstr.h"

namespace zor {

namespace {

bool IsDeviceName(std::wstring_view name) {
  // Device names stay devices whatever folder or extension they are given,
  // and whatever spaces end them.
  std::wstring base = AsciiLower(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  static const wchar_t* const kDevices[] = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
  for (const wchar_t* d : kDevices)
    if (base == d) return true;
  if (base.size() != 4 || (base.compare(0, 3, L"com") != 0 && base.compare(0, 3, L"lpt") != 0)) return false;
  wchar_t n = base[3];
  // Windows counts the superscript digits one to three as digits here.
  return (n >= L'0' && n <= L'9') || n == 0xB9 || n == 0xB2 || n == 0xB3;
}

}  // namespace

std::string NameProblem(std::wstring_view name) {
  if (name.empty()) return "is empty";
  bool onlyDotsAndSpaces = true;
  for (wchar_t c : name) {
    if (IsSeparator(c)) return "contains a path separator";
    if (static_cast<uint32_t>(c) < 0x20) return "contains a control character";
    if (std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos)
      return std::string("contains the character ") + static_cast<char>(c) + ", which Windows refuses in names";
    if (c != L'.' && c != L' ') onlyDotsAndSpaces = false;
  }
  if (onlyDotsAndSpaces) return "is made of dots and spaces alone, so it names no entry of its own";
  if (name.back() == L'.' || name.back() == L' ')
    return "ends in a dot or a space, which Windows drops, so it would name another entry";
  if (IsDeviceName(name)) return "is a device name, which Windows opens instead of a file";
  return std::string();
}

std::wstring NameKey(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return UpcaseName(name);
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
    if (NameKey(base[i]) != NameKey(full[i])) return false;
  return true;
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
