#include "setup/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "setup/os_checks.h"
#include "setup/payloads.h"
#include "setup/setup_globals.h"
#include "tests/unit/engine/package_fixture.h"
#include "tests/unit/setup/install_fixture.h"

namespace {

using zor_test::Dword;
using zor_test::Utf16;

const std::wstring kSelf = L"C:\\Setup\\setup.exe";
const std::wstring kDefaultDir = L"C:\\Program Files\\Tarvex\\Lumaglimpse\\";
const std::wstring kDefaultLog = L"C:\\Lumaglimpse.log";
const std::string kSilentSuccess = "[ResponseResult]\r\nResultCode=0\r\n";
const std::string kFailure = "[ResponseResult]\r\nResultCode = -1\r\n";

// One block of a string table (ids 16 * (block - 1) and on).
std::string StringBlock(const std::map<uint32_t, std::wstring>& texts, uint32_t block) {
  std::string bytes;
  for (uint32_t id = (block - 1) * 16; id < block * 16; ++id) {
    auto it = texts.find(id);
    std::wstring text = it == texts.end() ? std::wstring() : it->second;
    bytes += static_cast<char>(text.size() & 0xFF);
    bytes += static_cast<char>(text.size() >> 8);
    zor::AppendUtf16Le(bytes, text);
  }
  return bytes;
}

// The message texts of a resource source, told apart by `tag`.
std::string MessageBlock(const std::wstring& tag) {
  return StringBlock({{102, tag + L" caption"}, {104, tag + L" damaged"}, {105, tag + L" system"},
                      {108, tag + L" rights"}},
                     7);
}

struct WindowsLog : zor::ISetupWindows {
  explicit WindowsLog(zor::CSetupStartup* app) : app(app) {}
  void RunFreshInstall() override { Record("fresh"); }
  void RunMaintenance() override { Record("maintenance"); }
  void Record(const std::string& what) {
    calls.push_back(what);
    dir = app->m_strInstallDir;
    lang = zor::g_nLangIndex;
    // The wizard loads the chosen language's module on its install page,
    // long after start-up, and frees it when it goes.
    zor::Host::Module german = zor::LoadLanguageModule(app->m_languageFolder, 3);
    laterModuleLoads = german != 0;
    zor::CurrentHost().UnloadModule(german);
  }
  zor::CSetupStartup* app;
  std::vector<std::string> calls;
  std::wstring dir;
  int32_t lang = -100;
  bool laterModuleLoads = false;
};

const std::wstring kLanguagesDir = L"C:\\Temp\\LumaglimpseLanguages.1";
const std::wstring kLanguages = kLanguagesDir + L"\\";

// Modules loaded from the language folder, lower case.
std::vector<std::wstring> LanguageModulesLoaded(const zor::TestHost& h) {
  std::vector<std::wstring> out;
  for (const std::wstring& m : h.LoadedModules())
    if (m.rfind(zor::AsciiLower(kLanguages), 0) == 0) out.push_back(m);
  return out;
}

// A file of a language module's name straight in the temp folder.
bool AnyModuleInTemp(const zor::TestHost& h) {
  for (const zor::PayloadFile& f : zor::kLanguageModules)
    if (h.HasFile(L"C:\\Temp\\" + std::wstring(f.fileName))) return true;
  return false;
}

// A supported system, an administrator, the program carrying its payloads
// and the package of the engine tests appended; English system language.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    zor::TestHost& h = host();
    zor_test::PrepareMachine(h, {L"C:\\Setup", L"D:\\Apps"});
    h.devices.insert(L"\\\\.\\PHYSICALDRIVE0");
    h.modulePath = kSelf;
    for (const zor::PayloadFile& f : zor::kLanguageModules)
      h.AddResource(L"", zor::kLanguageModuleType, f.resourceId, "module " + zor::ToUtf8(f.fileName));
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      h.AddResource(L"", zor::kRendererLibraryType, f.resourceId, "library");
    h.AddResource(L"", L"#6", 7, MessageBlock(L"zh"));
    h.AddResource(kLanguages + L"InstallEn.dll", L"#6", 7, MessageBlock(L"en"));
    bench_.FillProject(project_);
    EXPECT_EQ(bench_.Build(project_, kSelf), zor::kResultOk);
    zor::ResetSetupGlobals();
  }
  ~StartupTest() override { zor::ResetSetupGlobals(); }

  zor::TestHost& host() { return bench_.host; }

  // Runs start-up; the exit code when it ended the process.
  std::optional<uint32_t> Run(zor::CSetupStartup& app, WindowsLog& windows, const std::wstring& commandLine,
                              bool* result = nullptr) {
    try {
      bool r = app.InitInstance(commandLine, windows, nullptr, 0);
      if (result) *result = r;
      return std::nullopt;
    } catch (const zor::TestHost::ProcessExit& e) {
      return e.code;
    }
  }
  std::vector<std::wstring> MessageTexts() {
    std::vector<std::wstring> out;
    for (const auto& m : host().messages) out.push_back(m.caption + L": " + m.text);
    return out;
  }
  void Register(const std::wstring& dir) {
    host().SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"InstallDir", zor::kRegSz, Utf16(dir));
  }

  zortest::PackageBench bench_;
  CInstallProject project_;
};

