#include "setup/install_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/result_log.h"
#include "setup/setup_globals.h"
#include "tests/unit/engine/package_fixture.h"
#include "tests/unit/setup/install_fixture.h"

namespace {

using zor::InstallOutcome;
using zor_test::Dword;
using zor_test::kDir;
using zor_test::Utf16;

const std::wstring kPackage = L"C:\\Out\\package.exe";
const std::string kLog = "C:\\result.log";

// What the install page was asked to show, in order; message pumps are
// counted apart.
class ProgressLog : public zor::IInstallProgress {
 public:
  void ShowStatus(uint32_t id) override { events.push_back("status " + std::to_string(id)); }
  void SetProgressRange(int32_t upper) override { events.push_back("range " + std::to_string(upper)); }
  void StepProgress() override { events.push_back("step"); }
  void PumpMessages() override { ++pumps; }
  void ShowMessage(uint32_t id) override { events.push_back("message " + std::to_string(id)); }

  std::vector<std::string> events;
  int pumps = 0;
};

// The product package of the engine tests (groups "Common": 1 file,
// "English": 4 files in the install folder and one in the system folder) on
// a machine that has the folders the install actions use.
class SequenceTest : public ::testing::Test {
 protected:
  SequenceTest() : actions_(&strings_), sequence_(extract_, actions_) {
    zor_test::PrepareMachine(host(), {L"D:\\Apps"});
    bench_.FillProject(project_);
    EXPECT_EQ(bench_.Build(project_, kPackage), zor::kResultOk);
    zor::ResetSetupGlobals();
  }

  zor::TestHost& host() { return bench_.host; }
  void OpenPackage() {
    extract_.SetPackagePath(kPackage);
    ASSERT_EQ(extract_.Open(kPackage), zor::kResultOk);
  }
  std::string Log() { return bench_.Bytes(zor::FromUtf8(kLog)); }
  std::optional<std::vector<uint8_t>> Registered(const wchar_t* name) {
    auto v = host().GetRegValue(zor::kHkeyLocalMachine, zor::kProductKey, name);
    return v ? std::optional<std::vector<uint8_t>>(v->data) : std::nullopt;
  }
  bool Unpacked(const std::wstring& name, const std::wstring& source) {
    return host().FileBytes(kDir + name) == bench_.sources[source];
  }
  void ExpectRegistered(int32_t lang) {
    EXPECT_EQ(Registered(L"InstallDir"), Utf16(kDir));
    EXPECT_EQ(Registered(L"Lang"), Dword(static_cast<uint32_t>(lang)));
    EXPECT_EQ(Registered(L"Version"), Utf16(L"3.0.1"));
    EXPECT_FALSE(host().shellLinks.empty());
  }

