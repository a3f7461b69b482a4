#include "uninstall/uninstaller.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "common/product_names.h"
#include "common/registry.h"
#include "common/std_stream.h"
#include "uninstall/install_dir.h"
#include "uninstall/package_files.h"
#include "uninstall/self_removal.h"
#include "uninstall/shell_links.h"

namespace luma {

namespace {

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

std::wstring ParentOf(const std::wstring& relative) {
  size_t slash = relative.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

// regsvr32 of our own bitness starts the other one itself when the library
// does not match.
bool UnregisterWithRegsvr32(const std::wstring& component) {
  const std::wstring regsvr32 = SystemFolder() + L"\\regsvr32.exe";
  std::wstring commandLine = L"\"" + regsvr32 + L"\" /u /s \"" + component + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(regsvr32.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  DWORD exitCode = 1;
  bool finished = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return finished && exitCode == 0;
}

// The component's own DllUnregisterServer gives a direct answer; loading it
// here only fails when it does not match our bitness.
void RemoveComponent(RemovalReport& report) {
  const std::wstring component = SystemFolder() + L"\\" + kComponentFile;
  if (!FileExists(component)) return;
  bool unregistered = false;
  HMODULE module = LoadLibraryExW(component.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module != nullptr) {
    using UnregisterFn = HRESULT(STDAPICALLTYPE*)();
    auto unregister =
        reinterpret_cast<UnregisterFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
    unregistered = unregister != nullptr && SUCCEEDED(unregister());
    FreeLibrary(module);
  } else {
    unregistered = UnregisterWithRegsvr32(component);
  }
  if (!unregistered) {
    // Deleting the file would leave its class registered with nothing behind
    // it; keeping both lets a second run try again.
    report.Failed(component, L"its COM registration could not be removed");
    return;
  }
  RemoveFile(component, report);
}

void RemoveShortcuts(const std::wstring& installDir, RemovalReport& report) {
  const std::wstring programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
  if (!programs.empty()) {
    const std::wstring menu = programs + L"\\" + kStartMenuFolder;
    RemoveLinksInto(menu, installDir, report);
    RemoveFolderIfEmpty(menu, report, true);
  }
  RemoveLinksInto(ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), installDir, report);
  // Only the current user's quick-launch bar is within reach; the setup put
  // the link into the profile of the user who ran it.
  const std::wstring appData = ShellFolder(CSIDL_APPDATA);
  if (!appData.empty()) RemoveLinksInto(appData + L"\\" + kQuickLaunchFolder, installDir, report);
}

// The setup copies the driver to the native system folder; an older 32-bit
// setup on a 64-bit system may have put it in the 32-bit one. Both names are
// ours, so both places are cleaned, with redirection off so that the paths
// mean what they say.
void RemoveDriver(RemovalReport& report) {
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  using RevertFn = BOOL(WINAPI*)(PVOID);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto disable = reinterpret_cast<DisableFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
  auto revert = reinterpret_cast<RevertFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
  PVOID state = nullptr;
  bool disabled = disable != nullptr && revert != nullptr && disable(&state);

  std::vector<std::wstring> folders = {SystemFolder()};
  wchar_t wow64[MAX_PATH] = {};
  UINT length = GetSystemWow64DirectoryW(wow64, MAX_PATH);
  if (length > 0 && length < MAX_PATH) folders.emplace_back(wow64, length);
  for (const std::wstring& folder : folders) {
    if (!folder.empty()) RemoveFile(folder + L"\\" + kDriverFile, report);
  }
  if (disabled) revert(state);
}

// Another program may have put its own copy of a shared runtime file in the
// Windows folder since; only the copy identical to ours goes.
void RemoveRuntimeFiles(const std::wstring& installDir, RemovalReport& report) {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring windows(buffer, length);
  for (const PackageFile& file : kPackageFiles) {
    if (!file.copiedToWindows) continue;
    const std::wstring copy = windows + L"\\" + file.path;
    if (!FileExists(copy)) continue;
    std::optional<bool> equal = FilesEqual(copy, installDir + file.path);
    if (!equal) {
      report.Kept(copy, L"Lumaglimpse's own copy is gone, so it cannot tell whether this one is its copy");
    } else if (!*equal) {
      report.Kept(copy, L"it differs from the copy Lumaglimpse installed; another program may use it");
    } else {
      RemoveFile(copy, report);
    }
  }
}

void RemoveSettings(RemovalReport& report) {
  const std::wstring data = ShellFolder(CSIDL_COMMON_APPDATA);
  if (data.empty()) return;
  const std::wstring folder = data + L"\\" + kSettingsFolder;
  RemoveFile(folder + L"\\" + kSettingsFile, report);
  RemoveFolderIfEmpty(folder, report, true);
}

void RemoveInstalledFiles(const UninstallTarget& target, RemovalReport& report) {
  std::vector<std::wstring> folders;
  for (const PackageFile& file : kPackageFiles) {
    if (file.place != PackagePlace::installFolder) continue;
    const std::wstring path = target.installDir + file.path;
    if (!SameFile(path, target.ownPath)) RemoveFile(path, report);
    for (std::wstring parent = ParentOf(file.path); !parent.empty(); parent = ParentOf(parent)) {
      folders.push_back(parent);
    }
  }
  // Deepest first, so that a folder is empty by the time it is tried.
  std::sort(folders.begin(), folders.end(),
            [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const std::wstring& folder : folders) RemoveFolderIfEmpty(target.installDir + folder, report, true);
}

void RemoveKey(const std::wstring& path, REGSAM view, RemovalReport& report) {
  LONG rc = DeleteRegTree(HKEY_LOCAL_MACHINE, path, view);
  if (rc != ERROR_SUCCESS) {
    report.FailedWithError(L"the registry key HKLM\\" + path, static_cast<DWORD>(rc));
  }
}

// The setup writes the product entries to the 32-bit view; a key of ours
// found in the 64-bit view (from a 64-bit setup) goes as well.
void RemoveProductKeys(RemovalReport& report) {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    RemoveKey(kUninstallKey, view, report);
    RemoveKey(kProductKey, view, report);
    if (RegKeyIsEmpty(HKEY_LOCAL_MACHINE, kVendorKey, view)) RemoveKey(kVendorKey, view, report);
  }
}

void RemoveInstallFolder(const UninstallTarget& target, RemovalReport& report) {
  const std::wstring& dir = target.installDir;
  const bool selfInside = SameFile(dir + kUninstallerFile, target.ownPath);
  if (!selfInside) {
    RemoveFolderIfEmpty(dir, report, true);
    std::wstring vendor = VendorFolderOf(dir);
    if (!vendor.empty()) RemoveFolderIfEmpty(vendor, report, false);
    return;
  }
  std::vector<std::wstring> others;
  for (const std::wstring& name : FolderEntries(dir)) {
    if (!SamePath(name, kUninstallerFile) && !report.IsDeferred(dir + name)) others.push_back(name);
  }
  if (!others.empty()) {
    report.Kept(dir.substr(0, dir.size() - 1),
                L"it holds items that Lumaglimpse did not install (" + ShortList(others) + L")");
  }
  StartSelfRemoval(target.ownPath, dir, report);
}

}  // namespace

RemovalReport Uninstall(const UninstallTarget& target) {
  RemovalReport report;
  RemoveComponent(report);
  RemoveShortcuts(target.installDir, report);
  RemoveDriver(report);
  RemoveRuntimeFiles(target.installDir, report);
  RemoveSettings(report);
  RemoveInstalledFiles(target, report);
  RemoveKey(kServiceKey, 0, report);
  if (report.HasFailures()) {
    report.Kept(L"the uninstall entry, the product key and Uninstall.exe",
                L"they let you run the uninstaller again once the items above can be removed");
    return report;
  }
  RemoveProductKeys(report);
  if (!report.HasFailures()) {
    RemoveInstallFolder(target, report);
  }
  return report;
}

}  // namespace luma
