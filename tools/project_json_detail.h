// Pieces shared by the reading and the writing side of project descriptions:
// the names of step kinds and registry types, the value forms of folders,
// languages and registry data, and building-machine paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/object.h"
#include "model/predefined_folder.h"
#include "model/prelang.h"
#include "tools/json_input.h"

namespace zor {
namespace project_json {

// The archive loader refuses trees deeper than this, so a description must
// not make one; steps nested in components obey the same bound.
constexpr int kMaxDepth = 1000;

// Step kinds by class: "splash" is CSplashDlgObject and so on. Null or
// nullptr when there is none.
const char* StepKindName(const CRuntimeClass* cls);
const CRuntimeClass* StepKindClass(const std::string& name);
// Every kind name, for messages.
std::string StepKindList();

// Registry value types: a REG_* name, or the number when it has none.
Json RegistryTypeToJson(uint32_t type);
uint32_t RegistryTypeFromJson(const JsonValue& value);

// Registry data in its natural form for the type (a string for REG_SZ and
// REG_EXPAND_SZ, an array of strings for REG_MULTI_SZ, a number for REG_DWORD,
// REG_DWORD_BIG_ENDIAN and REG_QWORD). nullopt when the type has no natural
// form or the bytes do not fit it exactly; such data is written as hex.
std::optional<Json> RegistryDataToJson(uint32_t type, const std::vector<uint8_t>& data);
std::vector<uint8_t> RegistryDataFromJson(uint32_t type, const JsonValue& value);

// A predefined folder: its keyword when it is a row of the built-in table,
// else {"name": ..., "id": ...}.
Json FolderToJson(const CPreDefineFolder& folder);
// A keyword or an id of the built-in table, or {"name", "id"} as it is.
CPreDefineFolder FolderFromJson(const JsonValue& value);
bool IsDefaultFolder(const CPreDefineFolder& folder);

// A language: its identifier when the built-in list names it so (0 for any
// language), else {"name": ..., "id": ...}.
Json LanguageToJson(const CPreLang& lang);
CPreLang LanguageFromJson(const JsonValue& value);
bool IsDefaultLanguage(const CPreLang& lang);

// Flags are stored as integers: true and false for 1 and 0, the number
// otherwise.
Json FlagToJson(int32_t flag);

// Paths on the building machine. Absolute: a leading slash or backslash, or
// a drive letter and colon (so a Windows path stays absolute on Linux too).
bool IsAbsolutePath(const std::wstring& path);
// `path` joined to `base` unless it is absolute or `base` is empty. The
// separator follows the style of `base`.
std::wstring ResolvePath(const std::wstring& base, const std::wstring& path);
// `name` appended to the folder `folder`, whatever `name` looks like.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The last component of a path ("a/b\\c.txt" gives "c.txt").
std::wstring LastComponent(const std::wstring& path);

}  // namespace project_json
}  // namespace zor