  zortest::PackageBench bench_;
  CInstallProject project_;
  zor_test::TableStrings strings_;
  zor::CMyExtract extract_;
  zor::CInstallActions actions_;
  zor::CInstallSequence sequence_;
};

const std::string kSilentSuccess = "[ResponseResult]\r\nResultCode=0\r\n";
const std::string kDialogSuccess = "[ResponseResult]\r\nResultCode = 0\r\n";
const std::string kFailure = "[ResponseResult]\r\nResultCode = -1\r\n";

TEST_F(SequenceTest, SilentFormInstallsBothGroupsIntoTheFolderWithItsBackslash) {
  OpenPackage();
  int32_t lang = 0;
  EXPECT_EQ(sequence_.RunSilent(L"D:\\Apps\\Lumaglimpse", L"3.0.1", kLog, &lang), InstallOutcome::kInstalled);
  EXPECT_EQ(lang, 1);
  for (const auto& [name, source] : std::vector<std::pair<std::wstring, std::wstring>>{
           {L"common.dat", L"common.dat"}, {L"app.exe", L"app.exe"}, {L"core.dll", L"core.dll"}})
    EXPECT_TRUE(Unpacked(name, source)) << zor::ToUtf8(name);
  EXPECT_EQ(host().FileBytes(L"C:\\Windows\\System32\\driver.sys"), bench_.sources[L"driver.sys"]);
  EXPECT_EQ(Log(), kSilentSuccess);
  ExpectRegistered(1);
  EXPECT_TRUE(host().GetRegValue(zor::kHkeyLocalMachine, std::wstring(zor::kUninstallRoot) + L"\\Lumaglimpse3.0",
                                 L"UninstallString"));
}

TEST_F(SequenceTest, SilentFormTakesTheLanguageGroupOfTheSystemLanguage) {
  struct Case {
    const char* what;
    uint16_t langId;
    int32_t langBefore;
    int32_t langAfter;
    bool englishFiles;
  };
  const Case cases[] = {
      {"English", 0x0409, 0, 1, true},
      {"Hebrew reads English", 0x040D, 0, 1, true},
      {"German, a group the package lacks", 0x0407, 0, 3, false},
      {"Thai, no row: the index is kept", 0x041E, 0, 0, false},
      {"Thai after another row was chosen", 0x041E, 6, 6, false},
  };
  for (const Case& c : cases) {
    host().DeleteFile(kDir + std::wstring(L"app.exe"));
    host().DeleteFile(zor::FromUtf8(kLog));
    host().langId = c.langId;
    OpenPackage();
    int32_t lang = c.langBefore;
    EXPECT_EQ(sequence_.RunSilent(kDir, L"3.0.1", kLog, &lang), InstallOutcome::kInstalled) << c.what;
    EXPECT_EQ(lang, c.langAfter) << c.what;
    EXPECT_TRUE(Unpacked(L"common.dat", L"common.dat")) << c.what;
    EXPECT_EQ(host().HasFile(kDir + std::wstring(L"app.exe")), c.englishFiles) << c.what;
    EXPECT_EQ(Registered(L"Lang"), Dword(static_cast<uint32_t>(c.langAfter))) << c.what;
    // A missing group is nothing that failed.
    EXPECT_EQ(Log(), kSilentSuccess) << c.what;
  }
}

TEST_F(SequenceTest, DialogFormShowsEveryStepAndFillsTheBarExactlyOnce) {
  ProgressLog progress;
  EXPECT_EQ(sequence_.RunDialog(progress, kPackage, L"D:\\Apps\\Lumaglimpse", L"3.0.1", 1, kLog),
            InstallOutcome::kInstalled);
  std::vector<std::string> expected = {"status 110", "range 6"};
  expected.insert(expected.end(), 6, "step");
  for (const char* s : {"status 109", "status 111", "status 112", "status 113"}) expected.push_back(s);
  EXPECT_EQ(progress.events, expected);
  // Messages are handled at every report of the extractor, not just per file.
  EXPECT_GE(progress.pumps, 12);
  EXPECT_TRUE(Unpacked(L"core.dll", L"core.dll"));
  EXPECT_EQ(Log(), kDialogSuccess);
  ExpectRegistered(1);
}

TEST_F(SequenceTest, DialogFormWithALanguageOutsideTheTableUnpacksOnlyTheSharedGroup) {
  for (int32_t lang : {22, -1}) {
    ProgressLog progress;
    host().DeleteFile(zor::FromUtf8(kLog));
    EXPECT_EQ(sequence_.RunDialog(progress, kPackage, kDir, L"3.0.1", lang, kLog), InstallOutcome::kInstalled);
    EXPECT_EQ(progress.events[1], "range 1") << lang;
    EXPECT_TRUE(Unpacked(L"common.dat", L"common.dat")) << lang;
    EXPECT_FALSE(host().HasFile(kDir + std::wstring(L"app.exe"))) << lang;
    // Still registered as it is: the caller chose it.
    EXPECT_EQ(Registered(L"Lang"), Dword(static_cast<uint32_t>(lang))) << lang;
    EXPECT_EQ(Log(), kDialogSuccess) << lang;
  }
}

TEST_F(SequenceTest, FilesThatCannotBeUnpackedFailTheOutcomeAfterEveryStepHasRun) {
  const std::string package = *host().FileBytes(kPackage);
  struct Case {
    const char* what;
    bool dialog;
    bool damagedStream;  // else a target file that is held open
  };
  const Case cases[] = {
      {"silent, held target", false, false},
      {"silent, damaged stream", false, true},
      {"dialog, held target", true, false},
      {"dialog, damaged stream", true, true},
  };
  for (const Case& c : cases) {
    zor::TestHost& h = host();
    h.lockedFiles.clear();
    h.registry.erase({zor::kHkeyLocalMachine, zor::TestHost::Normalize(zor::kProductKey)});
    h.shellLinks.clear();
    for (const wchar_t* f : {L"common.dat", L"app.exe", L"core.dll"}) h.DeleteFile(kDir + std::wstring(f));
    h.DeleteFile(zor::FromUtf8(kLog));
    std::string bytes = package;
    if (c.damagedStream) {
      // The first stream after the engine is the shared group's only file.
      bytes[bench_.engine.size() + 200] ^= 0x55;
    } else {
      h.AddFile(kDir + std::wstring(L"app.exe"), "held");
      h.lockedFiles.insert(kDir + std::wstring(L"app.exe"));
    }
    h.AddFile(kPackage, bytes);

    ProgressLog progress;
    InstallOutcome outcome;
    if (c.dialog) {
      outcome = sequence_.RunDialog(progress, kPackage, kDir, L"3.0.1", 1, kLog);
    } else {
      OpenPackage();
      int32_t lang = 0;
      outcome = sequence_.RunSilent(kDir, L"3.0.1", kLog, &lang);
    }
    EXPECT_EQ(outcome, InstallOutcome::kFilesNotUnpacked) << c.what;
    EXPECT_EQ(Log(), kFailure) << c.what;
    // The rest of the installation is there all the same.
    EXPECT_TRUE(Unpacked(L"core.dll", L"core.dll")) << c.what;
    EXPECT_EQ(h.HasFile(kDir + std::wstring(L"common.dat")), !c.damagedStream) << c.what;
    ExpectRegistered(1);
    if (c.dialog) {
      EXPECT_EQ(progress.events.back(), "message 114") << c.what;
      EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "step"), 5) << c.what;
    }
    EXPECT_TRUE(h.messages.empty()) << c.what;
  }
}

