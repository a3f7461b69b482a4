#include "setup/language_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "setup/payloads.h"

namespace {

using zor::FindLanguageRow;
using zor::GetLanguageRow;

struct LangCase {
  uint16_t langId;
  int row;  // -1: no row
  const char* what;
};

// MAKELANGID(primary, sub) = sub << 10 | primary.
constexpr uint16_t Lang(uint16_t primary, uint16_t sub) { return static_cast<uint16_t>(sub << 10 | primary); }

TEST(LanguageTable, SystemLanguagesPickTheirRow) {
  const LangCase cases[] = {
      {Lang(4, 2), 0, "Chinese (PRC) is simplified"},
      {Lang(4, 1), 5, "Chinese (Taiwan) is traditional"},
      {Lang(4, 3), 5, "Chinese (Hong Kong) is traditional"},
      {Lang(4, 4), 5, "Chinese (Singapore) is traditional too: only sub-language 2 is simplified"},
      {Lang(22, 1), 19, "Portuguese (Brazil)"},
      {Lang(22, 2), 8, "Portuguese (Portugal)"},
      {Lang(22, 0), 8, "Portuguese, neutral sub-language"},
      {Lang(9, 1), 1, "English (US)"},
      {Lang(9, 2), 1, "English (UK)"},
      {Lang(9, 0x3F), 1, "English, any sub-language"},
      {Lang(13, 1), 1, "Hebrew gets English"},
      {Lang(1, 1), 1, "Arabic gets English"},
      {Lang(30, 1), -1, "Thai has no row"},
      {Lang(0, 0), -1, "neutral language has no row"},
      {Lang(0x3FF, 0), -1, "the largest primary id has no row"},
      {Lang(12, 1), 2, "French"},
      {Lang(7, 1), 3, "German"},
      {Lang(25, 1), 4, "Russian"},
      {Lang(18, 1), 6, "Korean"},
      {Lang(17, 1), 7, "Japanese"},
      {Lang(16, 1), 9, "Italian"},
      {Lang(10, 3), 10, "Spanish (modern sort)"},
      {Lang(5, 1), 11, "Czech"},
      {Lang(6, 1), 12, "Danish"},
      {Lang(19, 2), 13, "Dutch (Belgium)"},
      {Lang(11, 1), 14, "Finnish"},
      {Lang(8, 1), 15, "Greek"},
      {Lang(14, 1), 16, "Hungarian"},
      {Lang(20, 2), 17, "Norwegian (Nynorsk)"},
      {Lang(21, 1), 18, "Polish"},
      {Lang(29, 2), 20, "Swedish (Finland)"},
      {Lang(31, 1), 21, "Turkish"},
  };
  for (const LangCase& c : cases) {
    std::optional<int> row = FindLanguageRow(c.langId);
    if (c.row < 0) {
      EXPECT_FALSE(row) << c.what << ": got row " << row.value_or(-1);
    } else {
      EXPECT_EQ(row, std::optional<int>(c.row)) << c.what;
    }
  }
}

TEST(LanguageTable, RowsAreDistinctAndCarryTheStoredNames) {
  std::set<std::wstring> modules, components, texts;
  std::set<uint32_t> agreements;
  for (int i = 0; i < zor::kLanguageCount; ++i) {
    const zor::LanguageRow* row = GetLanguageRow(i);
    ASSERT_NE(row, nullptr);
    modules.insert(row->moduleFile);
    components.insert(row->component);
    texts.insert(row->listText);
    agreements.insert(row->agreementId);
  }
  EXPECT_EQ(modules.size(), 22u);
  EXPECT_EQ(components.size(), 22u);
  EXPECT_EQ(texts.size(), 22u);
  // The agreement texts are resources 139 to 145 and 163 to 177.
  std::set<uint32_t> expected;
  for (uint32_t id = 139; id <= 145; ++id) expected.insert(id);
  for (uint32_t id = 163; id <= 177; ++id) expected.insert(id);
  EXPECT_EQ(agreements, expected);

  EXPECT_EQ(GetLanguageRow(-1), nullptr);
  EXPECT_EQ(GetLanguageRow(22), nullptr);
  // Names packages and lists depend on exactly as spelled.
  EXPECT_STREQ(GetLanguageRow(5)->component, L"Tranditional");
  EXPECT_STREQ(GetLanguageRow(19)->listText, L"Portugu\u00eas (Brasileiro) ");
  EXPECT_STREQ(GetLanguageRow(0)->listText, L"\u7b80\u4f53\u4e2d\u6587");
  EXPECT_STREQ(GetLanguageRow(1)->component, L"English");
  EXPECT_EQ(GetLanguageRow(3)->agreementId, 145u);
  EXPECT_EQ(GetLanguageRow(20)->agreementId, 177u);
  EXPECT_EQ(GetLanguageRow(21)->agreementId, 176u);
}

TEST(LanguageTable, EveryRowHasExactlyOneModuleResourceOfItsFileName) {
  std::set<uint32_t> ids;
  for (int row = 0; row < zor::kLanguageCount; ++row) {
    int found = 0;
    for (const zor::PayloadFile& f : zor::kLanguageModules) {
      if (f.languageRow != row) continue;
      ++found;
      EXPECT_STREQ(f.fileName, GetLanguageRow(row)->moduleFile) << "row " << row;
      EXPECT_EQ(zor::LanguageModuleResourceId(row), std::optional<uint32_t>(f.resourceId));
    }
    EXPECT_EQ(found, 1) << "row " << row;
  }
  for (const zor::PayloadFile& f : zor::kLanguageModules) ids.insert(f.resourceId);
  for (const zor::PayloadFile& f : zor::kRendererLibraries) ids.insert(f.resourceId);
  EXPECT_EQ(ids.size(), 27u) << "resource ids must not repeat";
  // Ids out of row order, as the program's resources number them.
  EXPECT_EQ(zor::LanguageModuleResourceId(3), std::optional<uint32_t>(147));
  EXPECT_EQ(zor::LanguageModuleResourceId(6), std::optional<uint32_t>(145));
  EXPECT_EQ(zor::LanguageModuleResourceId(8), std::optional<uint32_t>(160));
  EXPECT_FALSE(zor::LanguageModuleResourceId(22));
  EXPECT_FALSE(zor::LanguageModuleResourceId(-1));
}

// The resource build keeps its own copy of the table (source name, module
// file, "SFX_DLL" id, "SFX_TEXT" id per row); a module built under another
// id than the setup looks up would never be written out.
TEST(LanguageTable, AgreesWithTheResourceBuild) {
  std::ifstream in(std::string(ZOR_SOURCE_DIR) + "/resources/languages.cmake");
  ASSERT_TRUE(in) << "resources/languages.cmake not found";
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    size_t open = line.find('"'), close = line.rfind('"');
    if (open == std::string::npos || close <= open) continue;
    std::vector<std::string> fields;
    std::stringstream entry(line.substr(open + 1, close - open - 1));
    for (std::string f; std::getline(entry, f, '|');) fields.push_back(f);
    if (fields.size() == 4) rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), static_cast<size_t>(zor::kLanguageCount));
  for (int i = 0; i < zor::kLanguageCount; ++i) {
    const zor::LanguageRow* row = GetLanguageRow(i);
    std::wstring module(rows[i][1].begin(), rows[i][1].end());
    EXPECT_EQ(module, row->moduleFile) << "row " << i;
    EXPECT_EQ(zor::LanguageModuleResourceId(i), std::optional<uint32_t>(std::stoul(rows[i][2]))) << "row " << i;
    EXPECT_EQ(row->agreementId, std::stoul(rows[i][3])) << "row " << i;
  }
}

}  // namespace
