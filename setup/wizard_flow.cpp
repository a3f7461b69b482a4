#include "setup/wizard_flow.h"

#include "setup/string_source.h"

namespace zor {

std::optional<WizardPageState> PageStateFor(int index, bool maintenance) {
  WizardPageState s;
  switch (index) {
    case kPageWelcome:
      s.backEnabled = Change::kOff;
      s.printVisible = Change::kOff;
      s.hide = {kPageAgreement};
      s.show = kPageWelcome;
      s.nextTextId = kIdsNext;
      s.cancelTextId = kIdsCancel;
      s.focusNext = true;
      s.step = 1;
      break;
    case kPageAgreement:
      s.backEnabled = Change::kOn;
      s.printVisible = Change::kOn;
      s.hide = {kPageWelcome, kPageLanguage};
      s.show = kPageAgreement;
      s.nextTextId = kIdsAccept;
      s.cancelTextId = kIdsDecline;
      s.focusNext = true;
      s.step = 2;
      break;
    case kPageLanguage:
      s.printVisible = Change::kOff;
      s.hide = {kPageWelcome, kPageAgreement};
      s.show = kPageLanguage;
      s.nextTextId = kIdsNext;
      s.cancelTextId = kIdsCancel;
      s.focusNext = true;
      s.step = 3;
      break;
    case kPageInstall:
      s.backEnabled = Change::kOff;
      s.printEnabled = Change::kOff;
      s.nextEnabled = Change::kOff;
      s.cancelEnabled = Change::kOff;
      s.hide = {kPageLanguage, kPageAgreement};
      s.show = kPageInstall;
      s.step = maintenance ? 1 : 4;
      s.maintenanceList = maintenance;
      break;
    case kPageFinish:
      s.backEnabled = Change::kOff;
      s.backVisible = Change::kOff;
      s.cancelEnabled = Change::kOff;
      s.cancelVisible = Change::kOff;
      s.nextEnabled = Change::kOn;
      s.hide = {kPageInstall};
      s.show = kPageFinish;
      s.nextTextId = kIdsFinish;
      s.focusNext = true;
      s.step = maintenance ? 2 : 5;
      s.maintenanceList = maintenance;
      break;
    default:
      return std::nullopt;
  }
  return s;
}

NextAction DecideNext(int page, const std::wstring& nextText, const std::wstring& finishText,
                      const int* restartLater) {
  if (page != kPageFinish || nextText != finishText) return NextAction::kNextPage;
  if (restartLater && *restartLater == 1) return NextAction::kClose;
  return NextAction::kRestart;
}

std::optional<std::vector<StepRowState>> StepListStates(int rows, int step) {
  if (step < 1 || step > rows) return std::nullopt;
  std::vector<StepRowState> out;
  for (int row = 1; row <= rows; ++row) {
    if (step == rows || row < step)
      out.push_back({kStepIconDone, true});
    else if (row == step)
      out.push_back({kStepIconCurrent, true});
    else
      out.push_back({kStepIconPending, false});
  }
  return out;
}

}  // namespace zor
