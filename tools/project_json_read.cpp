// Description → project.
#include <algorithm>
#include <memory>

#include "common/wstr.h"
#include "model/bitmap_table.h"
#include "model/component.h"
#include "model/condition.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "model/registry.h"
#include "model/selectors.h"
#include "model/shortcut.h"
#include "model/string_table.h"
#include "platform/absolute_path.h"
#include "platform/host.h"
#include "tools/file_io.h"
#include "tools/project_json.h"
#include "tools/project_json_detail.h"

namespace zor {

using namespace project_json;

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// "a \"splash\"", "an \"intro\"": the kind with its article, for messages.
std::string WithArticle(const std::string& kind) {
  bool vowel = !kind.empty() && std::string("aeiouAEIOU").find(kind[0]) != std::string::npos;
  return (vowel ? "an " : "a ") + Quoted(kind);
}

class Reader {
 public:
  explicit Reader(std::wstring base) : m_base(std::move(base)) {}

  // A building-machine path, relative to the description's folder.
  std::wstring Path(const JsonValue& value) const { return ResolvePath(m_base, value.String()); }

  std::unique_ptr<CStreamObject> Step(const JsonValue& value, int depth) const;
  void StepFields(JsonObject& o, CStreamObject* step, int depth) const;
  void FileEntry(JsonObject& o, const std::string& kind, CZipFileIndexObject* item) const;
  std::unique_ptr<CZipFileIndexObject> Picture(const JsonValue& value) const;
  std::unique_ptr<CNode> FileNode(const JsonValue& value, int depth) const;
  std::unique_ptr<CNode> ShortcutNode(const JsonValue& value, int depth) const;
  void FillFromFolder(const std::wstring& folder, CNode* parent, int depth, const JsonValue& at) const;

