// The language scripts as sources: one per row, all with the same ids, the
// English texts exact, and translations that still work as link paths and
// keyboard mnemonics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <set>

#include "tests/unit/resources/language_rows.h"
#include "tests/unit/resources/rc_source.h"

using namespace zortest;

namespace {

std::set<int> ExpectedIds() {
  std::set<int> ids;
  for (const ModuleString& s : kEnglishStrings) ids.insert(s.id);
  return ids;
}

std::map<int, std::wstring> Strings(const LanguageRow& row) {
  std::string error;
  std::map<int, std::wstring> strings = LoadScriptStrings(row.source, error);
  EXPECT_EQ(error, "") << row.source;
  return strings;
}

// The character a mnemonic selects, or 0 when `text` has none or several.
wchar_t Mnemonic(const std::wstring& text) {
  wchar_t found = 0;
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (i + 1 < text.size() && text[i + 1] == L'&') {
      ++i;  // "&&" shows an ampersand
      continue;
    }
    ++count;
    found = i + 1 < text.size() ? text[i + 1] : 0;
  }
  if (count != 1 || found == L' ') return 0;
  return found < 0x80 ? static_cast<wchar_t>(std::towlower(found)) : found;
}

}  // namespace

TEST(LanguageScripts, OneScriptPerRowAndNoOthers) {
  std::set<std::string> expected, found;
  for (const LanguageRow& row : kLanguageRows) expected.insert(std::string(row.source) + ".rc");
  for (const auto& entry : std::filesystem::directory_iterator(std::string(ZOR_SOURCE_DIR) + "/resources/lang")) {
    if (entry.path().extension() == ".rc") found.insert(entry.path().filename().string());
  }
  EXPECT_EQ(found, expected);
  EXPECT_EQ(expected.size(), 22u);
}

TEST(LanguageScripts, HeaderNamesEveryStringId) {
  auto header = ReadFileBytes(std::string(ZOR_SOURCE_DIR) + "/resources/lang/resource_ids.h");
  ASSERT_TRUE(header);
  std::set<int> stringIds;
  for (const auto& [name, id] : ParseIdHeader(*header)) {
    if (name.rfind("IDS_", 0) != 0) continue;
    EXPECT_TRUE(stringIds.insert(id).second) << name << " reuses " << id;
  }
  EXPECT_EQ(stringIds, ExpectedIds());
}

TEST(LanguageScripts, EveryScriptHasTheSameIdsAndStatements) {
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    auto bytes = ReadFileBytes(LanguageScriptPath(row.source));
    ASSERT_TRUE(bytes);
    RcScript rc = ParseRcScript(*bytes);
    ASSERT_EQ(rc.error, "");
    // Without the code page the resource compiler reads the UTF-8 bytes as
    // ANSI and every non-ASCII letter turns into mojibake.
    ASSERT_FALSE(rc.lines.empty());
    EXPECT_EQ(rc.lines[0], "#pragma code_page(65001)");
    EXPECT_EQ(rc.languages.size(), 1u);
    EXPECT_NE(std::find(rc.includes.begin(), rc.includes.end(), "resource_ids.h"), rc.includes.end());
    EXPECT_NE(std::find(rc.includes.begin(), rc.includes.end(), "module_common.rci"), rc.includes.end());

    std::map<int, std::wstring> strings = Strings(row);
    std::set<int> ids;
    for (const auto& [id, text] : strings) {
      ids.insert(id);
      EXPECT_FALSE(text.empty()) << id;
    }
    EXPECT_EQ(ids, ExpectedIds());
  }
}

TEST(LanguageScripts, EnglishTextsAreExact) {
  std::map<int, std::wstring> strings = Strings(kLanguageRows[1]);
  for (const ModuleString& s : kEnglishStrings) EXPECT_EQ(strings[s.id], s.english) << s.id;
}

TEST(LanguageScripts, LinkPathsKeepTheirFoldersAndValidNames) {
  const std::wstring folder = L"\\Tarvex Lumaglimpse\\";
  const std::wstring invalid = L"\\/:*?\"<>|";
  std::map<int, std::wstring> english = Strings(kLanguageRows[1]);
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    std::map<int, std::wstring> strings = Strings(row);
    // The product name is the file name of these links in every language.
    for (int id : {117, 118, 126}) EXPECT_EQ(strings[id], english[id]) << id;
    for (int id : {119, 120}) {
      const std::wstring& path = strings[id];
      ASSERT_GT(path.size(), folder.size() + 4) << id;
      EXPECT_EQ(path.substr(0, folder.size()), folder) << id;
      std::wstring name = path.substr(folder.size());
      EXPECT_EQ(name.substr(name.size() - 4), L".lnk") << id;
      std::wstring stem = name.substr(0, name.size() - 4);
      EXPECT_FALSE(stem.empty()) << id;
      EXPECT_EQ(stem.find_first_of(invalid), std::wstring::npos) << id;
      EXPECT_TRUE(std::none_of(stem.begin(), stem.end(), [](wchar_t c) { return c < 0x20; })) << id;
      // Windows drops trailing blanks and dots, which would make the name
      // differ from the one the uninstaller later looks for.
      EXPECT_TRUE(stem.back() != L' ' && stem.back() != L'.' && stem.front() != L' ') << id;
    }
    // Help and uninstall links share a folder; equal names would overwrite.
    EXPECT_NE(strings[119], strings[120]);
  }
}

TEST(LanguageScripts, ButtonsAndMenuHaveOneDistinctMnemonic) {
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    std::map<int, std::wstring> strings = Strings(row);
    for (int id : {101, 116, 127, 128, 129, 130}) EXPECT_NE(Mnemonic(strings[id]), 0) << id;
    // Accept/Decline share the agreement page, Next/Cancel every other page.
    EXPECT_NE(Mnemonic(strings[127]), Mnemonic(strings[128]));
    EXPECT_NE(Mnemonic(strings[129]), Mnemonic(strings[130]));
    EXPECT_NE(Mnemonic(strings[116]), Mnemonic(strings[130]));
  }
}

TEST(RcScriptReader, UndoesEscapesAndRejectsWhatItDoesNotKnow) {
  struct Case {
    const char* entry;
    const wchar_t* text;  // nullptr: must be rejected
  };
  const Case cases[] = {
      {"A \"\\\\Folder\\\\File.lnk\"", L"\\Folder\\File.lnk"},
      {"A \"say \"\"hi\"\"\"", L"say \"hi\""},
      {"A \"caf\xC3\xA9\"", L"caf\u00E9"},
      {"A \"tab\\there\"", nullptr},
      {"A \"open", nullptr},
      {"A \"stray\"quote\"", nullptr},
      {"A \"bad \xC3\"", nullptr},
      {"A", nullptr},
  };
  for (const Case& c : cases) {
    RcScript rc = ParseRcScript(std::string("STRINGTABLE\nBEGIN\n    ") + c.entry + "\nEND\n");
    if (c.text == nullptr) {
      EXPECT_NE(rc.error, "") << c.entry;
    } else {
      ASSERT_EQ(rc.error, "") << c.entry;
      ASSERT_EQ(rc.strings.size(), 1u);
      EXPECT_EQ(rc.strings[0].name, "A");
      EXPECT_EQ(rc.strings[0].text, c.text);
    }
  }
  EXPECT_NE(ParseRcScript("STRINGTABLE\nBEGIN\n A \"x\"\n").error, "");
}
