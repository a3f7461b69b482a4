// The agreement page's text: which agreement a list selection shows and how
// its resource becomes the text.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

// The agreement shown with no selection (the first row's).
constexpr uint32_t kDefaultAgreementId = 139;

// The "SFX_TEXT" id for list selection `selection` (a row 0 to 21; anything
// else is no selection).
uint32_t AgreementIdForSelection(int selection);

// The stored bytes as text: UTF-16LE code units, the byte-order mark kept,
// the last code unit (the final line feed) dropped. A trailing odd byte is
// no code unit and is ignored.
std::wstring DecodeAgreementText(const std::string& bytes);

// The text of agreement `id` from the program itself (never a language
// module). False, and `text` untouched, when the resource is missing.
bool LoadAgreementText(uint32_t id, std::wstring* text);

}  // namespace zor
