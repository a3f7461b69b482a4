// Small text helpers of the template check: UTF-8 for the report and the
// mnemonic ("&x") of a control text.
#ifndef ZOR_TESTS_UI_UI_TEXT_H
#define ZOR_TESTS_UI_UI_TEXT_H

#include <string>

namespace zor::ui_check {

std::string Utf8(const std::wstring& text);

// "&&" is a literal ampersand, not a mnemonic.
int CountMnemonics(const std::wstring& text);

// The key of the text's first mnemonic, lower case; 0 when it has none.
wchar_t MnemonicKey(const std::wstring& text);

}  // namespace zor::ui_check

#endif
