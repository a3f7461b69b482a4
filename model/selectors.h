// Selectors: steps whose Run tests the machine the setup runs on. Run
// returns 0 when the test passes and 2 when it fails; the administrator and
// operating-system selectors tell the user before they return 2.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/archive.h"
#include "model/condition.h"
#include "model/stream_object.h"

class CAdminSelect : public CStreamObject {
  DECLARE_SERIAL(CAdminSelect)
 public:
  CAdminSelect() = default;

  int GetCheckEnabled() const { return m_bCheck; }
  void SetCheckEnabled(int check) { m_bCheck = check; }
  // Not GetMessage: that name is a macro wherever <windows.h> is included.
  const std::wstring& GetMessageText() const { return m_strMessage; }
  void SetMessageText(const std::wstring& text) { m_strMessage = text; }
  const std::wstring& GetCaption() const { return m_strCaption; }
  void SetCaption(const std::wstring& text) { m_strCaption = text; }

  void Serialize(CArchive& ar) override;
  // Only an administrator may open the first physical drive for reading.
  int Run() override;

 private:
  int32_t m_bCheck = 1;
  std::wstring m_strMessage = L"You do not have administrator priviledge.";
  std::wstring m_strCaption = L"Error";
};

class COSSelect : public CStreamObject {
  DECLARE_SERIAL(COSSelect)
 public:
  COSSelect() = default;

  // Appends `code`; always 1.
  int AddCode(uint32_t code);
  // Removes the first entry equal to `code`; 0 when there is none.
  int RemoveCode(uint32_t code);
  void Clear() { m_codes.clear(); }
  int GetCodeCount() const { return static_cast<int>(m_codes.size()); }
  const std::vector<uint32_t>& GetCodes() const { return m_codes; }
  // Shown as it is: its "%s" stays in the text, as callers have always seen it.
  const std::wstring& GetMessageText() const { return m_strMessage; }
  void SetMessageText(const std::wstring& text) { m_strMessage = text; }
  const std::wstring& GetCaption() const { return m_strCaption; }
  void SetCaption(const std::wstring& text) { m_strCaption = text; }

  void Serialize(CArchive& ar) override;
  int Run() override;

 private:
  std::vector<uint32_t> m_codes;
  std::wstring m_strMessage = L"Not support %s operating system";
  std::wstring m_strCaption = L"Error";
};

class CLangSelect : public CStreamObject {
  DECLARE_SERIAL(CLangSelect)
 public:
  CLangSelect() = default;

  // Appends `langId`; always 1.
  int AddLang(uint32_t langId);
  // Removes the first entry equal to `langId`; 0 when there is none.
  int RemoveLang(uint32_t langId);
  void Clear() { m_langs.clear(); }
  int GetLangCount() const { return static_cast<int>(m_langs.size()); }
  const std::vector<uint32_t>& GetLangs() const { return m_langs; }

  void Serialize(CArchive& ar) override;
  // Holds a choice of languages; it has nothing to test.
  int Run() override;

 private:
  std::vector<uint32_t> m_langs;
};

class CAutoSelect : public CStreamObject {
  DECLARE_SERIAL(CAutoSelect)
 public:
  CAutoSelect() = default;
  CAutoSelect(const CAutoSelect&) = delete;
  CAutoSelect& operator=(const CAutoSelect&) = delete;

  // Takes `condition` over; a null one is ignored.
  void AddCondition(CInstallCondition* condition) { m_table.AddCondition(condition); }
  // Unlinks and destroys `condition`; false when the table does not hold it.
  bool RemoveCondition(const CInstallCondition* condition) { return m_table.RemoveCondition(condition); }
  CInstallConditionTable& GetTable() { return m_table; }
  const CInstallConditionTable& GetTable() const { return m_table; }

  void Serialize(CArchive& ar) override;
  // Passes when some condition fits the running machine.
  int Run() override;

 private:
  CInstallConditionTable m_table;
};
