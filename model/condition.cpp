#include "model/condition.h"

#include <vector>

#include "model/os_code.h"
#include "platform/host.h"

IMPLEMENT_SERIAL(CInstallCondition, CFileObject, 0)
IMPLEMENT_SERIAL(CInstallConditionTable, CFileObject, 0)

void CInstallCondition::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strText);
  // The code goes before the language, although it is declared after it.
  ar.Exchange(m_dwOsCode);
  m_lang.Serialize(ar);
}

void CInstallConditionTable::AddCondition(CInstallCondition* condition) { m_conditions.AddTail(condition); }

bool CInstallConditionTable::RemoveCondition(const CInstallCondition* condition) {
  return m_conditions.Delete(condition);
}

namespace {
constexpr uint32_t kPrimaryMask = 0x3FF;
}

std::wstring CInstallConditionTable::FindText(uint32_t osCode, uint32_t langId) const {
  // Fitting candidates in list order. A negative language id was never set
  // (or is not a language at all) and fits nothing, not even by its low bits.
  std::vector<const CInstallCondition*> kept;
  for (const CInstallCondition* c : m_conditions) {
    if (c->GetOsCode() != osCode && c->GetOsCode() != 0) continue;
    int id = c->GetLanguage().GetLangId();
    if (id < 0) continue;
    uint32_t uid = static_cast<uint32_t>(id);
    if (uid == langId || uid == 0 || (uid & kPrimaryMask) == (langId & kPrimaryMask)) kept.push_back(c);
  }
  for (const CInstallCondition* c : kept)
    if (static_cast<uint32_t>(c->GetLanguage().GetLangId()) == langId) return c->GetText();
  for (const CInstallCondition* c : kept)
    if ((static_cast<uint32_t>(c->GetLanguage().GetLangId()) & kPrimaryMask) == (langId & kPrimaryMask))
      return c->GetText();
  for (const CInstallCondition* c : kept)
    if (c->GetLanguage().GetLangId() == 0) return c->GetText();
  return std::wstring();
}

std::wstring CInstallConditionTable::FindTextForThisMachine() const {
  return FindText(CurrentOsCode(), zor::CurrentHost().SystemDefaultLangId());
}

void CInstallConditionTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  m_conditions.Serialize(ar);
}