TEST_F(SequenceTest, DialogFormEndsTheProcessWhenThePackageCannotBeOpened) {
  for (const std::string& bytes : {std::string("MZ not a package"), std::string()}) {
    host().AddFile(kPackage, bytes);
    host().DeleteFile(zor::FromUtf8(kLog));
    ProgressLog progress;
    try {
      sequence_.RunDialog(progress, kPackage, kDir, L"3.0.1", 1, kLog);
      ADD_FAILURE() << "the process goes on";
    } catch (const zor::TestHost::ProcessExit& e) {
      EXPECT_EQ(e.code, 0u);
    }
    EXPECT_EQ(progress.events, (std::vector<std::string>{"status 110", "message 104"}));
    EXPECT_EQ(Log(), kFailure);
    // Nothing unpacked, nothing registered.
    EXPECT_FALSE(host().HasDirectory(kDir));
    EXPECT_FALSE(host().HasRegKey(zor::kHkeyLocalMachine, zor::kProductKey));
  }
}

TEST_F(SequenceTest, APackageWithoutFileGroupsStillRegistersAndSucceeds) {
  CInstallProject empty;
  empty.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  empty.GetProjectInfo()->SetBuildLogPath(L"C:\\Out\\build.log");
  ASSERT_EQ(bench_.Build(empty, kPackage), zor::kResultOk);
  ProgressLog progress;
  EXPECT_EQ(sequence_.RunDialog(progress, kPackage, kDir, L"3.0.1", 1, kLog), InstallOutcome::kInstalled);
  // No files: the bar keeps the range it has.
  EXPECT_EQ(progress.events, (std::vector<std::string>{"status 110", "status 109", "status 111", "status 112",
                                                       "status 113"}));
  EXPECT_EQ(Log(), kDialogSuccess);
  ExpectRegistered(1);
}

}  // namespace
