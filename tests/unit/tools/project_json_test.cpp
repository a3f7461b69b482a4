// Project descriptions: round trips to identical project indexes, the forms
// the schema gives each record, and the messages for bad descriptions.
#include <gtest/gtest.h>

#include "common/wstr.h"
#include "tests/unit/tools/project_fixture.h"
#include "tools/project_json.h"
#include "tools/project_json_detail.h"
#include "tools/printable.h"

using namespace zortest;
using zor::Json;

namespace {

const zor::ProjectJsonOptions kModes[] = {{false, false}, {true, false}, {false, true}, {true, true}};

// Project → text → project.
void ThroughText(const CInstallProject& project, const zor::ProjectJsonOptions& options, CInstallProject* back) {
  zor::ProjectFromJsonText(zor::ProjectToJsonText(project, options), L"", back);
}

Bytes StoredThroughText(const CInstallProject& project, const zor::ProjectJsonOptions& options) {
  CInstallProject back;
  ThroughText(project, options, &back);
  return StoreProject(back);
}

// The project a description gives, from its text.
Bytes StoredFrom(const std::string& text, const std::wstring& base = L"") {
  CInstallProject project;
  zor::ProjectFromJsonText(text, base, &project);
  return StoreProject(project);
}

}  // namespace

TEST(ProjectJson, DefaultProjectRoundTripsToTheSameIndex) {
  CInstallProject project;
  FillProject(&project);
  Bytes expected = StoreProject(project);
  for (const auto& mode : kModes)
    EXPECT_EQ(StoredThroughText(project, mode), expected) << mode.allFields << mode.buildOutputs;
}

TEST(ProjectJson, ProjectWithEveryKindOfRecordRoundTripsToTheSameIndex) {
  CInstallProject built;
  FillEveryRecord(built);
  CInstallProject project;
  WithProjectSteps(built, EveryStep(), &project);
  ASSERT_EQ(project.GetSteps().GetCount(), EveryStep().size());
  ASSERT_EQ(project.GetComponents().GetCount(), 3u);
  Bytes expected = StoreProject(project);
  for (const auto& mode : kModes) {
    CInstallProject back;
    ThroughText(project, mode, &back);
    EXPECT_EQ(StoreProject(back), expected) << mode.allFields << mode.buildOutputs;
    // And the copy describes itself exactly as the original did.
    EXPECT_EQ(zor::ProjectToJson(back, mode), zor::ProjectToJson(project, mode));
  }
}

TEST(ProjectJson, EveryStoredTextRoundTripsAndWhatUtf8CannotCarryIsWrittenAsCodeUnits) {
  auto units = [](std::initializer_list<char16_t> u) { return zor::FromUtf16(std::u16string(u)); };
  const struct {
    std::wstring text;
    bool asString;  // UTF-8 carries it
  } cases[] = {
      {units({u'P', 0xD800}), false},          // a lone high surrogate at the end
      {units({0xDC00, u'x'}), false},          // a lone low surrogate
      {units({0xDE00, 0xD83D}), false},        // a pair in the wrong order
      {units({u'a', 0xD83D, 0xDE00}), true},   // a character above U+FFFF
      {std::wstring(L"\0\x1B[2J\x7F\x85\t", 7), true},  // controls, NUL included
      {L"\uFFFD\u202E", true},                // U+FFFD is a character like any other
  };
  for (const auto& c : cases) {
    const std::string label = zor::Printable(c.text);
    CInstallProject project;
    FillProject(&project);
    project.GetProductInfo()->SetProductName(c.text);
    auto* entry = new CIDString;
    entry->SetId(9);
    entry->SetTag(1);
    entry->SetText(c.text);
    ASSERT_EQ(project.GetStringTables().GetHead()->AddString(entry), 1);
    project.GetProjectInfo()->AddLanguage(CPreLang(c.text, 0x7777));
    CZipFileIndexObject* item = FileItem(c.text, L"C:\\a.exe");
    project.GetFileGroups().GetHead()->GetTree().GetRoot()->AddChild(NodeWith(item));
    Bytes expected = StoreProject(project);
    for (const auto& mode : kModes) EXPECT_EQ(StoredThroughText(project, mode), expected) << label;

    Json json = zor::ProjectToJson(project);
    const Json& name = json["product"]["name"];
    if (c.asString) {
      EXPECT_EQ(name, zor::ToUtf8(c.text)) << label;
    } else {
      Json list = Json::array();
      for (char16_t u : zor::ToUtf16(c.text)) list.push_back(static_cast<unsigned>(u));
      EXPECT_EQ(name, Json({{"utf16", list}})) << label;
    }
    EXPECT_EQ(zor::ProjectToJsonText(project).find("\xEF\xBF\xBD") != std::string::npos,
              c.text.find(L'\uFFFD') != std::wstring::npos)
        << label;
  }
}

