#include "tools/printable.h"

#include <gtest/gtest.h>

#include "common/wstr.h"

namespace {

TEST(Printable, EscapesWhatATerminalWouldActOnAndKeepsTheRest) {
  struct Case {
    std::wstring text;
    std::string printed;
  } cases[] = {
      {L"Program Files\\Lumaglimpse\\a.dll", "Program Files\\Lumaglimpse\\a.dll"},
      {L"bad\x1b[2Jname", "bad\\u001B[2Jname"},
      {L"line\nbreak\r\t", "line\\u000Abreak\\u000D\\u0009"},
      {L"del\x7f c1\x85", "del\\u007F c1\\u0085"},
      {L"txt.\x202e" L"exe", "txt.\\u202Eexe"},
      {L"Gr\u00fc\u00dfe \u65e5\u672c", "Gr\xc3\xbc\xc3\x9f" "e \xe6\x97\xa5\xe6\x9c\xac"},
      {std::wstring(1, wchar_t(0xD800)) + L"x", "\\uD800x"},
      {L"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(zor::Printable(c.text), c.printed);
}

TEST(Printable, KeepsCharactersAboveTheBasicPlane) {
  std::wstring emoji = zor::FromUtf16(u"\U0001F3A5 cam");
  EXPECT_EQ(zor::Printable(emoji), "\xf0\x9f\x8e\xa5 cam");
}

}  // namespace
