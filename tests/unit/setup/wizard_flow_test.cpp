#include "setup/wizard_flow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using zor::Change;
using zor::NextAction;
using zor::PageStateFor;
using zor::StepRowState;
using zor::WizardPageState;

constexpr Change K = Change::kKeep, On = Change::kOn, Off = Change::kOff;

struct PageCase {
  int index;
  bool maintenance;
  Change backEnabled, backVisible, printEnabled, printVisible, nextEnabled, cancelEnabled, cancelVisible;
  std::vector<int> hide;
  int show;
  uint32_t nextText, cancelText;
  bool focusNext;
  int step;
  bool maintenanceList;
};

// Every page both modes can turn to. The agreement page shows Print and
// Accept/Decline; the install page locks every button; the finish page
// leaves Finish alone.
const PageCase kPages[] = {
    {1, false, Off, K, K, Off, K, K, K, {2}, 1, 129, 130, true, 1, false},
    {2, false, On, K, K, On, K, K, K, {1, 3}, 2, 127, 128, true, 2, false},
    {3, false, K, K, K, Off, K, K, K, {1, 2}, 3, 129, 130, true, 3, false},
    {4, false, Off, K, Off, K, Off, Off, K, {3, 2}, 4, 0, 0, false, 4, false},
    {5, false, Off, Off, K, K, On, Off, Off, {4}, 5, 116, 0, true, 5, false},
    {4, true, Off, K, Off, K, Off, Off, K, {3, 2}, 4, 0, 0, false, 1, true},
    {5, true, Off, Off, K, K, On, Off, Off, {4}, 5, 116, 0, true, 2, true},
    // A repair run never reaches the first pages, but the table does not
    // depend on the mode there.
    {2, true, On, K, K, On, K, K, K, {1, 3}, 2, 127, 128, true, 2, false},
};

TEST(WizardFlow, PageStatesForEveryPageInBothModes) {
  for (const PageCase& c : kPages) {
    SCOPED_TRACE(testing::Message() << "page " << c.index << (c.maintenance ? " (repair)" : ""));
    std::optional<WizardPageState> s = PageStateFor(c.index, c.maintenance);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->backEnabled, c.backEnabled);
    EXPECT_EQ(s->backVisible, c.backVisible);
    EXPECT_EQ(s->printEnabled, c.printEnabled);
    EXPECT_EQ(s->printVisible, c.printVisible);
    EXPECT_EQ(s->nextEnabled, c.nextEnabled);
    EXPECT_EQ(s->cancelEnabled, c.cancelEnabled);
    EXPECT_EQ(s->cancelVisible, c.cancelVisible);
    EXPECT_EQ(s->hide, c.hide);
    EXPECT_EQ(s->show, c.show);
    EXPECT_EQ(s->nextTextId, c.nextText);
    EXPECT_EQ(s->cancelTextId, c.cancelText);
    EXPECT_EQ(s->focusNext, c.focusNext);
    EXPECT_EQ(s->step, c.step);
    EXPECT_EQ(s->maintenanceList, c.maintenanceList);
  }
}

TEST(WizardFlow, IndicesOutsideThePagesShowNothing) {
  for (int index : {-1, 0, 6, 100})
    for (bool maintenance : {false, true}) EXPECT_FALSE(PageStateFor(index, maintenance)) << index;
}

TEST(WizardFlow, NextMovesOnUntilTheFinishTextOnTheFinishPage) {
  const int later = 1, now = 0;
  struct Case {
    int page;
    const wchar_t* next;
    const int* restartLater;
    NextAction expected;
    const char* what;
  } cases[] = {
      {1, L"&Next >", nullptr, NextAction::kNextPage, "welcome"},
      {2, L"&Accept", nullptr, NextAction::kNextPage, "agreement"},
      {5, L"&Finish", &later, NextAction::kClose, "restart later closes"},
      {5, L"&Finish", &now, NextAction::kRestart, "the default restarts"},
      {5, L"&Finish", nullptr, NextAction::kRestart, "no finish page object: restart"},
      {5, L"&finish", &later, NextAction::kNextPage, "the comparison is exact"},
      {1, L"&Finish", &later, NextAction::kNextPage, "a finish text before the finish page restarts nothing"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(zor::DecideNext(c.page, c.next, L"&Finish", c.restartLater), c.expected) << c.what;
  // A language module without texts: Next and Finish are both empty.
  EXPECT_EQ(zor::DecideNext(1, L"", L"", nullptr), NextAction::kNextPage);
  EXPECT_EQ(zor::DecideNext(5, L"", L"", nullptr), NextAction::kRestart);
}

std::vector<std::pair<uint32_t, bool>> Rows(const std::vector<StepRowState>& rows) {
  std::vector<std::pair<uint32_t, bool>> out;
  for (const StepRowState& r : rows) out.emplace_back(r.icon, r.labelEnabled);
  return out;
}

TEST(WizardFlow, FiveRowStepListMarksDoneCurrentAndPending) {
  using P = std::pair<uint32_t, bool>;
  const P done{147, true}, current{148, true}, pending{149, false};
  const std::vector<std::pair<int, std::vector<P>>> cases = {
      {1, {current, pending, pending, pending, pending}},
      {2, {done, current, pending, pending, pending}},
      {3, {done, done, current, pending, pending}},
      {4, {done, done, done, current, pending}},
      {5, {done, done, done, done, done}},
  };
  for (const auto& [step, expected] : cases) {
    auto rows = zor::StepListStates(5, step);
    ASSERT_TRUE(rows.has_value()) << step;
    EXPECT_EQ(Rows(*rows), expected) << "step " << step;
  }
  for (int step : {0, -1, 6}) EXPECT_FALSE(zor::StepListStates(5, step)) << "step " << step << " changes nothing";
}

}  // namespace
