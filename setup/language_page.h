// What the language and destination page decides: the default folder, the
// preselected row, the selection and text rules and the Browse rule. The
// Win32 page (CDialogSelLang) only moves values between these and its
// controls.
#pragma once

#include <optional>
#include <string>

#include "engine/dir_dialog.h"

namespace zor {

// "<Program Files>\Tarvex\Lumaglimpse\"; "\Tarvex\Lumaglimpse\" when the
// Program Files folder cannot be had.
std::wstring DefaultInstallFolderText();

// The row for the system's default language, if the table has one: what
// both language lists preselect.
std::optional<int> SystemLanguageSelection();

// A chosen folder as the install folder: a backslash at the end, and
// "Lumaglimpse\" appended unless the path names "Lumaglimpse" already
// (case-sensitive).
std::wstring ApplyBrowseRule(std::wstring path);

class CLanguagePage {
 public:
  // `installDir`: the process-wide install folder the page keeps equal to
  // its field (not owned).
  explicit CLanguagePage(std::wstring* installDir) : m_pInstallDir(installDir) {}

  // Initialisation: the default folder text for the field (the field's
  // change event then copies it) and the row to select, which also becomes
  // the current language index. No row: no selection, index unchanged.
  struct Initial {
    std::wstring folderText;
    std::optional<int> selection;
  };
  Initial Initialize();

  // The list's selection (a negative value: none); only rows 0 to 21 change
  // the current language index.
  void SelectionChanged(int selection);

  // The field's whole text, unvalidated, becomes the install folder.
  void FolderTextChanged(const std::wstring& text);

  // Runs `dialog` without owner; the chosen folder with the Browse rule
  // applied is the new field text and install folder. Cancelled: nothing.
  std::optional<std::wstring> Browse(CDirDialog& dialog);

 private:
  std::wstring* m_pInstallDir;
};

}  // namespace zor
