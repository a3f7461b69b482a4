#include "tools/project_json_detail.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "common/wstr.h"
#include "model/component.h"
#include "model/selectors.h"
#include "model/stream_object.h"

namespace zor {
namespace project_json {

namespace {

struct StepKind {
  const char* name;
  const CRuntimeClass* cls;
};

const StepKind kStepKinds[] = {
    {"step", RUNTIME_CLASS(CStreamObject)},
    {"splash", RUNTIME_CLASS(CSplashDlgObject)},
    {"intro", RUNTIME_CLASS(CIntroDLgObject)},
    {"dirSelect", RUNTIME_CLASS(CDirSelectDlgObject)},
    {"extract", RUNTIME_CLASS(CExtractDlgObject)},
    {"finish", RUNTIME_CLASS(CFinishDlgObject)},
    {"dll", RUNTIME_CLASS(CDllObject)},
    {"exe", RUNTIME_CLASS(CExeObject)},
    {"admin", RUNTIME_CLASS(CAdminSelect)},
    {"os", RUNTIME_CLASS(COSSelect)},
    {"lang", RUNTIME_CLASS(CLangSelect)},
    {"auto", RUNTIME_CLASS(CAutoSelect)},
    {"component", RUNTIME_CLASS(CInstallCompent)},
};

struct RegType {
  const char* name;
  uint32_t type;
};

const RegType kRegTypes[] = {
    {"REG_NONE", 0},
    {"REG_SZ", 1},
    {"REG_EXPAND_SZ", 2},
    {"REG_BINARY", 3},
    {"REG_DWORD", 4},
    {"REG_DWORD_BIG_ENDIAN", 5},
    {"REG_LINK", 6},
    {"REG_MULTI_SZ", 7},
    {"REG_RESOURCE_LIST", 8},
    {"REG_FULL_RESOURCE_DESCRIPTOR", 9},
    {"REG_RESOURCE_REQUIREMENTS_LIST", 10},
    {"REG_QWORD", 11},
};

constexpr uint32_t kRegSz = 1, kRegExpandSz = 2, kRegDword = 4, kRegDwordBigEndian = 5, kRegMultiSz = 7,
                   kRegQword = 11;

std::string RegTypeName(uint32_t type) {
  for (const RegType& t : kRegTypes)
    if (t.type == type) return t.name;
  return std::to_string(type);
}

// A text and its terminating zero, as UTF-16LE.
void AppendTerminated(std::vector<uint8_t>& out, const std::wstring& text) {
  std::string bytes;
  AppendUtf16Le(bytes, text);
  out.insert(out.end(), bytes.begin(), bytes.end());
  out.push_back(0);
  out.push_back(0);
}

// The zero-terminated texts of a block; nullopt when the block is not a
// whole number of terminated texts.
std::optional<std::vector<std::wstring>> SplitTerminated(const std::vector<uint8_t>& data) {
  if (data.size() % 2) return std::nullopt;
  std::vector<std::wstring> out;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); i += 2) {
    if (data[i] || data[i + 1]) continue;
    out.push_back(FromUtf16Le(data.data() + start, (i - start) / 2));
    start = i + 2;
  }
  if (start != data.size()) return std::nullopt;
  return out;
}

// Whether a text survives the trip through UTF-8 (lone surrogates do not).
bool Utf8Safe(const std::wstring& text) { return FromUtf8(ToUtf8(text)) == text; }

std::wstring TextWithoutZero(const JsonValue& value, uint32_t type) {
  std::wstring text = value.String();
  if (text.find(L'\0') != std::wstring::npos)
    value.Fail("a " + RegTypeName(type) + " text cannot hold U+0000; give the data as \"hex\"");
  return text;
}

}  // namespace

const char* StepKindName(const CRuntimeClass* cls) {
  for (const StepKind& k : kStepKinds)
    if (k.cls == cls) return k.name;
  return nullptr;
}

const CRuntimeClass* StepKindClass(const std::string& name) {
  for (const StepKind& k : kStepKinds)
    if (name == k.name) return k.cls;
  return nullptr;
}

