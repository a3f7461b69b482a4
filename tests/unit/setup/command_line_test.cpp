#include "setup/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testhost/test_host.h"
#include "setup/result_log.h"

namespace {

using zor::ResultLogSwitch;

struct CommandCase {
  std::wstring line;
  bool silent;
  ResultLogSwitch logSwitch;
  std::string logPath;  // the path afterwards, starting from the default
  const char* what;
};

TEST(CommandLine, SwitchesAreFoundAsPlainText) {
  const std::string def = zor::kDefaultResultLog;
  const std::wstring long259(259, L'a'), long260(260, L'a');
  const CommandCase cases[] = {
      {L"", false, ResultLogSwitch::kAbsent, def, "empty"},
      {L"-s", true, ResultLogSwitch::kAbsent, def, "-s"},
      {L"-S", true, ResultLogSwitch::kAbsent, def, "-S"},
      {L"/s", true, ResultLogSwitch::kAbsent, def, "/s"},
      {L"/S", true, ResultLogSwitch::kAbsent, def, "/S"},
      {L"\\s", true, ResultLogSwitch::kAbsent, def, "\\s"},
      {L"\\S", true, ResultLogSwitch::kAbsent, def, "\\S"},
      {L"--silent", true, ResultLogSwitch::kAbsent, def, "a longer word holding -s"},
      {L"s S -x /q", false, ResultLogSwitch::kAbsent, def, "no two-character switch"},
      {L"-s -f2C:\\Logs\\out.log", true, ResultLogSwitch::kApplied, "C:\\Logs\\out.log", "silent, then log path"},
      {L"-f2C:\\setup\\out.log", true, ResultLogSwitch::kApplied, "C:\\setup\\out.log",
       "a backslash before a lower-case s in the path is a silent switch"},
      {L"-f2C:\\Setup\\out.log", true, ResultLogSwitch::kApplied, "C:\\Setup\\out.log",
       "so is an upper-case S after a backslash"},
      {L"-f2C:\\Logs\\out.log", false, ResultLogSwitch::kApplied, "C:\\Logs\\out.log",
       "a path without one leaves the run interactive"},
      {L"-f2 \"C:\\out.log\"", false, ResultLogSwitch::kApplied, " \"C:\\out.log\"",
       "leading space and quotes stay in the path"},
      {L"-f2C:\\out.log -s", true, ResultLogSwitch::kApplied, "C:\\out.log -s",
       "a switch after the path is part of the path"},
      {L"-f2a -f2b", false, ResultLogSwitch::kApplied, "a -f2b", "the first -f2 takes the rest"},
      {L"-F2C:\\x.log", false, ResultLogSwitch::kAbsent, def, "-F2 is not the switch"},
      {L"-f2", false, ResultLogSwitch::kApplied, "", "nothing after -f2"},
      {L"-f2" + long259, false, ResultLogSwitch::kApplied, std::string(259, 'a'), "259 bytes fit with the zero"},
      {L"-f2" + long260, false, ResultLogSwitch::kTooLong, def, "260 bytes do not fit: previous path kept"},
      {L"-f2C:\\caf\u00e9.log", false, ResultLogSwitch::kApplied, "C:\\caf\xe9.log", "converted to ANSI"},
  };
  for (const CommandCase& c : cases) {
    zor::TestHost host;
    zor::ScopedHost scope(&host);
    std::string path = def;
    bool silent = zor::HasSilentSwitch(c.line);
    ResultLogSwitch applied = zor::ApplyResultLogSwitch(c.line, &path);
    EXPECT_EQ(silent, c.silent) << c.what;
    EXPECT_EQ(applied, c.logSwitch) << c.what;
    EXPECT_EQ(path, c.logPath) << c.what;
  }
}

class ResultLogTest : public ::testing::Test {
 protected:
  ResultLogTest() : scope_(&host_) { host_.AddDirectory(L"C:\\Logs"); }
  zor::TestHost host_;
  zor::ScopedHost scope_;
};

TEST_F(ResultLogTest, RunsAppendTheirBlocks) {
  host_.AddFile(L"C:\\Lumaglimpse.log", "earlier\r\n");
  zor::WriteResult(zor::kDefaultResultLog, zor::kResultSilentSuccess);
  zor::WriteResult(zor::kDefaultResultLog, zor::kResultSilentSuccess);
  EXPECT_EQ(host_.FileBytes(L"C:\\Lumaglimpse.log"),
            std::optional<std::string>("earlier\r\n[ResponseResult]\r\nResultCode=0\r\n"
                                       "[ResponseResult]\r\nResultCode=0\r\n"));
}

TEST_F(ResultLogTest, TheThreeOutcomesAndACreatedFile) {
  zor::WriteResult("C:\\Logs\\a.log", zor::kResultDialogSuccess);
  zor::WriteResult("C:\\Logs\\a.log", zor::kResultPackageDamaged);
  EXPECT_EQ(host_.FileBytes(L"C:\\Logs\\a.log"),
            std::optional<std::string>("[ResponseResult]\r\nResultCode = 0\r\n"
                                       "[ResponseResult]\r\nResultCode = -1\r\n"));
}

TEST_F(ResultLogTest, PathsThatCannotBeOpenedWriteNothing) {
  const char* paths[] = {" \"C:\\Logs\\a.log\"", "", "C:\\NoFolder\\a.log"};
  for (const char* p : paths) EXPECT_FALSE(zor::WriteResultLine(p, zor::kResultHeader)) << p;
  EXPECT_TRUE(host_.FilePaths().empty());
}

TEST_F(ResultLogTest, TheLogIsNotSharedWhileALineIsWritten) {
  host_.AddFile(L"C:\\Logs\\a.log", "x\r\n");
  {
    auto reader = host_.OpenFile(L"C:\\Logs\\a.log", zor::FileAccess::kRead, zor::kShareRead | zor::kShareWrite,
                                 zor::FileCreate::kOpenExisting);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(zor::WriteResultLine("C:\\Logs\\a.log", zor::kResultHeader));
  }
  EXPECT_TRUE(zor::WriteResultLine("C:\\Logs\\a.log", zor::kResultHeader));
  EXPECT_EQ(host_.FileBytes(L"C:\\Logs\\a.log"), std::optional<std::string>("x\r\n[ResponseResult]\r\n"));
}

TEST_F(ResultLogTest, AnsiPathsNameTheFileTheSystemWouldOpen) {
  std::string path;
  ASSERT_EQ(zor::ApplyResultLogSwitch(L"-f2C:\\Logs\\r\u00e9sultat.log", &path), ResultLogSwitch::kApplied);
  EXPECT_TRUE(zor::WriteResultLine(path, zor::kResultHeader));
  EXPECT_TRUE(host_.HasFile(L"C:\\Logs\\r\u00e9sultat.log"));
}

}  // namespace
