// The maintenance dialog's decisions, apart from its window: the language
// of the registered installation, the uninstaller's path and what Next does
// with the user's choice.
//
// A registered installation is either repaired (the wizard runs the install
// steps again into the registered folder) or removed (the uninstaller the
// installation left in that folder is started through the shell).
#pragma once

#include <string>

#include "setup/string_source.h"

namespace zor {

enum class MaintenanceChoice { kRepair, kUninstall };

// The uninstaller's file name in the install folder.
extern const wchar_t kMaintenanceUninstaller[];  // "uninstall.exe"

// `folder` and "uninstall.exe" joined by exactly one backslash, however
// many separators the folder ends with. Empty when the folder is empty or
// nothing but separators: there is then no uninstaller to name, and a path
// such as "\uninstall.exe" would start whatever lies at the root of the
// current drive.
std::wstring UninstallerPath(const std::wstring& folder);

// Makes the registered "Lang" the current language index. A value that
// names no row (missing, not a 32-bit number, outside the table) leaves the
// index as it is: start-up has already put a valid row there, so the index
// stays a row of the table whatever the registry holds.
void ReadRegisteredLanguage();

// The repair run: the wizard in maintenance mode, modally.
class IRepairWizard {
 public:
  virtual ~IRepairWizard() = default;
  virtual void RunRepair() = 0;
};

// Next, once the dialog has ended. Repair runs the wizard. Uninstall starts
// the uninstaller from `installDir` ("Open", shown normally, no owner);
// when it is missing or the shell cannot start it the user is told so
// (string 160 and the path, caption 102), instead of the program ending
// as if the removal were under way.
void CarryOutMaintenance(MaintenanceChoice choice, const std::wstring& installDir, IRepairWizard& repair,
                         IStringSource& strings);

// The maintenance step list has two rows, "Repair installation..." and
// "Installation is successfully repaired"; the wizard's step rule
// (StepListStates) sets them: step 1 while repairing, 2 when repaired.
constexpr int kRepairStepRows = 2;

}  // namespace zor
