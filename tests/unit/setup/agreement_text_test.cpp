#include "setup/agreement_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/host.h"
#include "platform/testhost/test_host.h"
#include "setup/language_table.h"

namespace {

std::string Utf16Le(std::initializer_list<uint16_t> units) {
  std::string bytes;
  for (uint16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

TEST(AgreementText, EverySelectionNamesItsRowsAgreement) {
  const struct {
    int selection;
    uint32_t id;
  } cases[] = {{-1, 139}, {0, 139}, {1, 140}, {3, 145}, {20, 177}, {21, 176}, {22, 139}, {1 << 20, 139}};
  for (const auto& c : cases) EXPECT_EQ(zor::AgreementIdForSelection(c.selection), c.id) << c.selection;
}

TEST(AgreementText, DecodingKeepsTheMarkAndDropsTheLastUnit) {
  const struct {
    std::string bytes;
    std::wstring text;
    const char* what;
  } cases[] = {
      {Utf16Le({0xFEFF, 'A', 'b', '\r', '\n', 'c', '\n'}), std::wstring(L"\xFEFF" L"Ab\r\nc"), "stored form"},
      {Utf16Le({0xFEFF, 0x00DC, 0x00E7, '\n'}), std::wstring(L"\xFEFF" L"Üç"), "Latin letters"},
      {Utf16Le({0xFEFF, 0x7B80, 0x4F53, '\n'}), std::wstring(L"\xFEFF" L"简体"), "CJK"},
      {Utf16Le({0xFEFF}), std::wstring(), "the mark alone"},
      {std::string(), std::wstring(), "no bytes"},
      {std::string("\x41"), std::wstring(), "one odd byte"},
      {Utf16Le({0xFEFF, 'x', '\n'}) + "\x7F", std::wstring(L"\xFEFF" L"x"), "a trailing odd byte is no unit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(zor::DecodeAgreementText(c.bytes), c.text);
  }
}

TEST(AgreementText, LoadsFromTheProgramNeverFromAModule) {
  zor::TestHost host;
  zor::ScopedHost scoped(&host);
  host.AddResource(L"", zor::kAgreementResourceType, 145, Utf16Le({0xFEFF, 'G', 'e', '\n'}));
  host.AddFile(L"C:\\Temp\\InstallGe.dll", "MZ");
  host.AddResource(L"C:\\Temp\\InstallGe.dll", zor::kAgreementResourceType, 176, Utf16Le({0xFEFF, 'T', '\n'}));
  ASSERT_NE(host.LoadModule(L"C:\\Temp\\InstallGe.dll"), 0u);

  std::wstring text = L"before";
  EXPECT_TRUE(zor::LoadAgreementText(145, &text));
  EXPECT_EQ(text, std::wstring(L"\xFEFF" L"Ge"));

  text = L"before";
  EXPECT_FALSE(zor::LoadAgreementText(176, &text)) << "a module's resource is not the agreement";
  EXPECT_EQ(text, L"before");
  EXPECT_FALSE(zor::LoadAgreementText(999, &text));
  EXPECT_EQ(text, L"before");
}

}  // namespace
