#include "setup/language_page.h"

#include "platform/host.h"
#include "setup/language_table.h"
#include "setup/setup_globals.h"

namespace zor {

std::wstring DefaultInstallFolderText() {
  return CurrentHost().SpecialFolderPath(kCsidlProgramFiles) + L"\\Tarvex\\Lumaglimpse\\";
}

std::optional<int> SystemLanguageSelection() { return FindLanguageRow(CurrentHost().SystemDefaultLangId()); }

std::wstring ApplyBrowseRule(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  if (path.find(L"Lumaglimpse") == std::wstring::npos) path += L"Lumaglimpse\\";
  return path;
}

CLanguagePage::Initial CLanguagePage::Initialize() {
  Initial initial;
  initial.folderText = DefaultInstallFolderText();
  initial.selection = SystemLanguageSelection();
  if (initial.selection) g_nLangIndex = *initial.selection;
  return initial;
}

void CLanguagePage::SelectionChanged(int selection) {
  if (selection >= 0 && selection < kLanguageCount) g_nLangIndex = selection;
}

void CLanguagePage::FolderTextChanged(const std::wstring& text) {
  if (m_pInstallDir) *m_pInstallDir = text;
}

std::optional<std::wstring> CLanguagePage::Browse(CDirDialog& dialog) {
  if (!dialog.DoBrowse(0)) return std::nullopt;
  std::wstring folder = ApplyBrowseRule(dialog.m_strPath);
  if (m_pInstallDir) *m_pInstallDir = folder;
  return folder;
}

}  // namespace zor
