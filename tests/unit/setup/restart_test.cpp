#include "setup/restart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zor::RestartResult;

class FakeShutdown : public zor::IShutdownApi {
 public:
  bool openOk = true;
  bool lookupOk = true;
  long adjustError = 0;
  bool exitOk = true;
  std::vector<std::string> calls;
  std::wstring privilege;
  uint32_t flags = 0, reason = 99;
  bool tokenOpen = false;

  bool OpenToken() override {
    calls.push_back("open");
    tokenOpen = openOk;
    return openOk;
  }
  bool LookupPrivilege(const std::wstring& name) override {
    calls.push_back("lookup");
    privilege = name;
    return lookupOk;
  }
  long EnablePrivilege() override {
    calls.push_back("enable");
    return adjustError;
  }
  void CloseToken() override {
    calls.push_back("close");
    tokenOpen = false;
  }
  bool ExitSystem(uint32_t f, uint32_t r) override {
    calls.push_back("exit");
    flags = f;
    reason = r;
    return exitOk;
  }
};

TEST(Restart, EnablesTheShutdownPrivilegeThenForcesARestart) {
  FakeShutdown api;
  EXPECT_EQ(zor::RestartComputer(api), RestartResult::kRestarting);
  EXPECT_EQ(api.calls, (std::vector<std::string>{"open", "lookup", "enable", "close", "exit"}));
  EXPECT_EQ(api.privilege, L"SeShutdownPrivilege");
  EXPECT_EQ(api.flags, 0x2u | 0x4u) << "EWX_REBOOT | EWX_FORCE";
  EXPECT_EQ(api.reason, 0u);
}

TEST(Restart, FailuresNeverAskForARestart) {
  struct Case {
    bool open, lookup;
    long adjust;
    bool exit;
    RestartResult expected;
    bool exitCalled;
    const char* what;
  } cases[] = {
      {false, true, 0, true, RestartResult::kNoToken, false, "token not opened"},
      {true, false, 0, true, RestartResult::kNoPrivilege, false, "privilege unknown"},
      {true, true, 1300, true, RestartResult::kNoPrivilege, false, "privilege not held (ERROR_NOT_ALL_ASSIGNED)"},
      {true, true, 0, false, RestartResult::kRefused, true, "the system refuses"},
  };
  for (const Case& c : cases) {
    FakeShutdown api;
    api.openOk = c.open;
    api.lookupOk = c.lookup;
    api.adjustError = c.adjust;
    api.exitOk = c.exit;
    EXPECT_EQ(zor::RestartComputer(api), c.expected) << c.what;
    bool exitCalled = !api.calls.empty() && api.calls.back() == "exit";
    EXPECT_EQ(exitCalled, c.exitCalled) << c.what;
    EXPECT_FALSE(api.tokenOpen) << c.what << ": the token is not left open";
  }
}

}  // namespace