TEST(ProjectJson, EveryStepClassHasAKind) {
  for (const CRuntimeClass* const* c = CRuntimeClass::Registry(); *c; ++c) {
    if (!(*c)->IsDerivedFrom(RUNTIME_CLASS(CStreamObject))) continue;
    const char* kind = zor::project_json::StepKindName(*c);
    ASSERT_NE(kind, nullptr) << (*c)->m_lpszClassName;
    EXPECT_EQ(zor::project_json::StepKindClass(kind), *c);
  }
}

TEST(ProjectJson, StepKindsMakeTheirClassesWithTheirFields) {
  const char* text = R"({"components": [{"name": "c", "steps": [
      {"kind": "step"}, {"kind": "splash"}, {"kind": "intro"}, {"kind": "dirSelect"},
      {"kind": "extract"}, {"kind": "finish"}, {"kind": "dll"}, {"kind": "exe"},
      {"kind": "admin", "check": false, "message": "m", "caption": "c"},
      {"kind": "os", "codes": [86018, "0x15001"]},
      {"kind": "lang", "languages": [1031]},
      {"kind": "auto", "conditions": [{"text": "t", "osCode": 1, "language": 1033}]},
      {"kind": "component", "name": "inner", "enabled": 0, "type": 3, "steps": [{"kind": "exe"}]}]}]})";
  CInstallProject project;
  zor::ProjectFromJsonText(text, L"", &project);
  const char* expected[] = {"CStreamObject",     "CSplashDlgObject", "CIntroDLgObject", "CDirSelectDlgObject",
                            "CExtractDlgObject", "CFinishDlgObject", "CDllObject",      "CExeObject",
                            "CAdminSelect",      "COSSelect",        "CLangSelect",     "CAutoSelect",
                            "CInstallCompent"};
  const CInstallCompent* component = project.GetComponents().GetHead();
  ASSERT_EQ(component->GetSteps().GetCount(), std::size(expected));
  size_t i = 0;
  for (const CStreamObject* step : component->GetSteps()) {
    EXPECT_STREQ(step->GetRuntimeClass()->m_lpszClassName, expected[i++]);
    // Omitted members keep the record defaults.
    if (i < 13) {
      EXPECT_EQ(step->GetEnabled(), 1);
      EXPECT_EQ(step->GetType(), 0);
    }
  }
  auto* admin = static_cast<const CAdminSelect*>(component->GetSteps().GetAt(8));
  EXPECT_EQ(admin->GetCheckEnabled(), 0);
  EXPECT_EQ(admin->GetMessageText(), L"m");
  auto* os = static_cast<const COSSelect*>(component->GetSteps().GetAt(9));
  EXPECT_EQ(os->GetCodes(), (std::vector<uint32_t>{0x15002, 0x15001}));
  EXPECT_EQ(os->GetCaption(), L"Error");
  auto* autoSel = static_cast<const CAutoSelect*>(component->GetSteps().GetAt(11));
  const CInstallCondition* condition = autoSel->GetTable().GetConditions().GetHead();
  EXPECT_EQ(condition->GetLanguage().GetName(), L"English (United States)");
  EXPECT_EQ(condition->GetLanguage().GetLangId(), 0x409);
  auto* inner = static_cast<const CInstallCompent*>(component->GetSteps().GetAt(12));
  EXPECT_EQ(inner->GetName(), L"inner");
  EXPECT_EQ(inner->GetEnabled(), 0);
  EXPECT_EQ(inner->GetType(), 3);
  EXPECT_EQ(inner->GetSteps().GetCount(), 1u);
}

