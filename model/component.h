// CInstallCompent, a named sequence of steps making up one installation
// variant, and CInstallComponentMap.
#pragma once

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/stream_object.h"

class CInstallCompent : public CStreamObject {
  DECLARE_SERIAL(CInstallCompent)
 public:
  CInstallCompent() = default;
  ~CInstallCompent() override;
  CInstallCompent(const CInstallCompent&) = delete;
  CInstallCompent& operator=(const CInstallCompent&) = delete;

  // Appends `step` and takes it over; 0 for a null step, 1 otherwise.
  int AddStep(CStreamObject* step);
  // Unlinks and destroys `step`; 0 when the component does not hold it.
  int RemoveStep(const CStreamObject* step);
  // Destroys every step.
  void RemoveAllSteps();
  const CTypedPtrList<CStreamObject>& GetSteps() const { return m_steps; }

  const std::wstring& GetFirstText() const { return m_strText1; }
  void SetFirstText(const std::wstring& text) { m_strText1 = text; }
  const std::wstring& GetSecondText() const { return m_strText2; }
  void SetSecondText(const std::wstring& text) { m_strText2 = text; }
  int GetExtraWord() const { return m_nExtra; }
  void SetExtraWord(int value) { m_nExtra = value; }

  void Serialize(CArchive& ar) override;

 private:
  // Kept only so they survive a load and store; nothing interprets them.
  std::wstring m_strText1;
  std::wstring m_strText2;
  int32_t m_nExtra = 0;
  CTypedPtrList<CStreamObject> m_steps;
};

// Held by value in a project and never written; it has no members.
class CInstallComponentMap : public CFileObject {
  DECLARE_SERIAL(CInstallComponentMap)
};
