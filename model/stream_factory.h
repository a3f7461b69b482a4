// The step factory and the table of predefined steps a new component starts
// with.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/archive.h"
#include "model/file_object.h"
#include "model/selectors.h"
#include "model/stream_object.h"

// Makes steps. Every object comes back default-constructed and owned by the
// caller.
class CStreamObjectFactory {
 public:
  virtual int Reserved() = 0;
  // Types 1 to 14 as below; null for any other number and for 7 (see the
  // implementation).
  virtual std::unique_ptr<CStreamObject> CreateByType(int type) = 0;
  virtual std::unique_ptr<CSplashDlgObject> CreateSplashDlg() = 0;
  virtual std::unique_ptr<CIntroDLgObject> CreateIntroDlg() = 0;
  virtual std::unique_ptr<CStreamObject> CreateInformationDlg() = 0;
  virtual std::unique_ptr<CStreamObject> CreateLicenseDlg() = 0;
  virtual std::unique_ptr<CStreamObject> CreateRegistryLongDlg() = 0;
  virtual std::unique_ptr<CStreamObject> CreateRegistryShortDlg() = 0;
  virtual std::unique_ptr<CDirSelectDlgObject> CreateDirSelectDlg() = 0;
  virtual std::unique_ptr<CExtractDlgObject> CreateExtractDlg() = 0;
  virtual std::unique_ptr<CFinishDlgObject> CreateFinishDlg() = 0;
  virtual std::unique_ptr<CFinishDlgObject> CreateFinishRebootDlg() = 0;
  virtual std::unique_ptr<COSSelect> CreateOSSelect() = 0;
  virtual std::unique_ptr<CAdminSelect> CreateAdminSelect() = 0;
  virtual std::unique_ptr<CLangSelect> CreateLangSelect() = 0;
  virtual std::unique_ptr<CAutoSelect> CreateAutoSelect() = 0;
  virtual ~CStreamObjectFactory() = default;
};

// Step type numbers.
enum StepType {
  kStepSplash = 1,
  kStepInformation = 2,
  kStepIntroduction = 3,
  kStepLicense = 4,
  kStepRegistryLong = 5,
  kStepRegistryShort = 6,
  kStepDirectory = 7,
  kStepProgress = 8,
  kStepFinish = 9,
  kStepFinishReboot = 10,
  kStepOSSelect = 11,
  kStepAdminSelect = 12,
  kStepLangSelect = 13,
  kStepAutoSelect = 14,
};

class CCustomStreamObjectFactory : public CStreamObjectFactory {
 public:
  int Reserved() override { return 0; }
  std::unique_ptr<CStreamObject> CreateByType(int type) override;
  std::unique_ptr<CSplashDlgObject> CreateSplashDlg() override;
  std::unique_ptr<CIntroDLgObject> CreateIntroDlg() override;
  std::unique_ptr<CStreamObject> CreateInformationDlg() override;
  std::unique_ptr<CStreamObject> CreateLicenseDlg() override;
  std::unique_ptr<CStreamObject> CreateRegistryLongDlg() override;
  std::unique_ptr<CStreamObject> CreateRegistryShortDlg() override;
  std::unique_ptr<CDirSelectDlgObject> CreateDirSelectDlg() override;
  std::unique_ptr<CExtractDlgObject> CreateExtractDlg() override;
  std::unique_ptr<CFinishDlgObject> CreateFinishDlg() override;
  std::unique_ptr<CFinishDlgObject> CreateFinishRebootDlg() override;
  std::unique_ptr<COSSelect> CreateOSSelect() override;
  std::unique_ptr<CAdminSelect> CreateAdminSelect() override;
  std::unique_ptr<CLangSelect> CreateLangSelect() override;
  std::unique_ptr<CAutoSelect> CreateAutoSelect() override;
};

// A new factory on every call.
std::unique_ptr<CStreamObjectFactory> GetStreamObjectFactory();

// The predefined steps, in flow order, named and typed, ready to be handed to
// a component. The table owns its steps until they are taken; whatever is
// never taken is destroyed with the table. Never stored, so it has no class
// record of its own.
class CPreStreamObjectTable : public CFileObject {
 public:
  CPreStreamObjectTable();
  CPreStreamObjectTable(const CPreStreamObjectTable&) = delete;
  CPreStreamObjectTable& operator=(const CPreStreamObjectTable&) = delete;

  // The steps still held, for looking at.
  const CTypedPtrList<CStreamObject>& GetSteps() const { return m_steps; }
  size_t GetCount() const { return m_steps.GetCount(); }
  // Hands every step over, in order, and leaves the table empty.
  std::vector<std::unique_ptr<CStreamObject>> TakeSteps();

 private:
  CTypedPtrList<CStreamObject> m_steps;
};

// A new table, with new steps, on every call; the caller owns it.
std::unique_ptr<CPreStreamObjectTable> GetPreStreamObjectTable();
