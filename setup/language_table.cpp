#include "setup/language_table.h"

namespace zor {
namespace {

using R = SubLanguageRule;

// Row order is fixed: it is the number stored as "Lang" in the registry and
// the position in both language lists. The agreement ids do not follow row
// order; they are what the resources carry. "Tranditional" is the file group
// name in every package and must stay spelled so.
const LanguageRow kRows[kLanguageCount] = {
    {L"简体中文", {4, 0, 0}, R::kOnly, 2, L"Install.dll", 139, L"China"},
    {L"English", {9, 13, 1}, R::kAny, 0, L"InstallEn.dll", 140, L"English"},
    {L"Français", {12, 0, 0}, R::kAny, 0, L"InstallFr.dll", 141, L"France"},
    {L"Deutsch", {7, 0, 0}, R::kAny, 0, L"InstallGe.dll", 145, L"German"},
    {L"Русский", {25, 0, 0}, R::kAny, 0, L"InstallRu.dll", 144, L"Russia"},
    {L"繁體中文", {4, 0, 0}, R::kAllBut, 2, L"InstallTr.dll", 143, L"Tranditional"},
    {L"한국어", {18, 0, 0}, R::kAny, 0, L"InstallKo.dll", 142, L"Korean"},
    {L"日本の", {17, 0, 0}, R::kAny, 0, L"InstallJap.dll", 164, L"Japan"},
    {L"Português", {22, 0, 0}, R::kAllBut, 1, L"InstallPtg.dll", 166, L"Portuguese"},
    {L"Italiano", {16, 0, 0}, R::kAny, 0, L"InstallIta.dll", 163, L"Italy"},
    {L"Español", {10, 0, 0}, R::kAny, 0, L"InstallSpa.dll", 165, L"Spanish"},
    {L"Česky", {5, 0, 0}, R::kAny, 0, L"InstallCzech.dll", 167, L"Czech"},
    {L"Dansk", {6, 0, 0}, R::kAny, 0, L"InstallDanish.dll", 168, L"Danish"},
    {L"Nederlands", {19, 0, 0}, R::kAny, 0, L"InstallDutch.dll", 169, L"Dutch"},
    {L"Suomi", {11, 0, 0}, R::kAny, 0, L"InstallFinnish.dll", 170, L"Finnish"},
    {L"Ελληνικά", {8, 0, 0}, R::kAny, 0, L"InstallGreek.dll", 171, L"Greek"},
    {L"Magyar", {14, 0, 0}, R::kAny, 0, L"InstallHungarian.dll", 172, L"Hungarian"},
    {L"Norsk", {20, 0, 0}, R::kAny, 0, L"InstallNorwegian.dll", 173, L"Norwegian"},
    {L"Polski", {21, 0, 0}, R::kAny, 0, L"InstallPolish.dll", 174, L"Polish"},
    {L"Português (Brasileiro) ", {22, 0, 0}, R::kOnly, 1, L"InstallPT-BR.dll", 175, L"PT-BR"},
    {L"Svenska", {29, 0, 0}, R::kAny, 0, L"InstallSwedish.dll", 177, L"Swedish"},
    {L"Türkçe", {31, 0, 0}, R::kAny, 0, L"InstallTurkish.dll", 176, L"Turkish"},
};

bool RowTakes(const LanguageRow& row, uint16_t primary, uint16_t sub) {
  bool primaryMatches = false;
  for (uint16_t p : row.primaries)
    if (p != 0 && p == primary) primaryMatches = true;
  if (!primaryMatches) return false;
  switch (row.subRule) {
    case SubLanguageRule::kAny: return true;
    case SubLanguageRule::kOnly: return sub == row.subLanguage;
    case SubLanguageRule::kAllBut: return sub != row.subLanguage;
  }
  return false;
}

}  // namespace

const wchar_t kAgreementResourceType[] = L"SFX_TEXT";

const LanguageRow* GetLanguageRow(int index) {
  return index >= 0 && index < kLanguageCount ? &kRows[index] : nullptr;
}

std::optional<int> FindLanguageRow(uint16_t langId) {
  uint16_t primary = PrimaryLanguage(langId), sub = SubLanguage(langId);
  for (int i = 0; i < kLanguageCount; ++i)
    if (RowTakes(kRows[i], primary, sub)) return i;
  return std::nullopt;
}

}  // namespace zor