TEST_F(StartupTest, ASecondCopyEndsWithoutATrace) {
  host().namedEvents.insert(zor::kSingleInstanceEvent);
  const auto before = host().FilePaths();
  zor::CSetupStartup app;
  WindowsLog windows(&app);
  bool result = true;
  EXPECT_EQ(Run(app, windows, L"-s", &result), std::nullopt);
  EXPECT_FALSE(result);
  EXPECT_EQ(host().FilePaths(), before);
  EXPECT_TRUE(host().messages.empty());
  EXPECT_TRUE(windows.calls.empty());
}

TEST_F(StartupTest, TheSystemLanguageChoosesTheModuleAndTheStartingRow) {
  struct Case {
    uint16_t langId;
    const wchar_t* module;  // null: none
    int32_t row;
  };
  const Case cases[] = {
      {0x0409, L"InstallEn.dll", 1},   {0x040D, L"InstallEn.dll", 1},  {0x0401, L"InstallEn.dll", 1},
      {0x0804, L"Install.dll", 0},     {0x0C04, L"InstallTr.dll", 5},  {0x0404, L"InstallTr.dll", 5},
      {0x0416, L"InstallPT-BR.dll", 19}, {0x0816, L"InstallPtg.dll", 8}, {0x0407, L"InstallGe.dll", 3},
      {0x041E, nullptr, 0},
  };
  for (const Case& c : cases) {
    zor::TestHost& h = host();
    h.langId = c.langId;
    zor::ResetSetupGlobals();
    host().namedEvents.clear();  // the previous run has ended
    {
      zor::CSetupStartup app;
      WindowsLog windows(&app);
      EXPECT_EQ(Run(app, windows, L""), std::nullopt) << c.langId;
      // Every module is written into the run's own folder, whichever is
      // loaded, and none into the shared temp folder.
      EXPECT_EQ(app.m_languageFolder.Path() + L"\\", kLanguages) << c.langId;
      for (const zor::PayloadFile& f : zor::kLanguageModules)
        EXPECT_TRUE(h.HasFile(kLanguages + f.fileName)) << c.langId;
      EXPECT_FALSE(AnyModuleInTemp(h)) << c.langId;
      EXPECT_TRUE(windows.laterModuleLoads) << c.langId;
      if (c.module) {
        EXPECT_EQ(LanguageModulesLoaded(h), std::vector<std::wstring>{zor::AsciiLower(kLanguages + c.module)})
            << c.langId;
        EXPECT_EQ(app.m_strings.GetModule(), app.m_hLangModule) << c.langId;
        EXPECT_NE(app.m_hLangModule, 0u) << c.langId;
      } else {
        EXPECT_TRUE(LanguageModulesLoaded(h).empty()) << c.langId;
        EXPECT_EQ(app.m_strings.GetModule(), 0u) << c.langId;
      }
      EXPECT_EQ(windows.calls, std::vector<std::string>{"fresh"}) << c.langId;
      EXPECT_EQ(windows.lang, c.row) << c.langId;
    }
    // At the end the module is freed, then its files and folder go.
    EXPECT_TRUE(LanguageModulesLoaded(h).empty()) << c.langId;
    EXPECT_FALSE(h.HasDirectory(kLanguagesDir)) << c.langId;
    EXPECT_FALSE(AnyModuleInTemp(h)) << c.langId;
  }
}

