#include "uninstall/install_dir.h"

#include <windows.h>
#include <shlobj.h>

#include "common/product_names.h"
#include "common/registry.h"

namespace luma {

namespace {

bool EqualNoCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
  return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

std::wstring FileName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<std::wstring> NormalizeFolder(const std::wstring& raw) {
  std::wstring path = raw;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  size_t rootLength = 0;
  if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
      path[1] == L':' && path[2] == L'\\') {
    rootLength = 3;
  } else if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\') {
    // \\server\share\ is the root of a share; both parts must be present.
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos || server == 2) return std::nullopt;
    size_t share = path.find(L'\\', server + 1);
    if (share == server + 1) return std::nullopt;
    rootLength = share == std::wstring::npos ? path.size() : share + 1;
    if (path.compare(2, 2, L"?\\") == 0 || path.compare(2, 2, L".\\") == 0) return std::nullopt;
  } else {
    return std::nullopt;
  }
  std::wstring result = path.substr(0, rootLength);
  if (result.back() != L'\\') result += L'\\';
  size_t start = rootLength;
  while (start < path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;  // doubled separators
    if (part == L"." || part == L"..") return std::nullopt;
    if (part.find_first_of(L"*?\"<>|:") != std::wstring::npos) return std::nullopt;
    for (wchar_t c : part) {
      if (c < 32) return std::nullopt;
    }
    // The file system drops trailing dots and blanks, so "Lumaglimpse." would
    // name another folder than it reads.
    if (part.back() == L'.' || part.back() == L' ') return std::nullopt;
    result += part;
    result += L'\\';
  }
  return result;
}

bool IsInside(const std::wstring& path, const std::wstring& folder) {
  if (folder.empty() || path.size() <= folder.size()) return false;
  return EqualNoCase(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                     static_cast<int>(folder.size()));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return EqualNoCase(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()));
}

std::wstring WhyNotInstallDir(const std::wstring& dir, const std::vector<std::wstring>& protectedFolders) {
  std::optional<std::wstring> normal = NormalizeFolder(dir);
  if (!normal || *normal != dir) return L"it is not a complete folder path";
  // A root has exactly the separators of its prefix.
  size_t separators = 0;
  for (wchar_t c : dir) separators += c == L'\\' ? 1 : 0;
  const bool unc = dir.size() > 1 && dir[1] == L'\\';
  if (separators <= (unc ? 4u : 1u)) return L"it is the root of a drive or share";
  for (const std::wstring& guarded : protectedFolders) {
    if (SamePath(dir, guarded)) return L"it is a folder of the system (" + guarded + L")";
    if (IsInside(guarded, dir)) return L"it holds a folder of the system (" + guarded + L")";
  }
  return {};
}

std::vector<std::wstring> ProtectedFolders() {
  std::vector<std::wstring> folders;
  auto add = [&folders](const std::wstring& raw) {
    if (raw.empty()) return;
    if (std::optional<std::wstring> normal = NormalizeFolder(raw)) folders.push_back(*normal);
  };
  wchar_t buffer[MAX_PATH];
  if (GetWindowsDirectoryW(buffer, MAX_PATH)) add(buffer);
  if (GetSystemWindowsDirectoryW(buffer, MAX_PATH)) add(buffer);
  if (GetSystemDirectoryW(buffer, MAX_PATH)) add(buffer);
  if (GetSystemWow64DirectoryW(buffer, MAX_PATH)) add(buffer);
  const int csidls[] = {CSIDL_PROGRAM_FILES,     CSIDL_PROGRAM_FILESX86,  CSIDL_PROGRAM_FILES_COMMON,
                        CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA, CSIDL_APPDATA,
                        CSIDL_LOCAL_APPDATA,     CSIDL_PROFILE,           CSIDL_COMMON_DOCUMENTS,
                        CSIDL_PERSONAL,          CSIDL_DESKTOPDIRECTORY,  CSIDL_COMMON_DESKTOPDIRECTORY,
                        CSIDL_PROGRAMS,          CSIDL_COMMON_PROGRAMS,   CSIDL_STARTMENU,
                        CSIDL_COMMON_STARTMENU,  CSIDL_FONTS};
  for (int csidl : csidls) {
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) add(buffer);
  }
  DWORD length = GetTempPathW(MAX_PATH, buffer);
  if (length > 0 && length < MAX_PATH) add(buffer);
  return folders;
}

InstallDirChoice FindInstallDir(const std::wstring& ownPath) {
  InstallDirChoice choice;
  const REGSAM views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
  for (REGSAM view : views) {
    std::optional<std::wstring> value = ReadRegString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir", view);
    if (!value || value->empty()) continue;
    choice.source = L"the product key";
    choice.raw = *value;
    if (std::optional<std::wstring> normal = NormalizeFolder(*value)) choice.dir = *normal;
    return choice;
  }
  // Without the product key, the uninstaller's own folder counts only while
  // the program lies beside it: a copy of Uninstall.exe elsewhere (a
  // download folder, say) must not remove files that merely share our names.
  const std::wstring folder = ownPath.substr(0, ownPath.size() - FileName(ownPath).size());
  const DWORD program = GetFileAttributesW((folder + kProgramFile).c_str());
  if (SamePath(FileName(ownPath), kUninstallerFile) && program != INVALID_FILE_ATTRIBUTES &&
      !(program & FILE_ATTRIBUTE_DIRECTORY)) {
    choice.source = L"the uninstaller's own folder";
    choice.raw = folder;
    if (std::optional<std::wstring> normal = NormalizeFolder(folder)) choice.dir = *normal;
  }
  return choice;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileInformationByHandle(file, info) != FALSE;
    CloseHandle(file);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION first = {};
  BY_HANDLE_FILE_INFORMATION second = {};
  if (!identify(a, &first) || !identify(b, &second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::wstring ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace luma
