#include "setup/win32/dialog_sel_lang.h"

#include "setup/language_table.h"
#include "setup/startup.h"

namespace zor {

namespace {

std::wstring* ApplicationInstallFolder() {
  CSetupStartup* app = dynamic_cast<CSetupStartup*>(AfxGetApp());
  return app ? &app->m_strInstallDir : nullptr;
}

std::wstring WindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

}  // namespace

CDialogSelLang::CDialogSelLang() : CPage(IDD_SELECT_LANGUAGE), m_page(ApplicationInstallFolder()) {}

BOOL CDialogSelLang::OnInitDialog() {
  m_ctrlLanguage = ::GetDlgItem(m_hWnd, IDC_SELLANG_LANGUAGE);
  m_editFolder = ::GetDlgItem(m_hWnd, IDC_SELLANG_FOLDER);

  CLanguagePage::Initial initial = m_page.Initialize();
  m_strDefaultFolder = initial.folderText;
  // The field's change event copies the text into the install folder.
  ::SetWindowTextW(m_editFolder, m_strDefaultFolder.c_str());

  for (int row = 0; row < kLanguageCount; ++row)
    ::SendMessageW(m_ctrlLanguage, CB_INSERTSTRING, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(GetLanguageRow(row)->listText));
  if (initial.selection) ::SendMessageW(m_ctrlLanguage, CB_SETCURSEL, static_cast<WPARAM>(*initial.selection), 0);
  return TRUE;
}

bool CDialogSelLang::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (message == WM_COMMAND) {
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (id == IDC_SELLANG_LANGUAGE && code == CBN_SELCHANGE) {
      OnSelectionChange();
      *result = 0;
      return true;
    }
    if (id == IDC_SELLANG_FOLDER && code == EN_CHANGE) {
      OnFolderChange();
      *result = 0;
      return true;
    }
    if (id == IDC_SELLANG_BROWSE && code == BN_CLICKED) {
      OnBrowse();
      *result = 0;
      return true;
    }
  }
  return CPage::OnMessage(message, wParam, lParam, result);
}

void CDialogSelLang::OnSelectionChange() {
  LRESULT selection = ::SendMessageW(m_ctrlLanguage, CB_GETCURSEL, 0, 0);
  m_page.SelectionChanged(static_cast<int>(selection));
}

void CDialogSelLang::OnFolderChange() { m_page.FolderTextChanged(WindowText(m_editFolder)); }

void CDialogSelLang::OnBrowse() {
  CDirDialog dialog;
  std::optional<std::wstring> folder = m_page.Browse(dialog);
  if (folder) ::SetWindowTextW(m_editFolder, folder->c_str());
}

}  // namespace zor
