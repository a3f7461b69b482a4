// CInstallCondition, a text tied to an operating system and a language, and
// CInstallConditionTable, which picks the text that best fits a machine.
#pragma once

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/file_object.h"
#include "model/prelang.h"

class CInstallCondition : public CFileObject {
  DECLARE_SERIAL(CInstallCondition)
 public:
  CInstallCondition() = default;
  CInstallCondition(const CInstallCondition&) = default;
  CInstallCondition& operator=(const CInstallCondition&) = default;

  const std::wstring& GetText() const { return m_strText; }
  void SetText(const std::wstring& text) { m_strText = text; }
  // 0 fits every system.
  uint32_t GetOsCode() const { return m_dwOsCode; }
  void SetOsCode(uint32_t code) { m_dwOsCode = code; }
  // Language id 0 fits every language; -1 (never set) fits none.
  void SetLanguage(const CPreLang& lang) { m_lang = lang; }
  const CPreLang& GetLanguage() const { return m_lang; }
  CPreLang& GetLanguage() { return m_lang; }

  void Serialize(CArchive& ar) override;

 private:
  std::wstring m_strText;
  CPreLang m_lang;
  uint32_t m_dwOsCode = 0;
};

class CInstallConditionTable : public CFileObject {
  DECLARE_SERIAL(CInstallConditionTable)
 public:
  CInstallConditionTable() = default;
  CInstallConditionTable(const CInstallConditionTable&) = delete;
  CInstallConditionTable& operator=(const CInstallConditionTable&) = delete;

  // Appends `condition` and takes it over; a null one is ignored.
  void AddCondition(CInstallCondition* condition);
  // Unlinks and destroys `condition`; false when the table does not hold it.
  bool RemoveCondition(const CInstallCondition* condition);
  const CTypedPtrList<CInstallCondition>& GetConditions() const { return m_conditions; }

  // The text of the condition that best fits the system `osCode` with the
  // language `langId`; empty when none fits. Systems match exactly or by a
  // condition's code 0, and rank alike; among them an exact language wins
  // over the same primary language, which wins over "any language", and the
  // earlier condition wins a tie.
  std::wstring FindText(uint32_t osCode, uint32_t langId) const;
  // The same for the running machine and its default language.
  std::wstring FindTextForThisMachine() const;

  void Serialize(CArchive& ar) override;

 private:
  CTypedPtrList<CInstallCondition> m_conditions;
};
