// What the wizard frame decides, kept apart from its windows: the state of
// the buttons, pages and step list for each page, what Next does, and the
// icon and label of each row of a step list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zor {

// Wizard page indices.
enum WizardPage : int {
  kPageFlash = 0,
  kPageWelcome = 1,
  kPageAgreement = 2,
  kPageLanguage = 3,
  kPageInstall = 4,
  kPageFinish = 5,
};

// A property a page turn sets, or leaves as it was.
enum class Change : uint8_t { kKeep, kOn, kOff };

struct WizardPageState {
  Change backEnabled = Change::kKeep;
  Change backVisible = Change::kKeep;
  Change printEnabled = Change::kKeep;
  Change printVisible = Change::kKeep;
  Change nextEnabled = Change::kKeep;
  Change cancelEnabled = Change::kKeep;
  Change cancelVisible = Change::kKeep;
  // Pages to hide and then the one to show (page indices), in this order.
  std::vector<int> hide;
  int show = -1;
  // String ids for the Next and Cancel texts; 0 leaves a text alone.
  uint32_t nextTextId = 0;
  uint32_t cancelTextId = 0;
  bool focusNext = false;
  // The row the step list selects (1-based); `maintenanceList` picks the
  // two-row list of a repair run over the five-row one.
  int step = 0;
  bool maintenanceList = false;
};

// The turn to page `index` (1 to 5) in the given mode; nullopt for an index
// that shows nothing. For page 4 it is the state once the destination
// folder has been accepted.
std::optional<WizardPageState> PageStateFor(int index, bool maintenance);

// What a click on Next means.
enum class NextAction { kNextPage, kClose, kRestart };

// `nextText` is the Next button's current text and `finishText` string 116:
// equal means Finish. There the restart-later choice closes the wizard and
// the default restarts the computer. `restartLater` is null when the finish
// page does not exist. Only page 5 can be the finish page: a module whose
// Next and Finish texts are the same (both missing, say) must not restart
// the computer from an earlier page.
NextAction DecideNext(int page, const std::wstring& nextText, const std::wstring& finishText,
                      const int* restartLater);

// Step-state icons (resources of the program itself).
enum StepIcon : uint32_t { kStepIconDone = 147, kStepIconCurrent = 148, kStepIconPending = 149 };

struct StepRowState {
  uint32_t icon;
  bool labelEnabled;
};

// The rows of a step list of `rows` rows with step `step` selected: rows
// before it done, the step itself current, rows after it pending (label
// disabled); the last step marks every row done. nullopt when `step` is not
// a row, which changes nothing.
std::optional<std::vector<StepRowState>> StepListStates(int rows, int step);

}  // namespace zor
