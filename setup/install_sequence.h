// The installation sequence: unpack the shared file group and the chosen
// language's group into the install folder, then run the install actions in
// their fixed order and report the outcome in the result log.
//
// One implementation serves both ways the setup installs: the silent form,
// run by start-up without any window, and the dialog form, run by the
// install page, which shows what is happening through IInstallProgress.
//
// No step stops the sequence: an action that fails leaves the others to
// run. Files that could not be unpacked are the one failure the outcome
// reports: the result log then gets the failure line instead of the success
// line, and the dialog form tells the user, so an incomplete product never
// passes for an installed one.
#pragma once

#include <cstdint>
#include <string>

#include "engine/extract.h"
#include "setup/install_actions.h"

namespace zor {

// What the install page shows; string ids are those of the current
// resource source.
class IInstallProgress {
 public:
  virtual ~IInstallProgress() = default;
  // The status line shows string `stringId`.
  virtual void ShowStatus(uint32_t stringId) = 0;
  // The bar runs from 0 to `upper` (more than 0) and starts at 0.
  virtual void SetProgressRange(int32_t upper) = 0;
  // The bar advances one step: one more file is in place.
  virtual void StepProgress() = 0;
  // Handles the window messages that are waiting, so the page repaints and
  // stays responsive while files are unpacked.
  virtual void PumpMessages() = 0;
  // A message box owned by the page: text string `stringId`, caption string
  // 102, an OK button and the information icon.
  virtual void ShowMessage(uint32_t stringId) = 0;
};

enum class InstallOutcome {
  kInstalled,         // every file of both groups is in place
  kFilesNotUnpacked,  // at least one file of the groups could not be unpacked
};

// The shared file group every installation unpacks.
extern const wchar_t kCommonGroup[];  // "Common"

class CInstallSequence {
 public:
  // Neither is owned; both must outlive the sequence.
  CInstallSequence(CMyExtract& extract, CInstallActions& actions) : m_extract(extract), m_actions(actions) {}

  // The silent form. The package is already open in the extractor. The
  // language group is the one of the system's default language, whose row
  // then becomes `*langIndex`; without such a row no language group is
  // unpacked and `*langIndex` is kept. Writes "ResultCode=0" on success.
  InstallOutcome RunSilent(const std::wstring& installDir, const std::wstring& version,
                           const std::string& resultLog, int32_t* langIndex);

  // The dialog form. Opens `packagePath` in the extractor first; when it
  // cannot be opened: message 104, the failure lines, and the process ends
  // (nothing has been unpacked or registered at that point). `langIndex`
  // outside the language table unpacks no language group but is still
  // registered. Writes "ResultCode = 0" on success.
  InstallOutcome RunDialog(IInstallProgress& progress, const std::wstring& packagePath,
                           const std::wstring& installDir, const std::wstring& version, int32_t langIndex,
                           const std::string& resultLog);

  // Files (not folders) of the named group that an extraction unpacks; 0
  // when the open package has no such group.
  int32_t CountGroupFiles(const std::wstring& group) const;

 private:
  struct Unpacking;
  // The extractor's progress callback; `userData` is the Unpacking state.
  static void InstallProgressCallback(int32_t code, void* data, void* userData);
  // Unpacks `group` below `dir`; false when a file of it was not unpacked.
  bool UnpackGroup(const std::wstring& dir, const std::wstring& group, Unpacking& state);
  // Every step after the unpacking, then the result lines.
  void RunActions(const std::wstring& dir, const std::wstring& version, int32_t langIndex,
                  IInstallProgress* progress);

  CMyExtract& m_extract;
  CInstallActions& m_actions;
};

// `dir` with a backslash at its end.
std::wstring WithTrailingBackslash(const std::wstring& dir);

}  // namespace zor
