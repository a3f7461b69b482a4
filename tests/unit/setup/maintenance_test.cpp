#include "setup/maintenance.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "install_fixture.h"
#include "setup/install_actions.h"
#include "setup/setup_globals.h"
#include "setup/wizard_flow.h"

namespace zor_test {
namespace {

using zor::MaintenanceChoice;
using zor::TestHost;

TEST(Maintenance, TheUninstallerIsJoinedToTheFolderByOneBackslash) {
  const struct {
    const wchar_t* folder;
    const wchar_t* path;
  } cases[] = {
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse\\", L"C:\\Program Files\\Tarvex\\Lumaglimpse\\uninstall.exe"},
      {L"C:\\Program Files\\Tarvex\\Lumaglimpse", L"C:\\Program Files\\Tarvex\\Lumaglimpse\\uninstall.exe"},
      {L"D:\\Apps\\Lumaglimpse\\\\", L"D:\\Apps\\Lumaglimpse\\uninstall.exe"},
      {L"D:/Apps/Lumaglimpse/", L"D:/Apps/Lumaglimpse\\uninstall.exe"},
      {L"C:\\", L"C:\\uninstall.exe"},
      {L"\\\\server\\share\\Lumaglimpse\\", L"\\\\server\\share\\Lumaglimpse\\uninstall.exe"},
      // No folder names no uninstaller, rather than one at a drive's root.
      {L"", L""},
      {L"\\", L""},
      {L"\\\\", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(zor::UninstallerPath(c.folder), c.path) << zor::ToUtf8(c.folder);
}

TEST(Maintenance, TheRegisteredLanguageBecomesTheIndexOnlyWhenItNamesARow) {
  const int32_t kStartupChoice = 7;  // what start-up put there before the dialog opened
  const struct {
    const char* what;
    bool key;
    std::optional<std::pair<uint32_t, std::vector<uint8_t>>> lang;  // type and bytes
    int32_t index;
  } cases[] = {
      {"German", true, std::make_pair(uint32_t{zor::kRegDword}, Dword(3)), 3},
      {"row 0", true, std::make_pair(uint32_t{zor::kRegDword}, Dword(0)), 0},
      {"the last row", true, std::make_pair(uint32_t{zor::kRegDword}, Dword(21)), 21},
      {"no product key", false, std::nullopt, kStartupChoice},
      {"no value", true, std::nullopt, kStartupChoice},
      {"past the table", true, std::make_pair(uint32_t{zor::kRegDword}, Dword(22)), kStartupChoice},
      {"negative", true, std::make_pair(uint32_t{zor::kRegDword}, Dword(0xFFFFFFFFu)), kStartupChoice},
      {"text", true, std::make_pair(uint32_t{zor::kRegSz}, Utf16(L"3")), kStartupChoice},
      {"binary of four bytes", true, std::make_pair(uint32_t{zor::kRegBinary}, Dword(3)), kStartupChoice},
      {"too short", true, std::make_pair(uint32_t{zor::kRegDword}, std::vector<uint8_t>{3}), kStartupChoice},
      {"too long", true, std::make_pair(uint32_t{zor::kRegDword}, std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 0}),
       kStartupChoice},
  };
  for (const auto& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    if (c.key) host.SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"InstallDir", zor::kRegSz, Utf16(kDir));
    if (c.lang) host.SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"Lang", c.lang->first, c.lang->second);
    zor::g_nLangIndex = kStartupChoice;
    zor::ReadRegisteredLanguage();
    EXPECT_EQ(zor::g_nLangIndex, c.index) << c.what;
    EXPECT_EQ(host.OpenRegKeyCount(), 0u) << c.what;
  }
  zor::ResetSetupGlobals();
}

struct RepairLog : zor::IRepairWizard {
  void RunRepair() override { ++runs; }
  int runs = 0;
};

TEST(Maintenance, NextRepairsOrStartsTheUninstallerAndSaysSoWhenItCannot) {
  const std::wstring kUninstaller = std::wstring(kDir) + L"uninstall.exe";
  const std::wstring kNotStarted = L"The uninstaller could not be started.";
  enum Machine { kInstalled, kNoUninstaller, kNoFolder, kShellRefuses };
  const struct {
    const char* what;
    MaintenanceChoice choice;
    const wchar_t* folder;
    Machine machine;
    int repairs;
    bool started;
    std::wstring message;  // empty: none
  } cases[] = {
      {"repair", MaintenanceChoice::kRepair, kDir, kInstalled, 1, false, L""},
      // The wizard repairs whatever is missing, the uninstaller included.
      {"repair without the uninstaller", MaintenanceChoice::kRepair, kDir, kNoUninstaller, 1, false, L""},
      {"repair of a folder that is gone", MaintenanceChoice::kRepair, kDir, kNoFolder, 1, false, L""},
      {"uninstall", MaintenanceChoice::kUninstall, kDir, kInstalled, 0, true, L""},
      {"uninstall, folder registered without its backslash", MaintenanceChoice::kUninstall, L"D:\\Apps\\Lumaglimpse",
       kInstalled, 0, true, L""},
      {"uninstaller deleted", MaintenanceChoice::kUninstall, kDir, kNoUninstaller, 0, false,
       kNotStarted + L"\n\n" + kUninstaller},
      {"install folder gone", MaintenanceChoice::kUninstall, kDir, kNoFolder, 0, false,
       kNotStarted + L"\n\n" + kUninstaller},
      {"the shell cannot start it", MaintenanceChoice::kUninstall, kDir, kShellRefuses, 0, false,
       kNotStarted + L"\n\n" + kUninstaller},
      {"no folder at all", MaintenanceChoice::kUninstall, L"", kInstalled, 0, false, kNotStarted},
  };
  for (const auto& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    PrepareMachine(host, {L"D:\\Apps"});
    if (c.machine != kNoFolder) host.AddDirectory(kDir);
    // The installation writes the file with a capital U; the name is looked
    // up without regard to case, as Windows does.
    if (c.machine == kInstalled || c.machine == kShellRefuses)
      host.AddFile(std::wstring(kDir) + zor::kUninstallerFile, "uninstaller");
    host.failStartProgram = c.machine == kShellRefuses;
    TableStrings strings;
    strings.texts[zor::kIdsCaption] = L"Install Tarvex Lumaglimpse";
    strings.texts[zor::kIdsUninstallerNotStarted] = kNotStarted;
    RepairLog repair;

    zor::CarryOutMaintenance(c.choice, c.folder, repair, strings);

    EXPECT_EQ(repair.runs, c.repairs) << c.what;
    if (c.started) {
      ASSERT_EQ(host.startedPrograms.size(), 1u) << c.what;
      const TestHost::StartedProgram& p = host.startedPrograms[0];
      EXPECT_EQ(p.verb, L"Open") << c.what;
      EXPECT_EQ(p.file, kUninstaller) << c.what;
      EXPECT_EQ(p.parameters, L"") << c.what;
      EXPECT_EQ(p.folder, L"") << c.what;
      EXPECT_EQ(p.show, 5) << c.what;
    } else {
      EXPECT_TRUE(host.startedPrograms.empty()) << c.what;
    }
    if (c.message.empty()) {
      EXPECT_TRUE(host.messages.empty()) << c.what;
    } else {
      ASSERT_EQ(host.messages.size(), 1u) << c.what;
      EXPECT_EQ(host.messages[0].text, c.message) << c.what;
      EXPECT_EQ(host.messages[0].caption, L"Install Tarvex Lumaglimpse") << c.what;
      EXPECT_EQ(host.messages[0].flags, zor::kMbOk | zor::kMbIconWarning) << c.what;
    }
    // Neither choice touches the registration itself: that is the wizard's
    // and the uninstaller's work.
    EXPECT_TRUE(host.regWrites.empty()) << c.what;
  }
}

TEST(Maintenance, TheStepListShowsRepairingThenRepaired) {
  using zor::StepRowState;
  const struct {
    int step;
    std::optional<std::vector<StepRowState>> rows;
  } cases[] = {
      {1, std::vector<StepRowState>{{148, true}, {149, false}}},
      {2, std::vector<StepRowState>{{147, true}, {147, true}}},
      {0, std::nullopt},
      {3, std::nullopt},
      {-1, std::nullopt},
  };
  for (const auto& c : cases) {
    std::optional<std::vector<StepRowState>> rows = zor::StepListStates(zor::kRepairStepRows, c.step);
    ASSERT_EQ(rows.has_value(), c.rows.has_value()) << c.step;
    if (!rows) continue;
    ASSERT_EQ(rows->size(), c.rows->size()) << c.step;
    for (size_t i = 0; i < rows->size(); ++i) {
      EXPECT_EQ((*rows)[i].icon, (*c.rows)[i].icon) << c.step << " row " << i;
      EXPECT_EQ((*rows)[i].labelEnabled, (*c.rows)[i].labelEnabled) << c.step << " row " << i;
    }
  }
}

}  // namespace
}  // namespace zor_test
