#include "setup/maintenance.h"

#include "platform/absolute_path.h"
#include "platform/host.h"
#include "setup/setup_globals.h"
#include "setup/startup.h"

namespace zor {

const wchar_t kMaintenanceUninstaller[] = L"uninstall.exe";

std::wstring UninstallerPath(const std::wstring& folder) {
  size_t end = folder.size();
  while (end > 0 && IsSeparator(folder[end - 1])) --end;
  if (end == 0) return std::wstring();
  return folder.substr(0, end) + L"\\" + kMaintenanceUninstaller;
}

void ReadRegisteredLanguage() {
  if (std::optional<int32_t> row = GetInstalledLanguage()) g_nLangIndex = *row;
}

void CarryOutMaintenance(MaintenanceChoice choice, const std::wstring& installDir, IRepairWizard& repair,
                         IStringSource& strings) {
  if (choice == MaintenanceChoice::kRepair) {
    repair.RunRepair();
    return;
  }
  Host& host = CurrentHost();
  std::wstring path = UninstallerPath(installDir);
  // Checked before the shell is asked: for a missing file it would show an
  // error box of its own that names neither the product nor a way out.
  if (!path.empty() && host.FileExists(path) && host.StartProgram(L"Open", path, L"", L"", kSwShow)) return;
  std::wstring text = strings.GetString(kIdsUninstallerNotStarted);
  if (!path.empty()) text += L"\n\n" + path;
  host.MessageBox(text, strings.GetString(kIdsCaption), kMbOk | kMbIconWarning);
}

}  // namespace zor
