// Helper of the product's Wine tests: does by hand what the setup would do
// for the parts a shell script cannot (shell folders, shortcuts).
//
//   lumaglimpse_testkit folder <csidl>                       print the folder
//   lumaglimpse_testkit link <csidl> <link> <target> [<dir>]  create a shortcut;
//       <link> is relative to the folder and may name one missing subfolder
//   lumaglimpse_testkit target <link path>                  print where it points
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
  if (slash != std::wstring::npos) CreateDirectoryW(linkPath.substr(0, slash).c_str(), nullptr);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return Fail(L"no COM");
  std::wstring command = argc > 1 ? argv[1] : L"";
  int result = 2;
  if (command == L"folder" && argc == 3) {
    std::wstring folder = ShellFolder(_wtoi(argv[2]));
    result = folder.empty() ? Fail(L"no such folder") : (luma::WriteStd(STD_OUTPUT_HANDLE, folder + L"\n"), 0);
  } else if (command == L"link" && (argc == 5 || argc == 6)) {
    std::wstring base = ShellFolder(_wtoi(argv[2]));
    result = base.empty() ? Fail(L"no such folder")
                          : CreateLink(base + L"\\" + argv[3], argv[4], argc == 6 ? argv[5] : nullptr);
  } else if (command == L"target" && argc == 3) {
    result = PrintTarget(argv[2]);
  } else {
    result = Fail(L"usage: folder <csidl> | link <csidl> <link> <target> [<dir>] | target <link>");
  }
  CoUninitialize();
  return result;
}
