// Helper of the product's Wine tests: does by hand what the setup would do
// for the parts a shell script cannot (shell folders, shortcuts).
//
// Each Wine start costs seconds, so every command takes many items at once.
//
//   lumaglimpse_testkit folders <csidl>...       print each shell folder, one a line
//   lumaglimpse_testkit link {<csidl> <link> <target> <dir>}...
//       create shortcuts; <link> is relative to the shell folder (missing
//       folders on the way are made), <dir> is the working folder or ""
//   lumaglimpse_testkit target <link path>       print where a shortcut points
//   lumaglimpse_testkit keys {32|64 <HKLM subkey>}...
//       print "present <view> <subkey>" for each key that exists
//   lumaglimpse_testkit delete-keys {32|64 <HKLM subkey>}...
//       delete each key with everything below it
//
// The registry commands use the system calls directly, not the product's
// helpers, so that they check the product instead of repeating it.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "common/std_stream.h"

namespace {

int Fail(const std::wstring& text) {
  luma::WriteStd(STD_ERROR_HANDLE, L"testkit: " + text + L"\n");
  return 2;
}

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

int CreateLink(const std::wstring& linkPath, const std::wstring& target, const wchar_t* workDir) {
  size_t slash = linkPath.find_last_of(L'\\');
  if (slash != std::wstring::npos) SHCreateDirectoryExW(nullptr, linkPath.substr(0, slash).c_str(), nullptr);
  IShellLinkW* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) return Fail(L"no shell link object");
  IPersistFile* file = nullptr;
  hr = link->SetPath(target.c_str());
  if (SUCCEEDED(hr) && workDir != nullptr) hr = link->SetWorkingDirectory(workDir);
  if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Save(linkPath.c_str(), FALSE);
  if (file) file->Release();
  link->Release();
  return SUCCEEDED(hr) ? 0 : Fail(L"could not save " + linkPath);
}

int PrintTarget(const std::wstring& linkPath) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return Fail(L"no shell link object");
  }
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {};
  HRESULT hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Load(linkPath.c_str(), STGM_READ);
  if (SUCCEEDED(hr)) hr = link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  if (file) file->Release();
  link->Release();
  if (hr != S_OK) return Fail(L"cannot read " + linkPath);
  luma::WriteStd(STD_OUTPUT_HANDLE, std::wstring(target) + L"\n");
  return 0;
}

REGSAM View(const wchar_t* text) { return std::wstring(text) == L"32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

int Keys(int argc, wchar_t** argv, bool remove) {
  if (argc % 2 != 0) return Fail(L"keys need pairs of view and subkey");
  int result = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    const REGSAM view = View(argv[i]);
    const std::wstring path = argv[i + 1];
    if (!remove) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        luma::WriteStd(STD_OUTPUT_HANDLE, std::wstring(L"present ") + argv[i] + L" " + path + L"\n");
      }
      continue;
    }
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
      result = Fail(L"will not delete a top-level key: " + path);
      continue;
    }
    HKEY parent = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, &parent);
    if (rc == ERROR_SUCCESS) {
      rc = RegDeleteTreeW(parent, path.substr(slash + 1).c_str());
      RegCloseKey(parent);
    }
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) result = Fail(L"cannot delete " + path);
  }
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return Fail(L"no COM");
  std::wstring command = argc > 1 ? argv[1] : L"";
  int result = 2;
  if (command == L"folders" && argc >= 3) {
    result = 0;
    for (int i = 2; i < argc && result == 0; ++i) {
      std::wstring folder = ShellFolder(_wtoi(argv[i]));
      result = folder.empty() ? Fail(L"no such folder") : (luma::WriteStd(STD_OUTPUT_HANDLE, folder + L"\n"), 0);
    }
  } else if (command == L"link" && argc >= 6 && (argc - 2) % 4 == 0) {
    result = 0;
    for (int i = 2; i + 3 < argc; i += 4) {
      std::wstring base = ShellFolder(_wtoi(argv[i]));
      int one = base.empty() ? Fail(L"no such folder")
                             : CreateLink(base + L"\\" + argv[i + 1], argv[i + 2], argv[i + 3][0] ? argv[i + 3] : nullptr);
      if (one != 0) result = one;
    }
  } else if (command == L"target" && argc == 3) {
    result = PrintTarget(argv[2]);
  } else if (command == L"keys" || command == L"delete-keys") {
    result = Keys(argc, argv, command == L"delete-keys");
  } else {
    result = Fail(L"unknown command or wrong arguments; see the head of testkit.cpp");
  }
  CoUninitialize();
  return result;
}
