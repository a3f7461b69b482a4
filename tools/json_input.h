// Strict reading of JSON descriptions: parsing that refuses duplicate keys,
// and typed access that names the JSON path of any value it cannot use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace zor {

// Objects keep their keys in the order written, so what we write reads in a
// sensible order and the first of several faults is the first in the file.
using Json = nlohmann::ordered_json;

// A description that cannot be used. what() is "PATH: MESSAGE", or MESSAGE
// alone for the document as a whole.
class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(const std::string& path, const std::string& message);
  const std::string& Path() const { return m_path; }
  const std::string& Message() const { return m_message; }

 private:
  std::string m_path;
  std::string m_message;
};

// JSON paths as they appear in messages: "fileGroups[2].tree.children[0]".
std::string JsonChildPath(const std::string& path, std::string_view key);
std::string JsonIndexPath(const std::string& path, size_t index);

// Parses a whole document. Comments (// and /* */) are allowed; a key given
// twice in one object is an error, since the second would silently win.
Json ParseDescription(std::string_view text);

// One value of a document with its path; each accessor checks the type and
// throws DescriptionError naming the path.
class JsonValue {
 public:
  // The document itself.
  explicit JsonValue(const Json& document) : m_value(&document) {}

  const Json& Raw() const { return *m_value; }
  // Made only when asked for (for messages): deep documents would otherwise
  // copy long paths at every level.
  std::string Path() const;
  JsonValue Child(const std::string& key, const Json& value) const;
  JsonValue Element(size_t index, const Json& value) const;
  bool IsNull() const { return m_value->is_null(); }
  bool IsString() const { return m_value->is_string(); }
  bool IsNumber() const { return m_value->is_number_integer(); }
  bool IsObject() const { return m_value->is_object(); }

  [[noreturn]] void Fail(const std::string& message) const;

  std::string Utf8() const;
  // A text: a string, or the {"utf16": [...]} form TextToJson writes.
  std::wstring String() const;
  // Integers may also be written as "0x" hexadecimal strings.
  int32_t Int32() const;
  uint32_t Uint32() const;
  uint64_t Uint64() const;
  // true, false or any 32-bit integer (flags are stored as integers).
  int32_t Flag() const;
  // The elements of an array.
  std::vector<JsonValue> Elements() const;

 private:
  // Where a value sits in its parent.
  struct Link {
    std::shared_ptr<const Link> parent;
    bool inArray;
    std::string key;
    size_t index;
  };
  JsonValue(const Json& value, std::shared_ptr<const Link> link) : m_value(&value), m_link(std::move(link)) {}

  const Json* m_value;
  std::shared_ptr<const Link> m_link;  // null for the document
};

// The members of one object. Every key read through Get or Require becomes
// known; Finish refuses any other key, so a misspelt key is an error rather
// than a silently ignored value.
class JsonObject {
 public:
  explicit JsonObject(const JsonValue& value);

  std::string Path() const { return m_self.Path(); }
  std::optional<JsonValue> Get(const char* key);
  JsonValue Require(const char* key);
  // A key that is allowed and has no meaning on input.
  void Allow(const char* key) { Get(key); }
  // `what` names the kind of object in the message ("a \"splash\" step").
  void Finish(const std::string& what = std::string()) const;

 private:
  JsonValue m_self;
  std::vector<std::string> m_known;
};

// A text as a description holds it: a string when UTF-8 can carry it, else
// {"utf16": [code units]}, since JSON text cannot hold a lone surrogate
// (archives can). Throws std::logic_error for a wide character that is no
// UTF-16 at all, which no archive or description can give.
Json TextToJson(const std::wstring& text);

// Lowercase hex pairs separated by blanks; and back, where blanks between
// pairs are optional.
std::string ToHexBytes(const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace zor