std::string StepKindList() {
  std::string out;
  for (const StepKind& k : kStepKinds) {
    if (!out.empty()) out += ", ";
    out += std::string("\"") + k.name + "\"";
  }
  return out;
}

Json RegistryTypeToJson(uint32_t type) {
  for (const RegType& t : kRegTypes)
    if (t.type == type) return t.name;
  return type;
}

uint32_t RegistryTypeFromJson(const JsonValue& value) {
  if (value.IsString()) {
    std::string name = value.Utf8();
    for (const RegType& t : kRegTypes)
      if (name == t.name) return t.type;
    if (name.rfind("0x", 0) != 0 && name.rfind("0X", 0) != 0)
      value.Fail("unknown registry type \"" + name +
                 "\" (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE ... or a number)");
  } else if (!value.IsNumber()) {
    value.Fail("expected a REG_* name or a number");
  }
  return value.Uint32();
}

std::optional<Json> RegistryDataToJson(uint32_t type, const std::vector<uint8_t>& data) {
  switch (type) {
    case kRegSz:
    case kRegExpandSz: {
      auto texts = SplitTerminated(data);
      if (!texts || texts->size() != 1 || !Utf8Safe((*texts)[0])) return std::nullopt;
      return Json(ToUtf8((*texts)[0]));
    }
    case kRegMultiSz: {
      if (data.size() == 2 && !data[0] && !data[1]) return Json::array();
      auto texts = SplitTerminated(data);
      // Texts, each non-empty, and the empty one that ends the list.
      if (!texts || texts->size() < 2 || !texts->back().empty()) return std::nullopt;
      Json out = Json::array();
      for (size_t i = 0; i + 1 < texts->size(); ++i) {
        const std::wstring& t = (*texts)[i];
        if (t.empty() || !Utf8Safe(t)) return std::nullopt;
        out.push_back(ToUtf8(t));
      }
      return out;
    }
    case kRegDword:
      if (data.size() != 4) return std::nullopt;
      return Json(uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24);
    case kRegDwordBigEndian:
      if (data.size() != 4) return std::nullopt;
      return Json(uint32_t{data[3]} | uint32_t{data[2]} << 8 | uint32_t{data[1]} << 16 | uint32_t{data[0]} << 24);
    case kRegQword: {
      if (data.size() != 8) return std::nullopt;
      uint64_t v = 0;
      for (int i = 7; i >= 0; --i) v = v << 8 | data[static_cast<size_t>(i)];
      return Json(v);
    }
    default:
      return std::nullopt;
  }
}

std::vector<uint8_t> RegistryDataFromJson(uint32_t type, const JsonValue& value) {
  std::vector<uint8_t> out;
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      AppendTerminated(out, TextWithoutZero(value, type));
      return out;
    case kRegMultiSz:
      for (const JsonValue& item : value.Elements()) {
        std::wstring text = TextWithoutZero(item, type);
        // An empty text would end the list early.
        if (text.empty()) item.Fail("a REG_MULTI_SZ list cannot hold an empty text");
        AppendTerminated(out, text);
      }
      out.push_back(0);
      out.push_back(0);
      return out;
    case kRegDword:
    case kRegDwordBigEndian: {
      uint32_t v = value.Uint32();
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
      if (type == kRegDwordBigEndian) std::reverse(out.begin(), out.end());
      return out;
    }
    case kRegQword: {
      uint64_t v = value.Uint64();
      for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
      return out;
    }
    default:
      value.Fail(RegTypeName(type) + " data has no natural form; give it as \"hex\"");
  }
}

Json FolderToJson(const CPreDefineFolder& folder) {
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  for (const CPreDefineFolder* row : table->GetList())
    if (row->GetName() == folder.GetName() && row->GetFolderId() == folder.GetFolderId()) return ToUtf8(row->GetName());
  Json out = Json::object();
  out["name"] = TextToJson(folder.GetName());
  out["id"] = folder.GetFolderId();
  return out;
}