 private:
  std::wstring m_base;
};

void CheckDepth(const JsonValue& at, int depth) {
  if (depth > kMaxDepth) at.Fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
}

std::unique_ptr<CStreamObject> Reader::Step(const JsonValue& value, int depth) const {
  CheckDepth(value, depth);
  JsonObject o(value);
  JsonValue kindValue = o.Require("kind");
  std::string kind = kindValue.Utf8();
  const CRuntimeClass* cls = StepKindClass(kind);
  if (!cls) kindValue.Fail("unknown step kind " + Quoted(kind) + " (one of " + StepKindList() + ")");
  std::unique_ptr<CStreamObject> step(static_cast<CStreamObject*>(cls->CreateObject()));
  StepFields(o, step.get(), depth);
  o.Finish(WithArticle(kind) + " step");
  return step;
}

// The members of a step of any kind, the kind itself excepted; also those of
// a component.
void Reader::StepFields(JsonObject& o, CStreamObject* step, int depth) const {
  if (auto v = o.Get("name")) step->SetName(v->String());
  if (auto v = o.Get("enabled")) step->SetEnabled(v->Flag());
  if (auto v = o.Get("type")) step->SetType(v->Int32());

  if (auto* admin = DynamicDowncast<CAdminSelect>(step)) {
    if (auto v = o.Get("check")) admin->SetCheckEnabled(v->Flag());
    if (auto v = o.Get("message")) admin->SetMessageText(v->String());
    if (auto v = o.Get("caption")) admin->SetCaption(v->String());
  } else if (auto* os = DynamicDowncast<COSSelect>(step)) {
    if (auto v = o.Get("message")) os->SetMessageText(v->String());
    if (auto v = o.Get("caption")) os->SetCaption(v->String());
    if (auto v = o.Get("codes"))
      for (const JsonValue& code : v->Elements()) os->AddCode(code.Uint32());
  } else if (auto* lang = DynamicDowncast<CLangSelect>(step)) {
    if (auto v = o.Get("languages"))
      for (const JsonValue& id : v->Elements()) lang->AddLang(id.Uint32());
  } else if (auto* autoSel = DynamicDowncast<CAutoSelect>(step)) {
    if (auto v = o.Get("conditions")) {
      for (const JsonValue& item : v->Elements()) {
        JsonObject c(item);
        auto condition = std::make_unique<CInstallCondition>();
        if (auto t = c.Get("text")) condition->SetText(t->String());
        if (auto t = c.Get("osCode")) condition->SetOsCode(t->Uint32());
        if (auto t = c.Get("language")) condition->SetLanguage(LanguageFromJson(*t));
        c.Finish("a condition");
        autoSel->AddCondition(condition.release());
      }
    }
  } else if (auto* component = DynamicDowncast<CInstallCompent>(step)) {
    if (auto v = o.Get("firstText")) component->SetFirstText(v->String());
    if (auto v = o.Get("secondText")) component->SetSecondText(v->String());
    if (auto v = o.Get("extraWord")) component->SetExtraWord(v->Int32());
    if (auto v = o.Get("steps"))
      for (const JsonValue& item : v->Elements()) component->AddStep(Step(item, depth + 1).release());
  }
}

// The members of a file entry for the node kinds "file", "folder" and
// "predefined". The flags follow from the kind; "folderFlag" and
// "predefinedFlag" give other non-zero values where the kind allows them, so
// every stored combination has exactly one form.
void Reader::FileEntry(JsonObject& o, const std::string& kind, CZipFileIndexObject* item) const {
  std::optional<JsonValue> source = o.Get("source");
  if (source) item->SetSourcePath(Path(*source));
  if (kind == "predefined") {
    item->SetFolderFlag(1);
    item->SetPredefinedFlag(1);
    if (auto v = o.Get("systemFolder")) {
      CPreDefineFolder folder = FolderFromJson(*v);
      item->SetPredefinedFolder(&folder);
    }
  } else if (kind == "folder") {
    item->SetFolderFlag(1);
  } else if (source) {
    // A file is installed under its own name unless told otherwise.
    item->SetName(LastComponent(source->String()));
  }
  if (auto v = o.Get("name")) item->SetName(v->String());
  if (kind != "file") {
    if (auto v = o.Get("folderFlag")) {
      item->SetFolderFlag(v->Flag());
      if (kind == "folder" && item->GetFolderFlag() == 0) v->Fail("a \"folder\" node has a folder flag; use kind \"file\"");
    }
  }
  if (kind == "predefined") {
    if (auto v = o.Get("predefinedFlag")) {
      item->SetPredefinedFlag(v->Flag());
      if (item->GetPredefinedFlag() == 0) v->Fail("a \"predefined\" node has a predefined flag; use another kind");
    }
  }
  if (auto v = o.Get("destination")) item->SetDestinationFlag(v->Flag());
  if (auto v = o.Get("reserved")) item->SetReservedField(v->Int32());
  // Written by the package builder; whatever a description says is ignored.
  o.Allow("offset");
  o.Allow("packedSize");
}

const char* const kFileKinds = "\"folder\", \"file\", \"predefined\" or \"empty\"";

std::unique_ptr<CZipFileIndexObject> Reader::Picture(const JsonValue& value) const {
  JsonObject o(value);
  JsonValue kindValue = o.Require("kind");
  std::string kind = kindValue.Utf8();
  if (kind != "file" && kind != "folder" && kind != "predefined")
    kindValue.Fail("unknown kind " + Quoted(kind) + " (\"file\", \"folder\" or \"predefined\")");
  auto item = std::make_unique<CZipFileIndexObject>();
  FileEntry(o, kind, item.get());
  o.Finish("a picture");
  return item;
}

std::unique_ptr<CNode> Reader::FileNode(const JsonValue& value, int depth) const {
  CheckDepth(value, depth);
  JsonObject o(value);
  JsonValue kindValue = o.Require("kind");
  std::string kind = kindValue.Utf8();
  auto node = std::make_unique<CNode>();
  if (kind != "empty") {
    if (kind != "file" && kind != "folder" && kind != "predefined")
      kindValue.Fail("unknown node kind " + Quoted(kind) + " (" + kFileKinds + ")");
    auto item = std::make_unique<CZipFileIndexObject>();
    FileEntry(o, kind, item.get());
    node->SetData(item.release());
  }
  if (auto v = o.Get("children"))
    for (const JsonValue& child : v->Elements()) node->AddChild(FileNode(child, depth + 1).release());
  if (auto v = o.Get("fromFolder")) {
    if (kind != "folder" && kind != "predefined") v->Fail("only a \"folder\" or \"predefined\" node can be filled from a folder");
    FillFromFolder(Path(*v), node.get(), depth, *v);
  }
  o.Finish(WithArticle(kind) + " node");
  return node;
}

// Appends the files, then the folders, of `folder` under `parent`, each group
// sorted by name, so the same folder always gives the same tree whatever
// order the system lists it in.
void Reader::FillFromFolder(const std::wstring& folder, CNode* parent, int depth, const JsonValue& at) const {
  std::vector<DirEntry> entries;
  if (!CurrentHost().ListDirectory(folder, &entries)) at.Fail("cannot read the folder " + ToUtf8(folder));
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
    if (a.isDirectory != b.isDirectory) return !a.isDirectory;
    std::wstring la = AsciiLower(a.name), lb = AsciiLower(b.name);
    if (la != lb) return ToUtf16(la) < ToUtf16(lb);
    return ToUtf16(a.name) < ToUtf16(b.name);
  });
  for (const DirEntry& e : entries) {
    if (depth + 1 > kMaxDepth)
      at.Fail("the folder " + ToUtf8(folder) + " is nested deeper than " + std::to_string(kMaxDepth) +
              " levels (does a link loop back?)");
    auto item = std::make_unique<CZipFileIndexObject>();
    item->SetName(e.name);
    auto node = std::make_unique<CNode>();
    CNode* raw = node.get();
    std::wstring path = JoinPath(folder, e.name);
    if (e.isDirectory) {
      item->SetFolderFlag(1);
    } else {
      item->SetSourcePath(path);
    }
    node->SetData(item.release());
    parent->AddChild(node.release());
    if (e.isDirectory) FillFromFolder(path, raw, depth + 1, at);
  }
}

