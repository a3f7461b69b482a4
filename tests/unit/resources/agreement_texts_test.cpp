// The agreement texts in the form the setup embeds them: UTF-16LE with a
// byte-order mark, CR LF line ends and a final line feed (the page drops the
// last code unit), each a faithful copy of its UTF-8 source, and all 22 with
// the same structure as the English one.
#ifdef ZOR_AGREEMENT_DIR

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "common/wstr.h"
#include "tests/unit/resources/language_rows.h"
#include "tests/unit/resources/rc_source.h"

using namespace zortest;

namespace {

std::string FileName(int row) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%02d_", row);
  return prefix + std::string(kLanguageRows[row].source) + ".txt";
}

std::vector<char16_t> CodeUnits(const std::string& bytes) {
  std::vector<char16_t> units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return units;
}

// Indices of the lines that open a numbered section ("7. ...").
std::vector<size_t> SectionLines(const std::vector<std::wstring>& lines) {
  std::vector<size_t> found;
  for (size_t i = 0; i < lines.size(); ++i) {
    size_t digits = 0;
    while (digits < lines[i].size() && lines[i][digits] >= L'0' && lines[i][digits] <= L'9') ++digits;
    if (digits > 0 && lines[i].compare(digits, 2, L". ") == 0) found.push_back(i);
  }
  return found;
}

struct Agreement {
  std::string bytes;
  std::wstring text;  // without the byte-order mark
  std::vector<std::wstring> lines;
};

Agreement Load(int row) {
  Agreement a;
  auto bytes = ReadFileBytes(std::string(ZOR_AGREEMENT_DIR) + "/" + FileName(row));
  if (!bytes) return a;
  a.bytes = *bytes;
  if (a.bytes.size() >= 2) {
    a.text = zor::FromUtf16Le(reinterpret_cast<const uint8_t*>(a.bytes.data()) + 2, (a.bytes.size() - 2) / 2);
  }
  size_t start = 0;
  for (size_t end; (end = a.text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    a.lines.push_back(a.text.substr(start, end - start));
  }
  return a;
}

}  // namespace

TEST(AgreementTexts, AreUtf16LeWithBomAndCrLf) {
  for (int row = 0; row < kLanguageRowCount; ++row) {
    SCOPED_TRACE(FileName(row));
    Agreement a = Load(row);
    ASSERT_GE(a.bytes.size(), 6u) << "missing or empty";
    EXPECT_EQ(a.bytes.size() % 2, 0u);
    std::vector<char16_t> units = CodeUnits(a.bytes);
    EXPECT_EQ(units[0], 0xFEFF);
    EXPECT_EQ(units[units.size() - 2], u'\r');
    EXPECT_EQ(units[units.size() - 1], u'\n');
    for (size_t i = 1; i < units.size(); ++i) {
      char16_t u = units[i];
      ASSERT_NE(u, 0) << "at " << i;
      ASSERT_NE(u, 0xFEFF) << "second byte-order mark at " << i;
      if (u == u'\r') {
        ASSERT_TRUE(i + 1 < units.size() && units[i + 1] == u'\n') << "lone CR at " << i;
      }
      if (u == u'\n') {
        ASSERT_EQ(units[i - 1], u'\r') << "lone LF at " << i;
      }
      if (u >= 0xD800 && u <= 0xDBFF) {
        ASSERT_TRUE(i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) << i;
      }
      if (u >= 0xDC00 && u <= 0xDFFF) {
        ASSERT_TRUE(units[i - 1] >= 0xD800 && units[i - 1] <= 0xDBFF) << i;
      }
    }
  }
}

TEST(AgreementTexts, MatchTheirUtf8Sources) {
  for (int row = 0; row < kLanguageRowCount; ++row) {
    SCOPED_TRACE(FileName(row));
    auto source = ReadFileBytes(std::string(ZOR_SOURCE_DIR) + "/resources/agreements/" + FileName(row));
    ASSERT_TRUE(source);
    std::wstring expected = zor::FromUtf8(*source);
    ASSERT_EQ(expected.find(L'\uFFFD'), std::wstring::npos) << "source is not UTF-8";
    for (size_t at = 0; (at = expected.find(L'\n', at)) != std::wstring::npos; at += 2) expected.insert(at, 1, L'\r');
    EXPECT_EQ(Load(row).text, expected);
  }
}

TEST(AgreementTexts, AllLanguagesShareTheEnglishStructure) {
  Agreement english = Load(1);
  ASSERT_GE(english.lines.size(), 40u);
  ASSERT_LE(english.lines.size(), 80u);
  std::vector<size_t> sections = SectionLines(english.lines);
  ASSERT_EQ(sections.size(), 12u);
  for (int row = 0; row < kLanguageRowCount; ++row) {
    SCOPED_TRACE(FileName(row));
    Agreement a = Load(row);
    ASSERT_EQ(a.lines.size(), english.lines.size());
    EXPECT_EQ(a.lines[0], L"TARVEX LUMAGLIMPSE");
    EXPECT_EQ(SectionLines(a.lines), sections);
    // Blank lines separate the same paragraphs, so no paragraph went missing.
    for (size_t i = 0; i < a.lines.size(); ++i) EXPECT_EQ(a.lines[i].empty(), english.lines[i].empty()) << "line " << i + 1;
    EXPECT_NE(a.text.find(L"Tarvex Lumaglimpse"), std::wstring::npos);
  }
}

#endif  // ZOR_AGREEMENT_DIR
