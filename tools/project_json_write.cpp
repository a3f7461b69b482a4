// Project → description.
#include <stdexcept>

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
#include "tools/project_json.h"
#include "tools/project_json_detail.h"

namespace zor {

using namespace project_json;

namespace {

// Adds members, leaving out those at their defaults unless every field is
// asked for.
class Writer {
 public:
  explicit Writer(const ProjectJsonOptions& options) : m_options(options) {}

  void Text(Json& out, const char* key, const std::wstring& value, const std::wstring& def = std::wstring()) const {
    if (m_options.allFields || value != def) out[key] = TextToJson(value);
  }
  template <class T>
  void Number(Json& out, const char* key, T value, T def) const {
    if (m_options.allFields || value != def) out[key] = value;
  }
  void Flag(Json& out, const char* key, int32_t value, int32_t def) const {
    if (m_options.allFields || value != def) out[key] = FlagToJson(value);
  }
  void Folder(Json& out, const char* key, const CPreDefineFolder& folder) const {
    if (m_options.allFields || !IsDefaultFolder(folder)) out[key] = FolderToJson(folder);
  }
  bool All() const { return m_options.allFields; }
  bool BuildOutputs() const { return m_options.buildOutputs; }

  Json Step(const CStreamObject& step, bool withKind, int depth) const;
  Json FileNode(const CNode* node, int depth) const;
  Json FileEntry(const CZipFileIndexObject& item) const;
  Json ShortcutNode(const CNode* node, int depth) const;

 private:
  const ProjectJsonOptions& m_options;
};

void CheckDepth(int depth) {
  // Loaded projects stay within the bound (the archive refuses deeper
  // trees); a project built in memory might not.
  if (depth > kMaxDepth) throw std::logic_error("project nested deeper than " + std::to_string(kMaxDepth) + " levels");
}

Json Writer::Step(const CStreamObject& step, bool withKind, int depth) const {
  CheckDepth(depth);
  Json out = Json::object();
  if (withKind) {
    const char* kind = StepKindName(step.GetRuntimeClass());
    if (!kind) throw std::logic_error(std::string("no description form for steps of class ") +
                                      step.GetRuntimeClass()->m_lpszClassName);
    out["kind"] = kind;
  }
  Text(out, "name", step.GetName());
  Flag(out, "enabled", step.GetEnabled(), 1);
  Number(out, "type", step.GetType(), 0);

  if (auto* admin = DynamicDowncast<CAdminSelect>(const_cast<CStreamObject*>(&step))) {
    CAdminSelect def;
    Flag(out, "check", admin->GetCheckEnabled(), def.GetCheckEnabled());
    Text(out, "message", admin->GetMessageText(), def.GetMessageText());
    Text(out, "caption", admin->GetCaption(), def.GetCaption());
  } else if (auto* os = DynamicDowncast<COSSelect>(const_cast<CStreamObject*>(&step))) {
    COSSelect def;
    Text(out, "message", os->GetMessageText(), def.GetMessageText());
    Text(out, "caption", os->GetCaption(), def.GetCaption());
    if (All() || !os->GetCodes().empty()) out["codes"] = os->GetCodes();
  } else if (auto* lang = DynamicDowncast<CLangSelect>(const_cast<CStreamObject*>(&step))) {
    if (All() || !lang->GetLangs().empty()) out["languages"] = lang->GetLangs();
  } else if (auto* autoSel = DynamicDowncast<CAutoSelect>(const_cast<CStreamObject*>(&step))) {
    Json conditions = Json::array();
    for (const CInstallCondition* c : autoSel->GetTable().GetConditions()) {
      Json jc = Json::object();
      Text(jc, "text", c->GetText());
      Number(jc, "osCode", c->GetOsCode(), 0u);
      if (All() || !IsDefaultLanguage(c->GetLanguage())) jc["language"] = LanguageToJson(c->GetLanguage());
      conditions.push_back(std::move(jc));
    }
    if (All() || !conditions.empty()) out["conditions"] = std::move(conditions);
  } else if (auto* component = DynamicDowncast<CInstallCompent>(const_cast<CStreamObject*>(&step))) {
    Text(out, "firstText", component->GetFirstText());
    Text(out, "secondText", component->GetSecondText());
    Number(out, "extraWord", component->GetExtraWord(), 0);
    Json steps = Json::array();
    for (const CStreamObject* s : component->GetSteps()) steps.push_back(Step(*s, true, depth + 1));
    if (All() || !steps.empty()) out["steps"] = std::move(steps);
  }
  return out;
}

// The members of a file entry, for tree nodes and bitmap pictures alike.
Json Writer::FileEntry(const CZipFileIndexObject& item) const {
  Json out = Json::object();
  const bool predefined = item.GetPredefinedFlag() != 0;
  const bool folder = !predefined && item.GetFolderFlag() != 0;
  out["kind"] = predefined ? "predefined" : folder ? "folder" : "file";
  std::wstring defaultName;
  if (predefined) {
    Folder(out, "systemFolder", item.GetPredefinedFolder());
    defaultName = item.GetPredefinedFolder().GetName();
  } else if (!folder) {
    defaultName = LastComponent(item.GetSourcePath());
  }
  Text(out, "name", item.GetName(), defaultName);
  Text(out, "source", item.GetSourcePath());
  Flag(out, "destination", item.GetDestinationFlag(), 0);
  if (predefined || folder) Flag(out, "folderFlag", item.GetFolderFlag(), 1);
  if (predefined) Flag(out, "predefinedFlag", item.GetPredefinedFlag(), 1);
  Number(out, "reserved", item.GetReservedField(), 0);
  if (BuildOutputs() && (All() || item.GetOffset() != -1 || item.GetPackedSize() != 0)) {
    out["offset"] = item.GetOffset();
    out["packedSize"] = item.GetPackedSize();
  }
  return out;
}

Json Writer::FileNode(const CNode* node, int depth) const {
  CheckDepth(depth);
  Json out;
  if (auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData())) {
    out = FileEntry(*item);
  } else if (!node->GetData()) {
    out = Json::object();
    out["kind"] = "empty";
  } else {
    throw std::logic_error(std::string("a file group node holds a ") + node->GetData()->GetRuntimeClass()->m_lpszClassName);
  }
  Json children = Json::array();
  for (int i = 0; i < node->GetChildCount(); ++i) children.push_back(FileNode(node->GetChild(i), depth + 1));
  if (All() || !children.empty()) out["children"] = std::move(children);
  return out;
}

Json Writer::ShortcutNode(const CNode* node, int depth) const {
  CheckDepth(depth);
  Json out = Json::object();
  if (auto* s = DynamicDowncast<CShortcut>(node->GetData())) {
    const bool predefined = s->GetPredefinedFlag() != 0;
    const bool folder = !predefined && s->GetFolderFlag() != 0;
    out["kind"] = predefined ? "predefined" : folder ? "folder" : "shortcut";
    std::wstring defaultName;
    if (predefined) {
      Folder(out, "systemFolder", s->GetPredefinedFolder());
      defaultName = s->GetPredefinedFolder().GetName();
    }
    Text(out, "name", s->GetName(), defaultName);
    Text(out, "firstText", s->GetFirstText());
    Text(out, "secondText", s->GetSecondText());
    Text(out, "thirdText", s->GetThirdText());
    Text(out, "fourthText", s->GetFourthText());
    Text(out, "page", s->GetPage());
    Number(out, "thirdFlag", s->GetThirdFlag(), 0u);
    if (predefined || folder) Flag(out, "folderFlag", s->GetFolderFlag(), 1);
    if (predefined) Flag(out, "predefinedFlag", s->GetPredefinedFlag(), 1);
  } else if (!node->GetData()) {
    out["kind"] = "empty";
  } else {
    throw std::logic_error(std::string("a shortcut node holds a ") + node->GetData()->GetRuntimeClass()->m_lpszClassName);
  }
  Json children = Json::array();
  for (int i = 0; i < node->GetChildCount(); ++i) children.push_back(ShortcutNode(node->GetChild(i), depth + 1));
  if (All() || !children.empty()) out["children"] = std::move(children);
  return out;
}

}  // namespace