TEST(ProjectJson, NodesTakeNamesFoldersAndPathsFromTheirKind) {
  const char* text = R"({
    "product": {"engine": "engine/setup.exe", "installRoot": "[WindowsFolder]"},
    "project": {"buildLog": "logs/build.log", "basePath": "rel", "languages": [1033, 0, {"name": "Mine", "id": 77}]},
    "fileGroups": [{"name": "G", "tree": {"kind": "folder", "name": "root", "source": "src", "children": [
      {"kind": "file", "source": "bin/app.exe"},
      {"kind": "file", "source": "/abs/x.dll", "name": "y.dll", "offset": 5, "packedSize": 6},
      {"kind": "file", "source": "C:\\w\\z.hlp"},
      {"kind": "predefined", "systemFolder": 38},
      {"kind": "predefined", "systemFolder": {"name": "[X]", "id": 5}, "name": "named", "destination": true}
    ]}}]})";
  CInstallProject project;
  zor::ProjectFromJsonText(text, L"/proj", &project);
  EXPECT_EQ(project.GetProductInfo()->GetEnginePath(), L"/proj/engine/setup.exe");
  EXPECT_EQ(project.GetProductInfo()->GetInstallRoot().GetFolderId(), 36);
  EXPECT_EQ(project.GetProjectInfo()->GetBuildLogPath(), L"/proj/logs/build.log");
  EXPECT_EQ(project.GetProjectInfo()->GetBasePath(), L"rel");  // not a path the builder reads
  ASSERT_EQ(project.GetProjectInfo()->GetLanguages().GetCount(), 3u);
  EXPECT_EQ(project.GetProjectInfo()->GetLanguages().GetAt(2)->GetName(), L"Mine");

  const CNode* root = project.GetFileGroups().GetHead()->GetTree().GetRoot();
  auto item = [&](int i) { return static_cast<const CZipFileIndexObject*>(root->GetChild(i)->GetData()); };
  EXPECT_EQ(static_cast<const CZipFileIndexObject*>(root->GetData())->GetSourcePath(), L"/proj/src");
  EXPECT_EQ(item(0)->GetSourcePath(), L"/proj/bin/app.exe");
  EXPECT_EQ(item(0)->GetName(), L"app.exe");
  EXPECT_EQ(item(0)->GetFolderFlag(), 0);
  EXPECT_EQ(item(1)->GetSourcePath(), L"/abs/x.dll");
  EXPECT_EQ(item(1)->GetName(), L"y.dll");
  // Offsets are the builder's to write.
  EXPECT_EQ(item(1)->GetOffset(), -1);
  EXPECT_EQ(item(1)->GetPackedSize(), 0);
  EXPECT_EQ(item(2)->GetSourcePath(), L"C:\\w\\z.hlp");
  EXPECT_EQ(item(2)->GetName(), L"z.hlp");
  EXPECT_EQ(item(3)->GetName(), L"[ProgramFilesFolder]");
  EXPECT_EQ(item(3)->GetPredefinedFlag(), 1);
  EXPECT_EQ(item(3)->GetFolderFlag(), 1);
  EXPECT_EQ(item(4)->GetName(), L"named");
  EXPECT_EQ(item(4)->GetPredefinedFolder().GetName(), L"[X]");
  EXPECT_EQ(item(4)->GetDestinationFlag(), 1);

  // A Windows-style base keeps its separator.
  CInstallProject windows;
  zor::ProjectFromJsonText(text, L"C:\\proj", &windows);
  EXPECT_EQ(windows.GetProductInfo()->GetEnginePath(), L"C:\\proj\\engine/setup.exe");
}

