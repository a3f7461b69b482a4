#include "uninstall/self_removal.h"

#include <windows.h>

#include "common/product_names.h"
#include "uninstall/install_dir.h"

namespace luma {

namespace {

std::wstring ReadyEventName(DWORD parentPid) {
  return L"Local\\LumaglimpseUninstallReady-" + std::to_wstring(parentPid);
}

std::wstring Quote(const std::wstring& argument) {
  // The only arguments quoted here are folder paths ending in a backslash,
  // which would escape the closing quote; doubling it keeps it literal.
  std::wstring quoted = L"\"" + argument;
  if (!argument.empty() && argument.back() == L'\\') quoted += L'\\';
  return quoted + L"\"";
}

void ScheduleForRestart(const std::wstring& ownPath, const std::wstring& installDir, RemovalReport& report) {
  if (!MoveFileExW(ownPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    report.FailedWithError(ownPath, GetLastError());
    return;
  }
  report.Deferred(ownPath);
  std::wstring folder = installDir.substr(0, installDir.size() - 1);
  if (MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) report.Deferred(folder);
  std::wstring vendor = VendorFolderOf(installDir);
  if (!vendor.empty() && MoveFileExW(vendor.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    report.Deferred(vendor);
  }
}

}  // namespace

std::wstring VendorFolderOf(const std::wstring& installDir) {
  if (installDir.size() < 2) return {};
  std::wstring folder = installDir.substr(0, installDir.size() - 1);
  size_t slash = folder.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  std::wstring parent = folder.substr(0, slash);
  size_t parentSlash = parent.find_last_of(L'\\');
  if (parentSlash == std::wstring::npos) return {};
  if (!SamePath(parent.substr(parentSlash + 1), kVendorFolder)) return {};
  // Never a root such as "\\Tarvex" of a share: the parent needs a parent.
  if (!NormalizeFolder(parent) || WhyNotInstallDir(*NormalizeFolder(parent), {}).size() != 0) return {};
  return parent;
}

void StartSelfRemoval(const std::wstring& ownPath, const std::wstring& installDir, RemovalReport& report) {
  wchar_t tempFolder[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, tempFolder);
  const std::wstring helper = length > 0 && length <= MAX_PATH
                                  ? std::wstring(tempFolder) + L"Lumaglimpse-Uninstall-" +
                                        std::to_wstring(GetCurrentProcessId()) + L".exe"
                                  : std::wstring();
  if (helper.empty() || !CopyFileW(ownPath.c_str(), helper.c_str(), FALSE)) {
    ScheduleForRestart(ownPath, installDir, report);
    return;
  }
  const DWORD pid = GetCurrentProcessId();
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, ReadyEventName(pid).c_str());
  std::wstring commandLine = Quote(helper) + L" " + kRemoveUninstallerSwitch + L" " + std::to_wstring(pid) + L" " +
                             Quote(installDir);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  // No handles are inherited: a caller reading our output through a pipe
  // must see it close when we end, not when the helper does.
  if (ready == nullptr || !CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                          tempFolder, &startup, &process)) {
    if (ready != nullptr) CloseHandle(ready);
    DeleteFileW(helper.c_str());
    ScheduleForRestart(ownPath, installDir, report);
    return;
  }
  // The helper knows us by process id; we stay until it holds a handle to
  // us, so that the id cannot pass to another process meanwhile.
  HANDLE waits[] = {ready, process.hProcess};
  DWORD outcome = WaitForMultipleObjects(2, waits, FALSE, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(ready);
  if (outcome != WAIT_OBJECT_0) {
    // The helper ended or hangs without taking over.
    ScheduleForRestart(ownPath, installDir, report);
  }
}

int RunSelfRemovalHelper(const std::wstring& parentPid, const std::wstring& installDir) {
  wchar_t* end = nullptr;
  unsigned long pid = wcstoul(parentPid.c_str(), &end, 10);
  std::optional<std::wstring> dir = NormalizeFolder(installDir);
  if (end == parentPid.c_str() || *end != L'\0' || !dir || !WhyNotInstallDir(*dir, ProtectedFolders()).empty()) {
    return kExitFailed;
  }
  HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, ReadyEventName(static_cast<DWORD>(pid)).c_str());
  if (parent == nullptr || ready == nullptr) {
    if (parent) CloseHandle(parent);
    if (ready) CloseHandle(ready);
    return kExitFailed;
  }
  SetEvent(ready);
  CloseHandle(ready);
  DWORD waited = WaitForSingleObject(parent, INFINITE);
  CloseHandle(parent);
  if (waited != WAIT_OBJECT_0) return kExitFailed;

  const std::wstring uninstaller = *dir + kUninstallerFile;
  RemovalReport report;
  // The system lets go of a program's file a moment after the program ends.
  for (int attempt = 0; attempt < 50 && FileExists(uninstaller); ++attempt) {
    if (DeleteFileW(uninstaller.c_str())) break;
    Sleep(100);
  }
  RemoveFile(uninstaller, report);
  RemoveFolderIfEmpty(*dir, report, false);
  std::wstring vendor = VendorFolderOf(*dir);
  if (!vendor.empty()) RemoveFolderIfEmpty(vendor, report, false);
  std::wstring self = ModulePath();
  if (!self.empty()) MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return report.ExitCode();
}

}  // namespace luma