TEST_F(StartupTest, UnsupportedSystemsAndMissingRightsEndWithTheirMessage) {
  struct Case {
    const char* what;
    std::optional<zor::OsVersion> ex, basic;
    bool admin;
    uint16_t langId;
    std::wstring message;  // empty: start-up goes on
  };
  auto v = [](uint32_t major, uint32_t minor) { return std::optional<zor::OsVersion>(zor::OsVersion{major, minor}); };
  const Case cases[] = {
      {"Windows 2000", v(5, 0), v(5, 0), true, 0x0409, L""},
      {"Windows XP", v(5, 1), v(5, 1), true, 0x0409, L""},
      {"Windows Server 2003", v(5, 2), v(5, 2), true, 0x0409, L"en caption: en system"},
      {"Windows NT 4", v(4, 0), v(4, 0), true, 0x0409, L"en caption: en system"},
      {"Windows Vista", v(6, 0), v(6, 0), true, 0x0409, L""},
      {"6.3", v(6, 3), v(6, 3), true, 0x0409, L""},
      {"10.0", v(10, 0), v(10, 0), true, 0x0409, L"en caption: en system"},
      {"only the basic record", std::nullopt, v(5, 1), true, 0x0409, L""},
      {"no version at all", std::nullopt, std::nullopt, true, 0x0409, L"en caption: en system"},
      {"no rights", v(6, 1), v(6, 1), false, 0x0409, L"en caption: en rights"},
      {"no rights, Thai: the program's own texts", v(6, 1), v(6, 1), false, 0x041E, L"zh caption: zh rights"},
      {"5.2, Thai", v(5, 2), v(5, 2), false, 0x041E, L"zh caption: zh system"},
  };
  const std::wstring renderer = L"C:\\Temp\\LumaglimpseRenderer.1\\Orbiscene.dll";
  static int entry = 0;
  host().AddModuleProc(renderer, "createOrbitWindow", &entry);
  for (const Case& c : cases) {
    zor::TestHost& h = host();
    h.versionEx = c.ex;
    h.versionBasic = c.basic;
    h.devices.clear();
    if (c.admin) h.devices.insert(L"\\\\.\\PHYSICALDRIVE0");
    h.langId = c.langId;
    h.messages.clear();
    host().namedEvents.clear();  // the previous run has ended
    zor::CSetupStartup app;
    WindowsLog windows(&app);
    std::optional<uint32_t> exit = Run(app, windows, L"");
    if (c.message.empty()) {
      EXPECT_EQ(exit, std::nullopt) << c.what;
      EXPECT_TRUE(h.messages.empty()) << c.what;
      EXPECT_EQ(windows.calls.size(), 1u) << c.what;
    } else {
      EXPECT_EQ(exit, std::optional<uint32_t>(0)) << c.what;
      EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{c.message}) << c.what;
      ASSERT_EQ(h.messages.size(), 1u);
      EXPECT_EQ(h.messages[0].flags, zor::kMbOk | zor::kMbIconInformation) << c.what;
      EXPECT_TRUE(windows.calls.empty()) << c.what;
      EXPECT_FALSE(h.HasFile(kDefaultLog)) << c.what;
    }
    // The payloads are out before any check (the messages come from the
    // English module); the renderer's never go to the system folder, and a
    // process that ends here frees the module and takes both folders away
    // first (the application object is still alive).
    EXPECT_EQ(h.HasFile(kLanguages + L"InstallEn.dll"), c.message.empty()) << c.what;
    EXPECT_EQ(h.DirectoryExists(kLanguagesDir), c.message.empty()) << c.what;
    EXPECT_EQ(LanguageModulesLoaded(h).size(), c.message.empty() && c.langId == 0x0409 ? 1u : 0u) << c.what;
    EXPECT_EQ(app.m_strings.GetModule() == 0, !c.message.empty() || c.langId != 0x0409) << c.what;
    EXPECT_FALSE(AnyModuleInTemp(h)) << c.what;
    EXPECT_FALSE(h.HasFile(L"C:\\Windows\\System32\\Orbiscene.dll")) << c.what;
    EXPECT_EQ(h.HasFile(renderer), c.message.empty()) << c.what;
    EXPECT_EQ(h.DirectoryExists(zor::FolderOf(renderer)), c.message.empty()) << c.what;
  }
}