TEST(ProjectJson, OffsetsAreWrittenOnRequestAndIgnoredOnInput) {
  CInstallProject project;
  FillProject(&project);
  CNode* product = project.GetFileGroups().GetHead()->GetTree().GetRoot()->GetChild(0)->GetChild(0)->GetChild(0);
  CZipFileIndexObject* packed = FileItem(L"a.exe", L"C:\\a.exe");
  packed->SetOffset(37093376);
  packed->SetPackedSize(5163);
  product->AddChild(NodeWith(packed));

  zor::ProjectJsonOptions outputs;
  outputs.buildOutputs = true;
  Json json = zor::ProjectToJson(project, outputs);
  const Json& node = json["fileGroups"][0]["tree"]["children"][0]["children"][0]["children"][0]["children"][0];
  EXPECT_EQ(node["offset"], 37093376);
  EXPECT_EQ(node["packedSize"], 5163);
  EXPECT_FALSE(zor::ProjectToJson(project).dump().find("offset") != std::string::npos);

  CInstallProject back;
  zor::ProjectFromJson(json, L"", &back);
  packed->SetOffset(-1);
  packed->SetPackedSize(0);
  EXPECT_EQ(StoreProject(back), StoreProject(project));
}

TEST(ProjectJson, RegistryDataTakesItsNaturalFormWhereTheBytesFitIt) {
  const struct {
    uint32_t type;
    Bytes data;
    const char* expected;  // the value's JSON without key, name and type
  } cases[] = {
      {1, B({'a', 0, 0xE9, 0, 0, 0}), R"({"data":"aé"})"},
      {2, B({'%', 0, 0, 0}), R"({"data":"%"})"},
      {1, B({0, 0}), R"({"data":""})"},
      {1, B({'a', 0}), R"({"hex":"61 00"})"},                      // no terminating zero
      {1, B({'a', 0, 0, 0, 'b', 0, 0, 0}), R"({"hex":"61 00 00 00 62 00 00 00"})"},
      {1, B({'a', 0, 0}), R"({"hex":"61 00 00"})"},                // odd length
      {1, B({0x00, 0xD8, 0, 0}), R"({"hex":"00 d8 00 00"})"},      // lone surrogate
      {7, B({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}), R"({"data":["a","b"]})"},
      {7, B({0, 0}), R"({"data":[]})"},
      {7, B({'a', 0, 0, 0}), R"({"hex":"61 00 00 00"})"},          // list end missing
      {7, B({'a', 0, 0, 0, 0, 0, 0, 0}), R"({"hex":"61 00 00 00 00 00 00 00"})"},
      {4, B({1, 2, 0, 0}), R"({"data":513})"},
      {4, B({1, 2, 0}), R"({"hex":"01 02 00"})"},
      {5, B({0, 0, 2, 1}), R"({"data":513})"},
      {11, B({1, 0, 0, 0, 0, 0, 0, 0x80}), R"({"data":9223372036854775809})"},
      {3, B({0xAB}), R"({"hex":"ab"})"},
      {0, B({1}), R"({"hex":"01"})"},
      {1, Bytes(), R"({})"},
  };
  for (const auto& c : cases) {
    CInstallProject project;
    auto* table = new CRegistryTable;
    table->AddValue(RegValue(L"v", c.type, c.data));
    project.AddRegistryTable(table);
    Json value = zor::ProjectToJson(project)["registryTables"][0]["values"][0];
    value.erase("key");
    value.erase("name");
    value.erase("type");
    EXPECT_EQ(value.dump(), c.expected) << c.type << " " << zor::ToHexBytes(c.data);
    // Whatever the form, the bytes come back.
    EXPECT_EQ(StoredThroughText(project, {}), StoreProject(project));
  }
}

