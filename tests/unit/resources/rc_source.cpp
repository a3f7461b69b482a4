#include "tests/unit/resources/rc_source.h"

#include <fstream>
#include <sstream>

#include "common/wstr.h"

namespace zortest {

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string LanguageScriptPath(const char* source) {
  return std::string(ZOR_SOURCE_DIR) + "/resources/lang/" + source + ".rc";
}

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// A quoted literal as the resource compiler reads it: "" is a quote, and the
// only backslash escape the scripts use is \\ (the link paths).
bool UnquoteLiteral(const std::string& quoted, std::string& out, std::string& error) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
    error = "not a quoted literal: " + quoted;
    return false;
  }
  out.clear();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '\\') {
      if (i + 2 < quoted.size() && quoted[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
      error = "unexpected escape in " + quoted;
      return false;
    }
    if (c == '"') {
      if (i + 2 < quoted.size() && quoted[i + 1] == '"') {
        out += '"';
        ++i;
        continue;
      }
      error = "unescaped quote in " + quoted;
      return false;
    }
    out += c;
  }
  return true;
}

}  // namespace

RcScript ParseRcScript(const std::string& bytes) {
  RcScript rc;
  rc.lines = SplitLines(bytes);
  enum { kOutside, kAfterKeyword, kInside } state = kOutside;
  for (size_t n = 0; n < rc.lines.size() && rc.error.empty(); ++n) {
    std::string line = Trim(rc.lines[n]);
    std::string where = "line " + std::to_string(n + 1) + ": ";
    if (line.empty() || line.rfind("//", 0) == 0) continue;
    if (state == kOutside) {
      if (line == "STRINGTABLE") {
        state = kAfterKeyword;
      } else if (line.rfind("LANGUAGE ", 0) == 0) {
        rc.languages.push_back(Trim(line.substr(9)));
      } else if (line.rfind("#include \"", 0) == 0 && line.back() == '"') {
        rc.includes.push_back(line.substr(10, line.size() - 11));
      }
    } else if (state == kAfterKeyword) {
      if (line != "BEGIN" && line != "{") rc.error = where + "STRINGTABLE without BEGIN";
      state = kInside;
    } else if (line == "END" || line == "}") {
      state = kOutside;
    } else {
      size_t space = line.find_first_of(" \t");
      if (space == std::string::npos) {
        rc.error = where + "entry without text";
        break;
      }
      RcString entry;
      entry.name = line.substr(0, space);
      std::string utf8;
      if (!UnquoteLiteral(Trim(line.substr(space)), utf8, rc.error)) {
        rc.error = where + rc.error;
        break;
      }
      entry.text = zor::FromUtf8(utf8);
      if (entry.text.find(L'\uFFFD') != std::wstring::npos) rc.error = where + "text is not UTF-8";
      rc.strings.push_back(std::move(entry));
    }
  }
  if (rc.error.empty() && state != kOutside) rc.error = "STRINGTABLE not closed";
  return rc;
}

std::map<std::string, int> ParseIdHeader(const std::string& bytes) {
  std::map<std::string, int> ids;
  for (const std::string& raw : SplitLines(bytes)) {
    std::istringstream line(raw);
    std::string define, name, value;
    if (!(line >> define >> name >> value) || define != "#define") continue;
    if (value.find_first_not_of("0123456789") != std::string::npos) continue;
    ids[name] = std::stoi(value);
  }
  return ids;
}

std::map<int, std::wstring> LoadScriptStrings(const char* source, std::string& error) {
  std::map<int, std::wstring> byId;
  auto header = ReadFileBytes(std::string(ZOR_SOURCE_DIR) + "/resources/lang/resource_ids.h");
  auto script = ReadFileBytes(LanguageScriptPath(source));
  if (!header || !script) {
    error = std::string("cannot read the script or header of ") + source;
    return {};
  }
  std::map<std::string, int> ids = ParseIdHeader(*header);
  RcScript rc = ParseRcScript(*script);
  if (!rc.error.empty()) {
    error = rc.error;
    return {};
  }
  // A language's texts may live in a fragment of their own that the script
  // includes ("zh_CN_texts.rci", shared with the setup program's script).
  std::vector<RcString> strings = rc.strings;
  for (const std::string& include : rc.includes) {
    const std::string suffix = "_texts.rci";
    if (include.size() <= suffix.size() || include.compare(include.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    auto fragment = ReadFileBytes(std::string(ZOR_SOURCE_DIR) + "/resources/lang/" + include);
    if (!fragment) {
      error = "cannot read " + include + ", included by " + source;
      return {};
    }
    RcScript part = ParseRcScript(*fragment);
    if (!part.error.empty()) {
      error = include + ": " + part.error;
      return {};
    }
    strings.insert(strings.end(), part.strings.begin(), part.strings.end());
  }
  for (const RcString& s : strings) {
    auto id = ids.find(s.name);
    if (id == ids.end()) {
      error = "unknown id " + s.name;
      return {};
    }
    if (!byId.emplace(id->second, s.text).second) {
      error = "id defined twice: " + s.name;
      return {};
    }
  }
  return byId;
}

}  // namespace zortest