TEST_F(StartupTest, TheResultLogSwitch) {
  host().AddDirectory(L"C:\\logs");
  struct Case {
    const char* what;
    std::wstring commandLine;
    std::wstring log;  // where the outcome goes
  };
  const Case cases[] = {
      {"after the silent switch", L"-s -f2C:\\out.log", L"C:\\out.log"},
      {"a path with \\s selects silent mode", L"-f2C:\\logs\\setup.log", L"C:\\logs\\setup.log"},
      {"a path too long keeps the previous one", L"-s -f2C:\\" + std::wstring(300, L'a') + L".log", kDefaultLog},
      {"a long path that fits", L"/S -f2C:\\" + std::wstring(250, L'b') + L".log", L"C:\\" + std::wstring(250, L'b') + L".log"},
  };
  for (const Case& c : cases) {
    zor::ResetSetupGlobals();
    host().DeleteFile(c.log);
    host().DeleteFile(kDefaultLog);
    host().namedEvents.clear();  // the previous run has ended
    zor::CSetupStartup app;
    WindowsLog windows(&app);
    bool result = false;
    EXPECT_EQ(Run(app, windows, c.commandLine, &result), std::nullopt) << c.what;
    EXPECT_TRUE(result) << c.what;
    EXPECT_EQ(bench_.Bytes(c.log), kSilentSuccess) << c.what;
    if (c.log != kDefaultLog) {
      EXPECT_FALSE(host().HasFile(kDefaultLog)) << c.what;
    }
    EXPECT_TRUE(windows.calls.empty()) << c.what;
  }
}

TEST_F(StartupTest, ADamagedPackageIsReportedInEveryMode) {
  for (const std::wstring& commandLine : {std::wstring(L""), std::wstring(L"-s")}) {
    host().AddFile(kSelf, "MZ and no package behind it");
    host().DeleteFile(kDefaultLog);
    host().messages.clear();
    host().namedEvents.clear();  // the previous run has ended
    zor::CSetupStartup app;
    WindowsLog windows(&app);
    EXPECT_EQ(Run(app, windows, commandLine), std::optional<uint32_t>(0));
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{L"en caption: en damaged"});
    EXPECT_EQ(bench_.Bytes(kDefaultLog), kFailure);
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_FALSE(host().HasDirectory(kDefaultDir));
  }
}