std::unique_ptr<CNode> Reader::ShortcutNode(const JsonValue& value, int depth) const {
  CheckDepth(value, depth);
  JsonObject o(value);
  JsonValue kindValue = o.Require("kind");
  std::string kind = kindValue.Utf8();
  auto node = std::make_unique<CNode>();
  if (kind != "empty") {
    if (kind != "shortcut" && kind != "folder" && kind != "predefined")
      kindValue.Fail("unknown node kind " + Quoted(kind) + " (\"predefined\", \"folder\", \"shortcut\" or \"empty\")");
    auto s = std::make_unique<CShortcut>();
    if (kind == "predefined") {
      s->SetPredefinedFlag(1);
      if (auto v = o.Get("systemFolder")) {
        CPreDefineFolder folder = FolderFromJson(*v);
        s->SetPredefinedFolder(&folder);
      }
    } else if (kind == "folder") {
      s->SetFolderFlag(1);
    }
    if (auto v = o.Get("name")) s->SetName(v->String());
    if (auto v = o.Get("firstText")) s->SetFirstText(v->String());
    if (auto v = o.Get("secondText")) s->SetSecondText(v->String());
    if (auto v = o.Get("thirdText")) s->SetThirdText(v->String());
    if (auto v = o.Get("fourthText")) s->SetFourthText(v->String());
    if (auto v = o.Get("page")) s->SetPage(v->String());
    if (auto v = o.Get("thirdFlag")) s->SetThirdFlag(v->Uint32());
    if (kind != "shortcut") {
      if (auto v = o.Get("folderFlag")) {
        s->SetFolderFlag(v->Flag());
        if (kind == "folder" && s->GetFolderFlag() == 0) v->Fail("a \"folder\" node has a folder flag; use kind \"shortcut\"");
      }
    }
    if (kind == "predefined") {
      if (auto v = o.Get("predefinedFlag")) {
        int32_t folderFlag = s->GetFolderFlag();
        s->SetPredefinedFlag(v->Flag());
        s->SetFolderFlag(folderFlag);  // the flag setter would make it 1
        if (s->GetPredefinedFlag() == 0) v->Fail("a \"predefined\" node has a predefined flag; use another kind");
      }
    }
    node->SetData(s.release());
  }
  if (auto v = o.Get("children"))
    for (const JsonValue& child : v->Elements()) node->AddChild(ShortcutNode(child, depth + 1).release());
  o.Finish(WithArticle(kind) + " node of a shortcut tree");
  return node;
}

template <class F>
void ForEachIn(JsonObject& o, const char* key, F f) {
  if (auto v = o.Get(key))
    for (const JsonValue& item : v->Elements()) f(item);
}

}  // namespace

