#include "setup/install_sequence.h"

#include "model/file_list.h"
#include "model/obtree.h"
#include "platform/host.h"
#include "setup/language_table.h"
#include "setup/result_log.h"
#include "setup/string_source.h"

namespace zor {

const wchar_t kCommonGroup[] = L"Common";

std::wstring WithTrailingBackslash(const std::wstring& dir) {
  if (!dir.empty() && dir.back() == L'\\') return dir;
  return dir + L"\\";
}

// Shared by the extractor's callbacks during one run.
struct CInstallSequence::Unpacking {
  IInstallProgress* progress = nullptr;  // null in the silent form
  int32_t unpacked = 0;                  // files the extractor reported in place
};

namespace {

int32_t CountFiles(const CNode* node) {
  if (!node) return 0;
  int32_t count = 0;
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  if (item && !item->GetFolderFlag() && !item->GetPredefinedFlag()) ++count;
  for (int i = 0; i < node->GetChildCount(); ++i) count += CountFiles(node->GetChild(i));
  return count;
}

}  // namespace

// The extractor reports every file it has put in place with 1001; that is
// how the sequence learns which files made it, since a group's extraction
// goes on past a file that fails.
void CInstallSequence::InstallProgressCallback(int32_t code, void* /*data*/, void* userData) {
  auto* state = static_cast<Unpacking*>(userData);
  if (state->progress) state->progress->PumpMessages();
  if (code == kProgressFileEnd) {
    ++state->unpacked;
    if (state->progress) state->progress->StepProgress();
  }
}

int32_t CInstallSequence::CountGroupFiles(const std::wstring& group) const {
  const CExtractFileList* list = m_extract.GetProject()->FindFileGroup(group);
  return list ? CountFiles(list->GetTree().GetRoot()) : 0;
}

bool CInstallSequence::UnpackGroup(const std::wstring& dir, const std::wstring& group, Unpacking& state) {
  int32_t expected = CountGroupFiles(group);
  int32_t before = state.unpacked;
  m_extract.ExtractGroup(dir, group, &InstallProgressCallback, &state);
  // A file the extractor refused, skipped or could not write never reports
  // itself done. A group the package lacks has nothing to unpack.
  return state.unpacked - before >= expected;
}

void CInstallSequence::RunActions(const std::wstring& dir, const std::wstring& version, int32_t langIndex,
                                  IInstallProgress* progress) {
  auto status = [progress](uint32_t id) {
    if (progress) progress->ShowStatus(id);
  };
  m_actions.m_strInstallDir = dir;
  status(kIdsCreatingShortcuts);
  m_actions.CreateShortcuts(false);
  status(kIdsInstallingDrivers);
  m_actions.InstallDriver();
  status(kIdsRegisteringUninstall);
  m_actions.RegisterUninstall(kProductName, CInstallActions::UninstallCommand(dir));
  status(kIdsRegisteringSoftware);
  m_actions.RegisterProduct(kProductName, CInstallActions::ProgramPath(dir), dir, version, kProductCompany,
                            langIndex);
  m_actions.DeployFiles();
}

InstallOutcome CInstallSequence::RunSilent(const std::wstring& installDir, const std::wstring& version,
                                           const std::string& resultLog, int32_t* langIndex) {
  std::wstring dir = WithTrailingBackslash(installDir);
  m_extract.SetDestination(dir);
  Unpacking state;
  bool complete = UnpackGroup(dir, kCommonGroup, state);
  if (std::optional<int> row = FindLanguageRow(CurrentHost().SystemDefaultLangId())) {
    complete = UnpackGroup(dir, GetLanguageRow(*row)->component, state) && complete;
    *langIndex = *row;
  }
  RunActions(dir, version, *langIndex, nullptr);
  WriteResult(resultLog, complete ? kResultSilentSuccess : kResultPackageDamaged);
  return complete ? InstallOutcome::kInstalled : InstallOutcome::kFilesNotUnpacked;
}

InstallOutcome CInstallSequence::RunDialog(IInstallProgress& progress, const std::wstring& packagePath,
                                           const std::wstring& installDir, const std::wstring& version,
                                           int32_t langIndex, const std::string& resultLog) {
  progress.ShowStatus(kIdsCopyingFiles);
  m_extract.SetPackagePath(packagePath);
  if (m_extract.Open(packagePath) != kResultOk) {
    progress.ShowMessage(kIdsPackageDamaged);
    WriteResult(resultLog, kResultPackageDamaged);
    CurrentHost().ExitProcess(0);
  }
  std::wstring dir = WithTrailingBackslash(installDir);
  m_extract.SetDestination(dir);

  const LanguageRow* row = GetLanguageRow(langIndex);
  // One step per file, so the bar fills exactly once whatever the number of
  // files, instead of starting over after a hundred.
  int32_t files = CountGroupFiles(kCommonGroup) + (row ? CountGroupFiles(row->component) : 0);
  if (files > 0) progress.SetProgressRange(files);

  Unpacking state;
  state.progress = &progress;
  bool complete = UnpackGroup(dir, kCommonGroup, state);
  if (row) complete = UnpackGroup(dir, row->component, state) && complete;

  RunActions(dir, version, langIndex, &progress);
  WriteResult(resultLog, complete ? kResultDialogSuccess : kResultPackageDamaged);
  if (!complete) progress.ShowMessage(kIdsFilesNotUnpacked);
  return complete ? InstallOutcome::kInstalled : InstallOutcome::kFilesNotUnpacked;
}

}  // namespace zor
