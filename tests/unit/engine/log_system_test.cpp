#include "engine/log_system.h"

#include <gtest/gtest.h>

#include "engine/log_window.h"
#include "engine/system_error.h"
#include "common/wstr.h"
#include "tests/unit/engine/engine_fixtures.h"

namespace {

std::string Utf16(const std::string& ascii) {
  std::string s;
  for (char c : ascii) {
    s += c;
    s += '\0';
  }
  return s;
}

struct Sent {
  zor::WindowHandle window;
  uint32_t message;
  std::u16string text;
  uint32_t bytes;
};

// Captures what would be sent to windows for the life of the object.
class WindowCapture {
 public:
  WindowCapture() {
    previous_ = zor::SetLogWindowSink([this](zor::WindowHandle w, uint32_t m, const char16_t* t, uint32_t b) {
      sent.push_back({w, m, std::u16string(t, b / 2), b});
    });
  }
  ~WindowCapture() { zor::SetLogWindowSink(previous_); }
  std::vector<Sent> sent;

 private:
  zor::LogWindowSink previous_;
};

TEST(LogSystem, LinesAreAppendedAsUtf16WithCrLf) {
  zortest::ScratchDir dir;
  std::wstring path = dir.Path(L"build.log");
  zortest::WriteAll(path, Utf16("old\r\n"));
  zor::CMyLogSystem log;
  log.SetLogFile(path);
  EXPECT_EQ(log.GetLogFile(), path);
  log.Write(L"Build engine successfully");
  log.Write(L"\x00c4rger");
  EXPECT_EQ(zortest::ReadAll(path),
            Utf16("old\r\nBuild engine successfully\r\n") + std::string("\xC4\0", 2) + Utf16("rger\r\n"));
}

TEST(LogSystem, WindowGetsEachLineWithItsLineEndEvenWithoutAFile) {
  WindowCapture capture;
  zor::CMyLogSystem log;
  log.Write(L"no window yet");
  log.SetWindow(0x1234);
  EXPECT_EQ(log.GetWindow(), 0x1234u);
  log.Write(L"Build project index file");
  log.SendToWindow(L"");
  log.Write(L"");
  ASSERT_EQ(capture.sent.size(), 1u);
  EXPECT_EQ(capture.sent[0].window, 0x1234u);
  EXPECT_EQ(capture.sent[0].message, 1033u);
  EXPECT_EQ(capture.sent[0].text, u"Build project index file\r\n");
  EXPECT_EQ(capture.sent[0].bytes, 2u * 26);
  log.SetWindow(0);
  log.Write(L"detached");
  EXPECT_EQ(capture.sent.size(), 1u);
}

TEST(LogSystem, EmptyLinesAndEmptyArgumentsWriteNothing) {
  zortest::ScratchDir dir;
  std::wstring path = dir.Path(L"b.log");
  zor::CMyLogSystem log;
  log.SetLogFile(path);
  log.Write(L"");
  log.WriteText(L"no placeholder", L"");
  log.WriteText(L"", L"text");
  log.WriteNumber(L"", 5);
  EXPECT_FALSE(zortest::Exists(path));
  log.WriteFormat(L"%d", 1);
  log.WriteFormatLine(L"%d", 1);
  EXPECT_FALSE(zortest::Exists(path));
}

TEST(LogSystem, FormattedLines) {
  zortest::ScratchDir dir;
  std::wstring path = dir.Path(L"b.log");
  zor::CMyLogSystem log;
  log.SetLogFile(path);
  log.WriteNumber(L"Error:can not open engine file with error is %d", 5);
  log.WriteText(L"Build:%s", L"C:\\src\\a.exe");
  zor::SetLastSystemError(2);
  log.WriteLastError(L"ERROR reason is %s");
  std::string expected = Utf16("Error:can not open engine file with error is 5\r\nBuild:C:\\src\\a.exe\r\n");
  // The system's text keeps its own line end, and the log adds another.
  zor::AppendUtf16Le(expected, L"ERROR reason is " + zor::SystemErrorText(2) + L"\r\n");
  EXPECT_EQ(zortest::ReadAll(path), expected);
  EXPECT_EQ(zor::SystemErrorText(2).substr(zor::SystemErrorText(2).size() - 2), L"\r\n");
}

TEST(LogSystem, UnopenableLogFileDropsTheLineQuietly) {
  WindowCapture capture;
  zortest::ScratchDir dir;
  zor::CMyLogSystem log;
  log.SetLogFile(dir.Path(L"missing\\folder\\b.log"));
  log.SetWindow(7);
  log.Write(L"still shown");
  EXPECT_EQ(capture.sent.size(), 1u);
  EXPECT_FALSE(zortest::Exists(dir.Path(L"missing")));
}

TEST(LogSystem, FormattingIsTheSameOnEverySystem) {
  struct Case {
    const wchar_t* format;
    int32_t value;
    const wchar_t* expected;
  };
  for (const Case& c : std::initializer_list<Case>{
           {L"%d", -42, L"-42"},
           {L"[%5d]", 42, L"[   42]"},
           {L"[%-5d]", 42, L"[42   ]"},
           {L"[%05d]", -42, L"[-0042]"},
           {L"%x/%X", 255, L"ff/%X"},
           {L"%u", -1, L"4294967295"},
           {L"add file error %D", 3, L"add file error 3"},
           {L"100%% %d", 7, L"100% 7"},
           {L"%s %d", 7, L"%s 7"},
           {L"%ld", 9, L"9"},
           {L"trailing %", 1, L"trailing %"},
       })
    EXPECT_EQ(zor::FormatNumber(c.format, c.value), c.expected) << zortest::Hex(std::string());
  EXPECT_EQ(zor::FormatText(L"Build %s Start", L"C:\\out.exe"), L"Build C:\\out.exe Start");
  EXPECT_EQ(zor::FormatText(L"[%.3s][%5s][%-4ls]", L"abcdef"), L"[abc][%5s][%-4ls]");
  EXPECT_EQ(zor::FormatText(L"%d %S", L"x"), L"%d x");
}

TEST(LogSystem, SystemTextsAreNeverEmpty) {
  EXPECT_FALSE(zor::SystemErrorText(2).empty());
  EXPECT_FALSE(zor::SystemErrorText(987654).empty());
}

}  // namespace
