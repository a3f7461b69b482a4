// A reader for the subset of resource-script syntax the language scripts use,
// so tests can compare the sources with each other and with the built modules.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zortest {

struct RcString {
  std::string name;  // symbolic id, e.g. IDS_NEXT
  std::wstring text;  // after resource-compiler escapes are undone
};

struct RcScript {
  std::string error;                     // empty when the script parsed
  std::vector<std::string> lines;        // raw lines, for statement checks
  std::vector<std::string> languages;    // arguments of each LANGUAGE statement
  std::vector<std::string> includes;     // quoted #include targets
  std::vector<RcString> strings;         // STRINGTABLE entries in file order
};

std::optional<std::string> ReadFileBytes(const std::string& path);

// Parses a UTF-8 resource script. Anything the string table holds that this
// reader does not understand is reported in `error` rather than skipped.
RcScript ParseRcScript(const std::string& bytes);

// The `#define NAME number` lines of a header.
std::map<std::string, int> ParseIdHeader(const std::string& bytes);

std::string LanguageScriptPath(const char* source);

// The string table of a language script keyed by numeric id, resolved through
// resources/lang/resource_ids.h. Fails (with `error` set) on a parse error, an
// unknown name or an id defined twice.
std::map<int, std::wstring> LoadScriptStrings(const char* source, std::string& error);

}  // namespace zortest
