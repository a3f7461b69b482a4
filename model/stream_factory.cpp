#include "model/stream_factory.h"

std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateByType(int type) {
  switch (type) {
    case kStepSplash:
      return CreateSplashDlg();
    case kStepInformation:
      return CreateInformationDlg();
    case kStepIntroduction:
      return CreateIntroDlg();
    case kStepLicense:
      return CreateLicenseDlg();
    case kStepRegistryLong:
      return CreateRegistryLongDlg();
    case kStepRegistryShort:
      return CreateRegistryShortDlg();
    // kStepDirectory makes nothing on purpose. Projects built so far have no
    // "[Directory Dialog]" step, and a new default project must produce the
    // same bytes as they do; CreateDirSelectDlg is there for whoever wants
    // such a step explicitly. Projects that hold one load all the same.
    case kStepProgress:
      return CreateExtractDlg();
    case kStepFinish:
    case kStepFinishReboot:
      return CreateFinishDlg();
    case kStepOSSelect:
      return CreateOSSelect();
    case kStepAdminSelect:
      return CreateAdminSelect();
    case kStepLangSelect:
      return CreateLangSelect();
    case kStepAutoSelect:
      return CreateAutoSelect();
    default:
      return nullptr;
  }
}

std::unique_ptr<CSplashDlgObject> CCustomStreamObjectFactory::CreateSplashDlg() {
  return std::make_unique<CSplashDlgObject>();
}
std::unique_ptr<CIntroDLgObject> CCustomStreamObjectFactory::CreateIntroDlg() {
  return std::make_unique<CIntroDLgObject>();
}
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateInformationDlg() {
  return std::make_unique<CStreamObject>();
}
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateLicenseDlg() {
  return std::make_unique<CStreamObject>();
}
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateRegistryLongDlg() {
  return std::make_unique<CStreamObject>();
}
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateRegistryShortDlg() {
  return std::make_unique<CStreamObject>();
}
std::unique_ptr<CDirSelectDlgObject> CCustomStreamObjectFactory::CreateDirSelectDlg() {
  return std::make_unique<CDirSelectDlgObject>();
}
std::unique_ptr<CExtractDlgObject> CCustomStreamObjectFactory::CreateExtractDlg() {
  return std::make_unique<CExtractDlgObject>();
}
std::unique_ptr<CFinishDlgObject> CCustomStreamObjectFactory::CreateFinishDlg() {
  return std::make_unique<CFinishDlgObject>();
}
std::unique_ptr<CFinishDlgObject> CCustomStreamObjectFactory::CreateFinishRebootDlg() {
  return std::make_unique<CFinishDlgObject>();
}
std::unique_ptr<COSSelect> CCustomStreamObjectFactory::CreateOSSelect() { return std::make_unique<COSSelect>(); }
std::unique_ptr<CAdminSelect> CCustomStreamObjectFactory::CreateAdminSelect() {
  return std::make_unique<CAdminSelect>();
}
std::unique_ptr<CLangSelect> CCustomStreamObjectFactory::CreateLangSelect() { return std::make_unique<CLangSelect>(); }
std::unique_ptr<CAutoSelect> CCustomStreamObjectFactory::CreateAutoSelect() { return std::make_unique<CAutoSelect>(); }

std::unique_ptr<CStreamObjectFactory> GetStreamObjectFactory() {
  return std::make_unique<CCustomStreamObjectFactory>();
}

namespace {

struct PreStep {
  const wchar_t* name;
  int enabled;
  int type;
};

// Flow order, which is not the order of the type numbers.
const PreStep kPreSteps[] = {
    {L"[Splash Dialog]", 1, kStepSplash},
    {L"[Introduction Dialog]", 1, kStepIntroduction},
    {L"[Information Dialog]", 0, kStepInformation},
    {L"[License Dialog]", 0, kStepLicense},
    {L"[Registry Long Dialog]", 0, kStepRegistryLong},
    {L"[Registry Short Dialog]", 0, kStepRegistryShort},
    {L"[Directory Dialog]", 1, kStepDirectory},
    {L"[Progress Dialog]", 1, kStepProgress},
    {L"[Finish Dialog]", 1, kStepFinish},
    {L"[Finish Reboot Dialog]", 0, kStepFinishReboot},
};

}  // namespace

CPreStreamObjectTable::CPreStreamObjectTable() {
  std::unique_ptr<CStreamObjectFactory> factory = GetStreamObjectFactory();
  for (const PreStep& row : kPreSteps) {
    std::unique_ptr<CStreamObject> step = factory->CreateByType(row.type);
    if (!step) continue;  // a type the factory does not make is left out
    step->SetName(row.name);
    step->SetEnabled(row.enabled);
    step->SetType(row.type);
    m_steps.AddTail(step.release());
  }
}

std::vector<std::unique_ptr<CStreamObject>> CPreStreamObjectTable::TakeSteps() {
  std::vector<std::unique_ptr<CStreamObject>> out;
  out.reserve(m_steps.GetCount());
  while (CStreamObject* head = m_steps.GetHead()) out.emplace_back(m_steps.Release(head));
  return out;
}

std::unique_ptr<CPreStreamObjectTable> GetPreStreamObjectTable() { return std::make_unique<CPreStreamObjectTable>(); }