TEST(ProjectJson, RegistryDataFromNaturalAndHexForms) {
  const struct {
    const char* value;
    Bytes expected;
  } cases[] = {
      {R"({"type": "REG_SZ", "data": "ab"})", B({'a', 0, 'b', 0, 0, 0})},
      {R"({"type": "REG_EXPAND_SZ", "data": "\u4e2d"})", B({0x2D, 0x4E, 0, 0})},
      {R"({"type": "REG_MULTI_SZ", "data": ["a", "bc"]})", B({'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0})},
      {R"({"type": "REG_MULTI_SZ", "data": []})", B({0, 0})},
      {R"({"type": "REG_DWORD", "data": 4294967295})", B({0xFF, 0xFF, 0xFF, 0xFF})},
      {R"({"type": 4, "data": "0x10"})", B({0x10, 0, 0, 0})},
      {R"({"type": "REG_DWORD_BIG_ENDIAN", "data": 258})", B({0, 0, 1, 2})},
      {R"({"type": "REG_QWORD", "data": 1})", B({1, 0, 0, 0, 0, 0, 0, 0})},
      {R"({"type": "REG_BINARY", "hex": "00ff 10"})", B({0, 0xFF, 0x10})},
      {R"({"type": "REG_SZ", "hex": ""})", Bytes()},
  };
  for (const auto& c : cases) {
    CInstallProject project;
    zor::ProjectFromJsonText(std::string(R"({"registryTables": [{"values": [)") + c.value + "]}]}", L"", &project);
    uint32_t size = 0;
    const uint8_t* data = project.GetRegistryTables().GetHead()->GetValues().GetHead()->GetData(&size);
    EXPECT_EQ(Bytes(data, data + size), c.expected) << c.value;
  }
}

TEST(ProjectJson, FoldersAndLanguagesUseTheBuiltInTablesWhereTheyCan) {
  EXPECT_EQ(zor::project_json::FolderToJson(CPreDefineFolder(L"[FaviratesFolder]", 6)), "[FaviratesFolder]");
  EXPECT_EQ(zor::project_json::FolderToJson(CPreDefineFolder(L"[FaviratesFolder]", 7)).dump(),
            R"({"name":"[FaviratesFolder]","id":7})");
  EXPECT_EQ(zor::project_json::LanguageToJson(CPreLang(L"English (United States)", 0x409)), 0x409);
  EXPECT_EQ(zor::project_json::LanguageToJson(CPreLang(L"", 0)), 0);
  EXPECT_EQ(zor::project_json::LanguageToJson(CPreLang(L"English", 0x409)).dump(), R"({"name":"English","id":1033})");
  EXPECT_EQ(zor::project_json::LanguageToJson(CPreLang()).dump(), R"({"name":"","id":-1})");
}

TEST(ProjectJson, CommentsAndAByteOrderMarkAreAccepted) {
  Bytes expected = StoredFrom(R"({"note": "n"})");
  EXPECT_EQ(StoredFrom("\xEF\xBB\xBF{ // the note\n \"note\": /* here */ \"n\"}"), expected);
}

TEST(ProjectJson, TreesAtTheDepthLimitLoadAndDeeperOnesAreRefused) {
  auto nested = [](int depth) {
    std::string text = R"({"fileGroups": [{"tree": )";
    for (int i = 0; i < depth; ++i) text += R"({"kind": "folder", "children": [)";
    text += R"({"kind": "file"})";
    for (int i = 0; i < depth; ++i) text += "]}";
    return text + "}]}";
  };
  CInstallProject ok;
  EXPECT_NO_THROW(zor::ProjectFromJsonText(nested(1000), L"", &ok));
  // The package's own loader reads it back.
  Bytes stored = StoreProject(ok);
  CInstallProject loaded;
  EXPECT_EQ(Load(stored, [&](CArchive& ar) { loaded.Serialize(ar); }), CArchiveException::none);

  CInstallProject deep;
  try {
    zor::ProjectFromJsonText(nested(1001), L"", &deep);
    ADD_FAILURE() << "a tree deeper than the loader reads was accepted";
  } catch (const zor::DescriptionError& e) {
    EXPECT_NE(std::string(e.what()).find("nested deeper than 1000 levels"), std::string::npos) << e.what();
  }
}

namespace {

// The message for a bad description, or "" when it loads. A refused
// description leaves the project empty.
std::string ErrorOf(const std::string& text) {
  CInstallProject project;
  Bytes empty = StoreProject(project);
  try {
    zor::ProjectFromJsonText(text, L"", &project);
  } catch (const zor::DescriptionError& e) {
    EXPECT_EQ(StoreProject(project), empty) << text;
    return e.what();
  }
  return std::string();
}

}  // namespace

TEST(ProjectJson, BadDescriptionsAreRefusedWithThePathOfTheFault) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {R"({"fileGroups": [{}, {}, {"tree": {"kind": "folder", "children": [{"kind": "file", "name": 5}]}}]})",
       "fileGroups[2].tree.children[0].name: expected a string"},
      {R"([])", "expected an object"},
      {R"({"note": {"utf16": [55296, 65536]}})", "note.utf16[1]: expected a UTF-16 code unit from 0 to 65535"},
      {R"({"note": {"utf16": "d800"}})", "note.utf16: expected an array"},
      {R"({"note": {}})", R"(note: missing key "utf16")"},
      {R"({"product": {"name": {"utf16": [80], "text": "P"}}})", "product.name.text: unknown key for a UTF-16 text"},

      {R"({"fileGroup": []})", R"(fileGroup: unknown key for a project (did you mean "fileGroups"?))"},
      {R"({"note": "a", "note": "b"})", "note: key given twice in one object"},
      {R"({"fileGroups": [{"tree": {"kind": "folder", "children": [{"kind": "folder", "kind": "file"}]}}]})",
       "fileGroups[0].tree.children[0].kind: key given twice in one object"},
      {R"({"project": {"name": "a", "Name": "b"}})",
       R"(project.Name: unknown key for the project information (did you mean "name"?))"},
      {R"({"formatVersion": 2})", "formatVersion: unknown format version 2 (this tool reads version 1)"},
      {R"({"components": {}})", "components: expected an array"},
      {R"({"components": [{"steps": [{"name": "x"}]}]})", R"(components[0].steps[0]: missing key "kind")"},
      {R"({"components": [{"steps": [{"kind": "splashy"}]}]})",
       R"(components[0].steps[0].kind: unknown step kind "splashy" (one of "step", "splash", "intro", "dirSelect", )"
       R"("extract", "finish", "dll", "exe", "admin", "os", "lang", "auto", "component"))"},
      {R"({"components": [{"steps": [{"kind": "splash", "message": "x"}]}]})",
       R"(components[0].steps[0].message: unknown key for a "splash" step)"},
      {R"({"components": [{"kind": "component"}]})", "components[0].kind: unknown key for a component"},
      {R"({"components": [{"enabled": "yes"}]})", "components[0].enabled: expected true, false or a 32-bit integer"},
      {R"({"components": [{"steps": [{"kind": "os", "codes": [-1]}]}]})",
       "components[0].steps[0].codes[0]: expected an integer from 0 to 4294967295"},
      {R"({"product": {"optionWord": 2147483648}})",
       "product.optionWord: expected an integer from -2147483648 to 2147483647"},
      {R"({"product": {"optionWord": 1.5}})", "product.optionWord: expected an integer from -2147483648 to 2147483647"},
      {R"({"product": {"installRoot": "[programfilesfolder]"}})",
       R"(product.installRoot: unknown folder keyword "[programfilesfolder]" (did you mean "[ProgramFilesFolder]"?); )"
       R"(give a keyword such as "[ProgramFilesFolder]", a folder id, or {"name", "id"})"},
      {R"({"product": {"installRoot": 99}})",
       R"(product.installRoot: no built-in folder has the id 99; give {"name", "id"} instead)"},
      {R"({"product": {"installRoot": {"name": "x", "ids": 3}}})",
       R"(product.installRoot.ids: unknown key for a folder (did you mean "id"?))"},
      {R"({"project": {"languages": [12345]}})",
       R"(project.languages[0]: no built-in language has the id 12345; give {"name", "id"} instead)"},
      {R"({"project": {"languages": ["German"]}})",
       R"(project.languages[0]: expected a language id (such as 1033 or "0x409") or {"name", "id"})"},
      {R"({"registryTables": [{"values": [{"type": "REG_SZ", "data": "a", "hex": "00"}]}]})",
       R"(registryTables[0].values[0].hex: give either "data" or "hex", not both)"},
      {R"({"registryTables": [{"values": [{"hex": "0g"}]}]})",
       R"(registryTables[0].values[0].hex: expected pairs of hex digits, such as "01 ff 3c")"},
      {R"({"registryTables": [{"values": [{"hex": "0 1"}]}]})",
       R"(registryTables[0].values[0].hex: expected pairs of hex digits, such as "01 ff 3c")"},
      {R"({"registryTables": [{"values": [{"type": "REG_BINARY", "data": "00"}]}]})",
       R"(registryTables[0].values[0].data: REG_BINARY data has no natural form; give it as "hex")"},
      {R"({"registryTables": [{"values": [{"type": "REG_MULTI_SZ", "data": ["a", ""]}]}]})",
       "registryTables[0].values[0].data[1]: a REG_MULTI_SZ list cannot hold an empty text"},
      {R"({"registryTables": [{"values": [{"type": "REG_SZ", "data": "a\u0000b"}]}]})",
       R"(registryTables[0].values[0].data: a REG_SZ text cannot hold U+0000; give the data as "hex")"},
      {R"({"registryTables": [{"values": [{"type": "REG_DWORD", "data": -1}]}]})",
       "registryTables[0].values[0].data: expected an integer from 0 to 4294967295"},
      {R"({"registryTables": [{"values": [{"type": "REG_FOO"}]}]})",
       R"(registryTables[0].values[0].type: unknown registry type "REG_FOO" (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, )"
       R"(REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE ... or a number))"},
      {R"({"fileGroups": [{"tree": 5}]})", "fileGroups[0].tree: expected an object"},
      {R"({"fileGroups": [{"tree": {"name": "x"}}]})", R"(fileGroups[0].tree: missing key "kind")"},
      {R"({"fileGroups": [{"tree": {"kind": "dir"}}]})",
       R"(fileGroups[0].tree.kind: unknown node kind "dir" ("folder", "file", "predefined" or "empty"))"},
      {R"({"fileGroups": [{"tree": {"kind": "folder", "folderFlag": 0}}]})",
       R"(fileGroups[0].tree.folderFlag: a "folder" node has a folder flag; use kind "file")"},
      {R"({"fileGroups": [{"tree": {"kind": "file", "folderFlag": 1}}]})",
       R"(fileGroups[0].tree.folderFlag: unknown key for a "file" node)"},
      {R"({"fileGroups": [{"tree": {"kind": "folder", "systemFolder": 38}}]})",
       R"(fileGroups[0].tree.systemFolder: unknown key for a "folder" node)"},
      {R"({"fileGroups": [{"tree": {"kind": "predefined", "predefinedFlag": false}}]})",
       R"(fileGroups[0].tree.predefinedFlag: a "predefined" node has a predefined flag; use another kind)"},
      {R"({"fileGroups": [{"tree": {"kind": "empty", "name": "x"}}]})",
       R"(fileGroups[0].tree.name: unknown key for an "empty" node)"},
      {R"({"fileGroups": [{"tree": {"kind": "file", "fromFolder": "x"}}]})",
       R"(fileGroups[0].tree.fromFolder: only a "folder" or "predefined" node can be filled from a folder)"},
      {R"({"bitmapTables": [{"bitmaps": [{"id": 1, "picture": {"kind": "file", "children": []}}]}]})",
       "bitmapTables[0].bitmaps[0].picture.children: unknown key for a picture"},
      {R"({"shortcutTables": [{"tree": {"kind": "shortcut", "systemFolder": 3}}]})",
       R"(shortcutTables[0].tree.systemFolder: unknown key for a "shortcut" node of a shortcut tree)"},
      {R"({"shortcutTables": [{"tree": {"kind": "folder", "folderFlag": 0}}]})",
       R"(shortcutTables[0].tree.folderFlag: a "folder" node has a folder flag; use kind "shortcut")"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.text), c.message) << c.text;
}

TEST(ProjectJson, SyntaxErrorsNameTheLineAndColumn) {
  EXPECT_EQ(ErrorOf("{\n  \"note\": \"a\",\n}"),
            "parse error at line 3, column 1: syntax error while parsing object key - unexpected '}'; "
            "expected string literal");
  EXPECT_NE(ErrorOf("").find("parse error at line 1, column 1"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"note": "\ud800"})").find("parse error"), std::string::npos);
  EXPECT_NE(ErrorOf("{\"note\": \"\xFF\"}").find("parse error"), std::string::npos);
}