Json ProjectToJson(const CInstallProject& constProject, const ProjectJsonOptions& options) {
  // The information records have no const accessors; nothing here changes
  // them.
  CInstallProject& project = const_cast<CInstallProject&>(constProject);
  Writer w(options);
  Json out = Json::object();
  out["formatVersion"] = 1;
  w.Text(out, "note", project.GetNote());

  const CInsallProjectInfo& pi = *project.GetProjectInfo();
  Json jp = Json::object();
  w.Text(jp, "name", pi.GetProjectName());
  w.Text(jp, "author", pi.GetAuthor());
  w.Text(jp, "basePath", pi.GetBasePath());
  w.Text(jp, "buildLog", pi.GetBuildLogPath());
  Json languages = Json::array();
  for (const CPreLang* lang : pi.GetLanguages()) languages.push_back(LanguageToJson(*lang));
  if (w.All() || !languages.empty()) jp["languages"] = std::move(languages);
  out["project"] = std::move(jp);

  const CInstallAuthorInfo& ai = *project.GetAuthorInfo();
  Json ja = Json::object();
  w.Text(ja, "name", ai.GetName());
  w.Text(ja, "webSite", ai.GetWebSite());
  w.Text(ja, "address", ai.GetAddress());
  w.Text(ja, "telephone", ai.GetTelephone());
  w.Text(ja, "email", ai.GetEmail());
  out["author"] = std::move(ja);

  const CInstallProductInfo& prod = *project.GetProductInfo();
  Json jr = Json::object();
  w.Text(jr, "name", prod.GetProductName());
  w.Text(jr, "version", prod.GetVersion());
  w.Text(jr, "company", prod.GetCompany());
  w.Text(jr, "webSite", prod.GetWebSite());
  w.Text(jr, "email", prod.GetEmail());
  w.Text(jr, "telephone", prod.GetTelephone());
  w.Text(jr, "defaultInstallFolder", prod.GetDefaultInstallFolder());
  w.Folder(jr, "installRoot", prod.GetInstallRoot());
  w.Number(jr, "optionWord", prod.GetOptionWord(), 0);
  w.Text(jr, "engine", prod.GetEnginePath());
  w.Text(jr, "secondExecutable", prod.GetSecondExePath());
  out["product"] = std::move(jr);

  Json steps = Json::array();
  for (const CStreamObject* s : project.GetSteps()) steps.push_back(w.Step(*s, true, 0));
  if (w.All() || !steps.empty()) out["steps"] = std::move(steps);

  Json components = Json::array();
  for (const CInstallCompent* c : project.GetComponents()) components.push_back(w.Step(*c, false, 0));
  out["components"] = std::move(components);

  Json stringTables = Json::array();
  for (const CStringTable* t : project.GetStringTables()) {
    Json jt = Json::object();
    w.Text(jt, "name", t->GetName());
    w.Number(jt, "language", t->GetLanguage(), 0u);
    w.Number(jt, "storedCount", t->GetCachedCount(), 0);
    Json strings = Json::array();
    for (const CIDString* s : t->GetEntries()) {
      Json js = Json::object();
      js["id"] = s->GetId();
      w.Number(js, "tag", s->GetTag(), 0);
      js["text"] = TextToJson(s->GetText());
      strings.push_back(std::move(js));
    }
    jt["strings"] = std::move(strings);
    stringTables.push_back(std::move(jt));
  }
  out["stringTables"] = std::move(stringTables);

  Json bitmapTables = Json::array();
  for (const CBitmapTable* t : project.GetBitmapTables()) {
    Json jt = Json::object();
    w.Text(jt, "name", t->GetName());
    w.Number(jt, "storedCount", t->GetCachedCount(), 0);
    Json bitmaps = Json::array();
    for (const CIDBitmap* b : t->GetEntries()) {
      Json jb = Json::object();
      jb["id"] = b->GetId();
      jb["picture"] = w.FileEntry(b->GetPicture());
      bitmaps.push_back(std::move(jb));
    }
    jt["bitmaps"] = std::move(bitmaps);
    bitmapTables.push_back(std::move(jt));
  }
  out["bitmapTables"] = std::move(bitmapTables);

  Json registryTables = Json::array();
  for (const CRegistryTable* t : project.GetRegistryTables()) {
    Json jt = Json::object();
    w.Text(jt, "name", t->GetName());
    Json values = Json::array();
    for (const CRegistryValue* v : t->GetValues()) {
      Json jv = Json::object();
      w.Text(jv, "key", v->GetKeyPath());
      w.Text(jv, "name", v->GetValueName());
      w.Number(jv, "type", v->GetValueType(), 0u);
      if (jv.contains("type")) jv["type"] = RegistryTypeToJson(v->GetValueType());
      uint32_t size = 0;
      const uint8_t* bytes = v->GetData(&size);
      std::vector<uint8_t> data(bytes, bytes + size);
      if (w.All() || !data.empty()) {
        std::optional<Json> natural = data.empty() ? std::nullopt : RegistryDataToJson(v->GetValueType(), data);
        if (natural)
          jv["data"] = std::move(*natural);
        else
          jv["hex"] = ToHexBytes(data);
      }
      w.Flag(jv, "delete", v->GetDeleteFlag(), 0);
      w.Number(jv, "secondFlag", v->GetSecondFlag(), 0);
      values.push_back(std::move(jv));
    }
    jt["values"] = std::move(values);
    registryTables.push_back(std::move(jt));
  }
  out["registryTables"] = std::move(registryTables);

  Json shortcutTables = Json::array();
  for (const CShortCutTable* t : project.GetShortCutTables()) {
    Json jt = Json::object();
    w.Text(jt, "name", t->GetName());
    w.Number(jt, "reserved", t->GetReservedField(), 0);
    const CNode* root = t->GetTree().GetRoot();
    jt["tree"] = root ? w.ShortcutNode(root, 0) : Json(nullptr);
    shortcutTables.push_back(std::move(jt));
  }
  out["shortcutTables"] = std::move(shortcutTables);

  Json fileGroups = Json::array();
  for (const CExtractFileList* g : project.GetFileGroups()) {
    Json jg = Json::object();
    w.Text(jg, "name", g->GetName());
    w.Number(jg, "reserved", g->GetReservedField(), 0);
    const CNode* root = g->GetTree().GetRoot();
    jg["tree"] = root ? w.FileNode(root, 0) : Json(nullptr);
    fileGroups.push_back(std::move(jg));
  }
  out["fileGroups"] = std::move(fileGroups);
  return out;
}

std::string ProjectToJsonText(const CInstallProject& project, const ProjectJsonOptions& options) {
  // Every text is valid UTF-8 by now (TextToJson); should one not be, the
  // dump throws rather than put U+FFFD in its place.
  return ProjectToJson(project, options).dump(2, ' ', false, Json::error_handler_t::strict) + "\n";
}

}  // namespace zor
