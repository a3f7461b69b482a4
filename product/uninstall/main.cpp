// Uninstall.exe: removes Tarvex Lumaglimpse. Asks first unless started with
// -s or /s; reports in a message box, or on the error stream and in the exit
// code when silent.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/product_names.h"
#include "common/std_stream.h"
#include "uninstall/install_dir.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstaller.h"

namespace {

constexpr wchar_t kCaption[] = L"Tarvex Lumaglimpse Uninstall";
constexpr int kExitNotInstalled = 1605;

struct Output {
  bool silent = false;

  void Tell(const std::wstring& text, UINT icon) const {
    if (silent) {
      luma::WriteStd(STD_ERROR_HANDLE, text + L"\r\n");
    } else {
      MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | icon);
    }
  }
};

bool IsSilentSwitch(const std::wstring& arg) {
  return CompareStringOrdinal(arg.c_str(), -1, L"-s", -1, TRUE) == CSTR_EQUAL ||
         CompareStringOrdinal(arg.c_str(), -1, L"/s", -1, TRUE) == CSTR_EQUAL;
}

std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> result;
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return result;
  for (int i = 1; i < count; ++i) result.emplace_back(args[i]);
  LocalFree(args);
  return result;
}

int Run(const Output& output) {
  const std::wstring ownPath = luma::ModulePath();
  luma::InstallDirChoice choice = luma::FindInstallDir(ownPath);
  if (choice.dir.empty()) {
    if (choice.raw.empty()) {
      output.Tell(L"Tarvex Lumaglimpse is not installed on this computer: no install folder is recorded. "
                  L"Nothing was changed.",
                  MB_ICONINFORMATION);
      return kExitNotInstalled;
    }
    output.Tell(L"The install folder in " + choice.source + L", \"" + choice.raw +
                    L"\", is not a complete folder path. Nothing was changed.",
                MB_ICONERROR);
    return luma::kExitFailed;
  }
  std::wstring why = luma::WhyNotInstallDir(choice.dir, luma::ProtectedFolders());
  if (!why.empty()) {
    output.Tell(L"The uninstaller does not remove files from " + choice.dir + L" (found in " + choice.source +
                    L"): " + why + L". Nothing was changed.",
                MB_ICONERROR);
    return luma::kExitFailed;
  }
  if (!output.silent) {
    std::wstring question = L"Do you want to remove Tarvex Lumaglimpse and all of its components from this "
                            L"computer?\n\nInstall folder: " +
                            choice.dir;
    if (MessageBoxW(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
      return luma::kExitCancelled;
    }
  }

  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  luma::RemovalReport report = luma::Uninstall({choice.dir, ownPath});
  if (SUCCEEDED(com)) CoUninitialize();

  const std::wstring details = report.Text();
  if (report.HasFailures()) {
    output.Tell(L"Tarvex Lumaglimpse could not be removed completely.\r\n\r\n" + details +
                    L"\r\nClose any program that uses these items and run the uninstaller again.",
                MB_ICONWARNING);
  } else if (!output.silent) {
    std::wstring text = L"Tarvex Lumaglimpse was removed from this computer.";
    if (report.HasDeferred()) text += L" Some items are in use and go when Windows restarts.";
    if (!details.empty()) text += L"\r\n\r\n" + details;
    output.Tell(text, MB_ICONINFORMATION);
  } else if (!details.empty()) {
    output.Tell(details, 0);
  }
  return report.ExitCode();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::vector<std::wstring> args = Arguments();
  if (args.size() == 3 && args[0] == luma::kRemoveUninstallerSwitch) {
    return luma::RunSelfRemovalHelper(args[1], args[2]);
  }
  Output output;
  for (const std::wstring& arg : args) output.silent = output.silent || IsSilentSwitch(arg);

  // Two uninstallers at once would report each other's removals as failures.
  HANDLE running = CreateMutexW(nullptr, FALSE, L"Local\\LumaglimpseUninstall");
  if (running != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    output.Tell(L"The uninstaller of Tarvex Lumaglimpse is already running.", MB_ICONINFORMATION);
    CloseHandle(running);
    return luma::kExitAlreadyRunning;
  }
  int result = Run(output);
  if (running != nullptr) CloseHandle(running);
  return result;
}