void ProjectFromJson(const Json& description, const std::wstring& baseFolder, CInstallProject* out) {
  Reader r(baseFolder);
  JsonValue rootValue(description);
  JsonObject root(rootValue);
  if (auto v = root.Get("formatVersion"))
    if (v->Int32() != 1) v->Fail("unknown format version " + std::to_string(v->Int32()) + " (this tool reads version 1)");

  // Records are made in a project of their own first, and the whole project
  // is then stored and loaded into `out`: a project takes its own steps only
  // from an archive, and `out` stays empty when the description is refused.
  CInstallProject made;
  CTypedPtrList<CStreamObject> steps;
  if (auto v = root.Get("note")) made.SetNote(v->String());

  if (auto v = root.Get("project")) {
    JsonObject o(*v);
    CInsallProjectInfo* info = made.GetProjectInfo();
    if (auto f = o.Get("name")) info->SetProjectName(f->String());
    if (auto f = o.Get("author")) info->SetAuthor(f->String());
    if (auto f = o.Get("basePath")) info->SetBasePath(f->String());
    if (auto f = o.Get("buildLog")) info->SetBuildLogPath(r.Path(*f));
    ForEachIn(o, "languages", [&](const JsonValue& item) { info->AddLanguage(LanguageFromJson(item)); });
    o.Finish("the project information");
  }

  if (auto v = root.Get("author")) {
    JsonObject o(*v);
    CInstallAuthorInfo* info = made.GetAuthorInfo();
    if (auto f = o.Get("name")) info->SetName(f->String());
    if (auto f = o.Get("webSite")) info->SetWebSite(f->String());
    if (auto f = o.Get("address")) info->SetAddress(f->String());
    if (auto f = o.Get("telephone")) info->SetTelephone(f->String());
    if (auto f = o.Get("email")) info->SetEmail(f->String());
    o.Finish("the author information");
  }

  if (auto v = root.Get("product")) {
    JsonObject o(*v);
    CInstallProductInfo* info = made.GetProductInfo();
    if (auto f = o.Get("name")) info->SetProductName(f->String());
    if (auto f = o.Get("version")) info->SetVersion(f->String());
    if (auto f = o.Get("company")) info->SetCompany(f->String());
    if (auto f = o.Get("webSite")) info->SetWebSite(f->String());
    if (auto f = o.Get("email")) info->SetEmail(f->String());
    if (auto f = o.Get("telephone")) info->SetTelephone(f->String());
    if (auto f = o.Get("defaultInstallFolder")) info->SetDefaultInstallFolder(f->String());
    if (auto f = o.Get("installRoot")) info->SetInstallRoot(FolderFromJson(*f));
    if (auto f = o.Get("optionWord")) info->SetOptionWord(f->Int32());
    if (auto f = o.Get("engine")) info->SetEnginePath(r.Path(*f));
    if (auto f = o.Get("secondExecutable")) info->SetSecondExePath(f->String());
    o.Finish("the product information");
  }

  ForEachIn(root, "steps", [&](const JsonValue& item) { steps.AddTail(r.Step(item, 0).release()); });

  ForEachIn(root, "components", [&](const JsonValue& item) {
    JsonObject o(item);
    auto component = std::make_unique<CInstallCompent>();
    r.StepFields(o, component.get(), 0);
    o.Finish("a component");
    made.AddComponent(component.release());
  });

  ForEachIn(root, "stringTables", [&](const JsonValue& item) {
    JsonObject o(item);
    auto table = std::make_unique<CStringTable>();
    if (auto f = o.Get("name")) table->SetName(f->String());
    if (auto f = o.Get("language")) table->SetLanguage(f->Uint32());
    if (auto f = o.Get("storedCount")) table->SetCachedCount(f->Int32());
    ForEachIn(o, "strings", [&](const JsonValue& entryValue) {
      JsonObject e(entryValue);
      auto entry = std::make_unique<CIDString>();
      if (auto f = e.Get("id")) entry->SetId(f->Int32());
      if (auto f = e.Get("tag")) entry->SetTag(f->Int32());
      if (auto f = e.Get("text")) entry->SetText(f->String());
      e.Finish("a string");
      // Taken as written: the validated add would refuse the tag word 0 that
      // every entry read from an initialization file has.
      table->GetEntries().AddTail(entry.release());
    });
    o.Finish("a string table");
    made.AddStringTable(table.release());
  });

  ForEachIn(root, "bitmapTables", [&](const JsonValue& item) {
    JsonObject o(item);
    auto table = std::make_unique<CBitmapTable>();
    if (auto f = o.Get("name")) table->SetName(f->String());
    if (auto f = o.Get("storedCount")) table->SetCachedCount(f->Int32());
    ForEachIn(o, "bitmaps", [&](const JsonValue& entryValue) {
      JsonObject e(entryValue);
      auto entry = std::make_unique<CIDBitmap>();
      if (auto f = e.Get("id")) entry->SetId(f->Int32());
      if (auto f = e.Get("picture")) entry->GetPicture() = *r.Picture(*f);
      e.Finish("a bitmap");
      table->GetEntries().AddTail(entry.release());
    });
    o.Finish("a bitmap table");
    made.AddBitmapTable(table.release());
  });

  ForEachIn(root, "registryTables", [&](const JsonValue& item) {
    JsonObject o(item);
    auto table = std::make_unique<CRegistryTable>();
    if (auto f = o.Get("name")) table->SetName(f->String());
    ForEachIn(o, "values", [&](const JsonValue& valueValue) {
      JsonObject e(valueValue);
      auto value = std::make_unique<CRegistryValue>();
      if (auto f = e.Get("key")) value->SetKeyPath(f->String());
      if (auto f = e.Get("name")) value->SetValueName(f->String());
      if (auto f = e.Get("type")) value->SetValueType(RegistryTypeFromJson(*f));
      auto data = e.Get("data");
      auto hex = e.Get("hex");
      if (data && hex) hex->Fail("give either \"data\" or \"hex\", not both");
      if (data) value->SetData(RegistryDataFromJson(value->GetValueType(), *data));
      if (hex) {
        auto bytes = ParseHexBytes(hex->Utf8());
        if (!bytes) hex->Fail("expected pairs of hex digits, such as \"01 ff 3c\"");
        value->SetData(std::move(*bytes));
      }
      if (auto f = e.Get("delete")) value->SetDeleteFlag(f->Flag());
      if (auto f = e.Get("secondFlag")) value->SetSecondFlag(f->Int32());
      e.Finish("a registry value");
      table->AddValue(value.release());
    });
    o.Finish("a registry table");
    made.AddRegistryTable(table.release());
  });

  ForEachIn(root, "shortcutTables", [&](const JsonValue& item) {
    JsonObject o(item);
    auto table = std::make_unique<CShortCutTable>();
    if (auto f = o.Get("name")) table->SetName(f->String());
    if (auto f = o.Get("reserved")) table->SetReservedField(f->Int32());
    if (auto f = o.Get("tree"))
      if (!f->IsNull()) table->GetTree().SetRoot(r.ShortcutNode(*f, 0).release());
    o.Finish("a shortcut table");
    made.AddShortCutTable(table.release());
  });

  ForEachIn(root, "fileGroups", [&](const JsonValue& item) {
    JsonObject o(item);
    auto group = std::make_unique<CExtractFileList>();
    if (auto f = o.Get("name")) group->SetName(f->String());
    if (auto f = o.Get("reserved")) group->SetReservedField(f->Int32());
    if (auto f = o.Get("tree"))
      if (!f->IsNull()) group->GetTree().SetRoot(r.FileNode(*f, 0).release());
    o.Finish("a file group");
    made.AddFileGroup(group.release());
  });

  root.Finish("a project");

  // The project's own stored order; the round-trip tests hold it to
  // CInstallProject::Serialize.
  MemoryStream bytes;
  {
    CArchive ar(&bytes, CArchive::store);
    std::wstring note = made.GetNote();
    ar.Exchange(note);
    made.GetProjectInfo()->Serialize(ar);
    made.GetAuthorInfo()->Serialize(ar);
    made.GetProductInfo()->Serialize(ar);
    steps.Serialize(ar);
    const_cast<CTypedPtrList<CInstallCompent>&>(made.GetComponents()).Serialize(ar);
    const_cast<CTypedPtrList<CStringTable>&>(made.GetStringTables()).Serialize(ar);
    const_cast<CTypedPtrList<CBitmapTable>&>(made.GetBitmapTables()).Serialize(ar);
    const_cast<CTypedPtrList<CRegistryTable>&>(made.GetRegistryTables()).Serialize(ar);
    const_cast<CTypedPtrList<CShortCutTable>&>(made.GetShortCutTables()).Serialize(ar);
    const_cast<CTypedPtrList<CExtractFileList>&>(made.GetFileGroups()).Serialize(ar);
    ar.Close();
  }
  MemoryStream in(bytes.Bytes().data(), bytes.Bytes().size());
  CArchive ar(&in, CArchive::load);
  out->Serialize(ar);
}

void ProjectFromJsonText(std::string_view text, const std::wstring& baseFolder, CInstallProject* out) {
  ProjectFromJson(ParseDescription(text), baseFolder, out);
}

bool LoadProjectDescription(const std::wstring& path, CInstallProject* out, std::string* error) {
  // The file as a full path, so its folder is one: what is stored is then
  // the same from any working folder.
  const std::wstring absolute = AbsoluteOrAsGiven(path);
  std::string text;
  std::string reason;
  if (!ReadWholeFile(absolute, &text, &reason)) {
    *error = ToUtf8(path) + ": " + reason;
    return false;
  }
  try {
    ProjectFromJsonText(text, FolderOf(absolute), out);
  } catch (const DescriptionError& e) {
    *error = ToUtf8(path) + ": " + e.what();
    return false;
  } catch (const CArchiveException& e) {
    // The records made from the description always store and load; this is
    // here so no fault of ours ends the tool without a word.
    *error = ToUtf8(path) + ": the described project does not store (" + e.what() + ")";
    return false;
  }
  return true;
}

}  // namespace zor