TEST_F(StartupTest, SilentModeInstallsIntoTheDefaultFolderEvenWhenAnotherIsRegistered) {
  Register(L"D:\\Apps\\Old\\");
  host().SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"Lang", zor::kRegDword, Dword(3));
  host().langId = 0x0407;  // German: the package has no German group
  zor::CSetupStartup app;
  WindowsLog windows(&app);
  bool result = false;
  EXPECT_EQ(Run(app, windows, L"-s", &result), std::nullopt);
  EXPECT_TRUE(result);
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(app.m_strVersion, L"3.0.1");
  EXPECT_NE(std::find(host().debugLines.begin(), host().debugLines.end(), L"3.0.1"), host().debugLines.end());
  EXPECT_EQ(bench_.Bytes(kDefaultDir + L"common.dat"), bench_.sources[L"common.dat"]);
  EXPECT_EQ(zor::g_nLangIndex, 3);
  auto dir = host().GetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"InstallDir");
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->data, Utf16(kDefaultDir));
  EXPECT_EQ(bench_.Bytes(kDefaultLog), kSilentSuccess);

  // A second silent run appends a second block.
  zor::CSetupStartup again;
  WindowsLog windows2(&again);
  host().namedEvents.clear();
  EXPECT_EQ(Run(again, windows2, L"-s"), std::nullopt);
  EXPECT_EQ(bench_.Bytes(kDefaultLog), kSilentSuccess + kSilentSuccess);
}

TEST_F(StartupTest, ARegisteredInstallationIsRepairedInItsFolderAndLanguage) {
  struct Case {
    const char* what;
    std::optional<std::pair<uint32_t, std::vector<uint8_t>>> lang;  // type and bytes
    int32_t row;
  };
  const Case cases[] = {
      {"German", std::make_pair(uint32_t{zor::kRegDword}, Dword(3)), 3},
      {"the last row", std::make_pair(uint32_t{zor::kRegDword}, Dword(21)), 21},
      {"row 0", std::make_pair(uint32_t{zor::kRegDword}, Dword(0)), 0},
      {"no value: the system language", std::nullopt, 1},
      {"past the table", std::make_pair(uint32_t{zor::kRegDword}, Dword(22)), 1},
      {"negative", std::make_pair(uint32_t{zor::kRegDword}, Dword(0xFFFFFFFFu)), 1},
      {"text", std::make_pair(uint32_t{zor::kRegSz}, Utf16(L"3")), 1},
      {"too short", std::make_pair(uint32_t{zor::kRegDword}, std::vector<uint8_t>{3}), 1},
  };
  for (const Case& c : cases) {
    host().registry.erase({zor::kHkeyLocalMachine, zor::TestHost::Normalize(zor::kProductKey)});
    Register(L"D:\\Apps\\Lumaglimpse\\");
    if (c.lang) host().SetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, L"Lang", c.lang->first, c.lang->second);
    zor::ResetSetupGlobals();
    host().namedEvents.clear();  // the previous run has ended
    zor::CSetupStartup app;
    WindowsLog windows(&app);
    bool result = true;
    EXPECT_EQ(Run(app, windows, L"", &result), std::nullopt) << c.what;
    EXPECT_FALSE(result) << c.what;
    EXPECT_EQ(windows.calls, std::vector<std::string>{"maintenance"}) << c.what;
    EXPECT_EQ(windows.dir, L"D:\\Apps\\Lumaglimpse\\") << c.what;
    EXPECT_EQ(windows.lang, c.row) << c.what;
  }
}

TEST_F(StartupTest, AFreshStartRunsTheInstallationWindowsWithTheDefaultFolder) {
  zor::CSetupStartup app;
  WindowsLog windows(&app);
  bool result = true;
  EXPECT_EQ(Run(app, windows, L"", &result), std::nullopt);
  EXPECT_FALSE(result);
  EXPECT_EQ(windows.calls, std::vector<std::string>{"fresh"});
  EXPECT_EQ(windows.dir, kDefaultDir);
  EXPECT_EQ(app.m_strVersion, L"3.0.1");
  // Nothing is installed and nothing reported before the windows do it.
  EXPECT_FALSE(host().HasFile(kDefaultLog));
  EXPECT_FALSE(host().HasDirectory(kDefaultDir));
}

}  // namespace
