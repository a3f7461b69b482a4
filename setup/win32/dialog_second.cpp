#include "setup/win32/dialog_second.h"

#include "setup/agreement_text.h"
#include "setup/language_page.h"
#include "setup/language_table.h"

namespace zor {

BOOL CDialogSecond::OnInitDialog() {
  EnableControlStyles();
  m_ctrlLanguage = ::GetDlgItem(m_hWnd, IDC_AGREEMENT_LANGUAGE);
  for (int row = 0; row < kLanguageCount; ++row)
    ::SendMessageW(m_ctrlLanguage, CB_INSERTSTRING, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(GetLanguageRow(row)->listText));
  if (std::optional<int> row = SystemLanguageSelection())
    ::SendMessageW(m_ctrlLanguage, CB_SETCURSEL, static_cast<WPARAM>(*row), 0);
  LoadText();
  return TRUE;
}

bool CDialogSecond::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_AGREEMENT_LANGUAGE && HIWORD(wParam) == CBN_SELCHANGE) {
    LoadText();
    *result = 0;
    return true;
  }
  return CPage::OnMessage(message, wParam, lParam, result);
}

void CDialogSecond::LoadText() {
  int selection = static_cast<int>(::SendMessageW(m_ctrlLanguage, CB_GETCURSEL, 0, 0));
  if (!LoadAgreementText(AgreementIdForSelection(selection), &m_strAgreement)) return;
  ::SetDlgItemTextW(m_hWnd, IDC_AGREEMENT_TEXT, m_strAgreement.c_str());
}

}  // namespace zor