CPreDefineFolder FolderFromJson(const JsonValue& value) {
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  if (value.IsString()) {
    std::wstring keyword = value.String();
    for (const CPreDefineFolder* row : table->GetList())
      if (row->GetName() == keyword) return *row;
    std::string message = "unknown folder keyword \"" + value.Utf8() + "\"";
    for (const CPreDefineFolder* row : table->GetList())
      if (EqualsNoCase(row->GetName(), keyword)) {
        message += " (did you mean \"" + ToUtf8(row->GetName()) + "\"?)";
        break;
      }
    value.Fail(message + "; give a keyword such as \"[ProgramFilesFolder]\", a folder id, or {\"name\", \"id\"}");
  }
  if (value.IsNumber()) {
    int32_t id = value.Int32();
    if (const CPreDefineFolder* row = table->FindById(id)) return *row;
    value.Fail("no built-in folder has the id " + std::to_string(id) + "; give {\"name\", \"id\"} instead");
  }
  if (!value.IsObject()) value.Fail("expected a folder keyword, a folder id or {\"name\", \"id\"}");
  JsonObject object(value);
  CPreDefineFolder folder;
  if (auto name = object.Get("name")) folder.SetName(name->String());
  if (auto id = object.Get("id")) folder.SetFolderId(id->Int32());
  object.Finish("a folder");
  return folder;
}

bool IsDefaultFolder(const CPreDefineFolder& folder) {
  return folder.GetName().empty() && folder.GetFolderId() == CPreDefineFolder().GetFolderId();
}

Json LanguageToJson(const CPreLang& lang) {
  if (lang.GetLangId() == 0 && lang.GetName().empty()) return 0;
  std::unique_ptr<CPreLangTable> table = GetPreLangTable();
  const CPreLang* row = table->FindById(lang.GetLangId());
  if (row && lang.GetLangId() != 0 && row->GetName() == lang.GetName()) return lang.GetLangId();
  Json out = Json::object();
  out["name"] = TextToJson(lang.GetName());
  out["id"] = lang.GetLangId();
  return out;
}

CPreLang LanguageFromJson(const JsonValue& value) {
  if (value.IsString() && value.Utf8().rfind("0x", 0) != 0 && value.Utf8().rfind("0X", 0) != 0)
    value.Fail("expected a language id (such as 1033 or \"0x409\") or {\"name\", \"id\"}");
  if (value.IsNumber() || value.IsString()) {
    int32_t id = value.Int32();
    if (id == 0) return CPreLang(std::wstring(), 0);
    std::unique_ptr<CPreLangTable> table = GetPreLangTable();
    if (const CPreLang* row = table->FindById(id)) return *row;
    value.Fail("no built-in language has the id " + std::to_string(id) + "; give {\"name\", \"id\"} instead");
  }
  if (!value.IsObject()) value.Fail("expected a language id or {\"name\", \"id\"}");
  JsonObject object(value);
  CPreLang lang;
  if (auto name = object.Get("name")) lang.SetName(name->String());
  if (auto id = object.Get("id")) lang.SetLangId(id->Int32());
  object.Finish("a language");
  return lang;
}

bool IsDefaultLanguage(const CPreLang& lang) {
  return lang.GetName().empty() && lang.GetLangId() == CPreLang().GetLangId();
}

Json FlagToJson(int32_t flag) {
  if (flag == 0 || flag == 1) return flag == 1;
  return flag;
}

bool IsAbsolutePath(const std::wstring& path) {
  if (path.empty()) return false;
  if (path[0] == L'/' || path[0] == L'\\') return true;
  wchar_t c = path[0];
  return path.size() >= 2 && path[1] == L':' && ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  if (folder.back() == L'/' || folder.back() == L'\\') return folder + name;
  bool backslashes = folder.find(L'\\') != std::wstring::npos && folder.find(L'/') == std::wstring::npos;
  return folder + (backslashes ? L'\\' : L'/') + name;
}

std::wstring ResolvePath(const std::wstring& base, const std::wstring& path) {
  if (base.empty() || path.empty() || IsAbsolutePath(path)) return path;
  return JoinPath(base, path);
}

std::wstring LastComponent(const std::wstring& path) {
  size_t pos = path.find_last_of(L"/\\");
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

}  // namespace project_json
}  // namespace zor
