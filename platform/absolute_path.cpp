#include "platform/absolute_path.h"

#include <vector>

#include "platform/host.h"

namespace zor {
namespace {

bool HasDrive(const std::wstring& p) {
  return p.size() >= 2 && p[1] == L':' && ((p[0] >= L'a' && p[0] <= L'z') || (p[0] >= L'A' && p[0] <= L'Z'));
}

// The length of the root of an absolute path ("C:\", "\\server\share\",
// "/"), 0 when the path is not absolute.
size_t RootLength(const std::wstring& p) {
  if (HasDrive(p)) return p.size() >= 3 && IsSeparator(p[2]) ? 3 : 0;
  if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
    size_t server = p.find_first_of(L"\\/", 2);
    if (server == std::wstring::npos) return p.size();
    size_t share = p.find_first_of(L"\\/", server + 1);
    return share == std::wstring::npos ? p.size() : share + 1;
  }
  return !p.empty() && IsSeparator(p[0]) ? 1 : 0;
}

}  // namespace

std::wstring WithSeparator(const std::wstring& path) {
  return !path.empty() && IsSeparator(path.back()) ? path : path + L"\\";
}

std::wstring AbsolutePath(const std::wstring& path, const std::wstring& current) {
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
      IsSeparator(path[3]))
    return path;
  std::wstring full;
  if (RootLength(path) > 1) {
    full = path;
  } else {
    size_t currentRoot = RootLength(current);
    if (currentRoot == 0) return std::wstring();
    if (HasDrive(path)) {
      // "D:x" goes on from the current folder of drive D, which is only
      // known when that is the drive we are on.
      bool sameDrive = HasDrive(current) && (path[0] | 0x20) == (current[0] | 0x20);
      full = (sameDrive ? WithSeparator(current) : path.substr(0, 2) + L"\\") + path.substr(2);
    } else if (!path.empty() && IsSeparator(path[0])) {
      full = current.substr(0, currentRoot) + path.substr(1);
    } else {
      full = WithSeparator(current) + path;
    }
  }
  size_t rootLength = RootLength(full);
  std::wstring root = full.substr(0, rootLength);
  const wchar_t separator = root == L"/" ? L'/' : L'\\';
  for (wchar_t& c : root)
    if (IsSeparator(c)) c = separator;
  if (root.back() != separator) root += separator;  // "\\server\share" alone
  std::vector<std::wstring> parts;
  std::wstring part;
  auto take = [&] {
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (size_t i = rootLength; i < full.size(); ++i) {
    if (IsSeparator(full[i]))
      take();
    else
      part.push_back(full[i]);
  }
  take();
  std::wstring out = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!out.empty() && out.back() != separator) out += separator;
    out += parts[i];
  }
  return out;
}

std::wstring AbsolutePath(const std::wstring& path) { return AbsolutePath(path, CurrentHost().CurrentFolder()); }

std::wstring AbsoluteOrAsGiven(const std::wstring& path) {
  std::wstring absolute = AbsolutePath(path);
  return absolute.empty() ? path : absolute;
}

}  // namespace zor
