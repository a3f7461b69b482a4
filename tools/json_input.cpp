#include "tools/json_input.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "common/wstr.h"

namespace zor {

DescriptionError::DescriptionError(const std::string& path, const std::string& message)
    : std::runtime_error(path.empty() ? message : path + ": " + message), m_path(path), m_message(message) {}

std::string JsonChildPath(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string JsonIndexPath(const std::string& path, size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

namespace {

// Builds the document like the library's own builder, and also keeps the
// path of every open container so a repeated key can be named.
class StrictBuilder : public nlohmann::json_sax<Json> {
 public:
  Json root;
  std::string error;

  bool null() override { return Add(Json(nullptr)); }
  bool boolean(bool v) override { return Add(Json(v)); }
  bool number_integer(number_integer_t v) override { return Add(Json(v)); }
  bool number_unsigned(number_unsigned_t v) override { return Add(Json(v)); }
  bool number_float(number_float_t v, const string_t&) override { return Add(Json(v)); }
  bool string(string_t& v) override { return Add(Json(std::move(v))); }
  bool binary(binary_t& v) override { return Add(Json::binary(std::move(v))); }
  bool start_object(std::size_t) override { return Open(Json::object()); }
  bool start_array(std::size_t) override { return Open(Json::array()); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& k) override {
    Json& object = *m_stack.back().value;
    if (object.contains(k)) {
      error = JsonChildPath(OpenPath(), k) + ": key given twice in one object";
      return false;
    }
    m_key = k;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    std::string what = e.what();
    // Drop the library's "[json.exception.parse_error.101] " prefix.
    size_t close = what.find("] ");
    error = what.compare(0, 1, "[") == 0 && close != std::string::npos ? what.substr(close + 2) : what;
    return false;
  }

 private:
  // An open container and where it sits in its parent.
  struct Frame {
    Json* value;
    bool inArray;
    std::string key;
    size_t index;
  };

  // The path of the innermost open container.
  std::string OpenPath() const {
    std::string path;
    for (size_t i = 1; i < m_stack.size(); ++i)
      path = m_stack[i].inArray ? JsonIndexPath(path, m_stack[i].index) : JsonChildPath(path, m_stack[i].key);
    return path;
  }

  // Places `v` in the innermost open container (or as the root).
  Frame Place(Json&& v) {
    if (m_stack.empty()) {
      root = std::move(v);
      return {&root, false, std::string(), 0};
    }
    Frame& top = m_stack.back();
    if (top.value->is_array()) {
      size_t index = top.value->size();
      top.value->push_back(std::move(v));
      return {&top.value->back(), true, std::string(), index};
    }
    Json& slot = (*top.value)[m_key];
    slot = std::move(v);
    return {&slot, false, m_key, 0};
  }
  bool Add(Json&& v) {
    Place(std::move(v));
    return true;
  }
  bool Open(Json&& v) {
    m_stack.push_back(Place(std::move(v)));
    return true;
  }
  bool Close() {
    m_stack.pop_back();
    return true;
  }

  std::vector<Frame> m_stack;
  std::string m_key;
};

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t up = row[j];
      bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

// "0x" followed by 1 to 16 hex digits.
std::optional<uint64_t> ParseHexNumber(const std::string& s) {
  if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return std::nullopt;
  uint64_t v = 0;
  for (size_t i = 2; i < s.size(); ++i) {
    char c = s[i];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return std::nullopt;
    v = (v << 4) | static_cast<uint64_t>(d);
  }
  return v;
}

}  // namespace

Json ParseDescription(std::string_view text) {
  StrictBuilder builder;
  bool ok = Json::sax_parse(text.begin(), text.end(), &builder, nlohmann::detail::input_format_t::json,
                            /*strict=*/true, /*ignore_comments=*/true);
  if (!ok) throw DescriptionError(std::string(), builder.error.empty() ? "not a JSON document" : builder.error);
  return std::move(builder.root);
}

std::string JsonValue::Path() const {
  std::vector<const Link*> links;
  for (const Link* l = m_link.get(); l; l = l->parent.get()) links.push_back(l);
  std::string path;
  for (auto it = links.rbegin(); it != links.rend(); ++it)
    path = (*it)->inArray ? JsonIndexPath(path, (*it)->index) : JsonChildPath(path, (*it)->key);
  return path;
}

JsonValue JsonValue::Child(const std::string& key, const Json& value) const {
  return JsonValue(value, std::make_shared<const Link>(Link{m_link, false, key, 0}));
}

JsonValue JsonValue::Element(size_t index, const Json& value) const {
  return JsonValue(value, std::make_shared<const Link>(Link{m_link, true, std::string(), index}));
}

void JsonValue::Fail(const std::string& message) const { throw DescriptionError(Path(), message); }

std::string JsonValue::Utf8() const {
  if (!m_value->is_string()) Fail("expected a string");
  return m_value->get<std::string>();
}

std::wstring JsonValue::String() const {
  if (!m_value->is_object()) return FromUtf8(Utf8());
  JsonObject object(*this);
  JsonValue units = object.Require("utf16");
  object.Finish("a UTF-16 text");
  std::u16string text;
  for (const JsonValue& unit : units.Elements()) {
    uint32_t u = unit.Uint32();
    if (u > 0xFFFF) unit.Fail("expected a UTF-16 code unit from 0 to 65535");
    text.push_back(static_cast<char16_t>(u));
  }
  return FromUtf16(text);
}

Json TextToJson(const std::wstring& text) {
  std::string utf8 = ToUtf8(text);
  if (FromUtf8(utf8) == text) return utf8;
  std::u16string units = ToUtf16(text);
  if (FromUtf16(units) != text) throw std::logic_error("a text holds a character beyond UTF-16");
  Json list = Json::array();
  for (char16_t u : units) list.push_back(static_cast<uint32_t>(u));
  Json out = Json::object();
  out["utf16"] = std::move(list);
  return out;
}

namespace {

// The value as a signed 64-bit number with the range check left to the
// caller; nullopt when it is no integer at all.
std::optional<int64_t> AsInt64(const Json& v, bool* tooBig) {
  *tooBig = false;
  if (v.is_number_unsigned()) {
    uint64_t u = v.get<uint64_t>();
    if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      *tooBig = true;
      return std::nullopt;
    }
    return static_cast<int64_t>(u);
  }
  if (v.is_number_integer()) return v.get<int64_t>();
  if (v.is_string()) {
    if (auto hex = ParseHexNumber(v.get<std::string>())) {
      if (*hex > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        *tooBig = true;
        return std::nullopt;
      }
      return static_cast<int64_t>(*hex);
    }
  }
  return std::nullopt;
}

}  // namespace

int32_t JsonValue::Int32() const {
  bool tooBig;
  auto v = AsInt64(*m_value, &tooBig);
  if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max())
    Fail("expected an integer from -2147483648 to 2147483647");
  return static_cast<int32_t>(*v);
}

uint32_t JsonValue::Uint32() const {
  bool tooBig;
  auto v = AsInt64(*m_value, &tooBig);
  if (!v || *v < 0 || *v > std::numeric_limits<uint32_t>::max()) Fail("expected an integer from 0 to 4294967295");
  return static_cast<uint32_t>(*v);
}

uint64_t JsonValue::Uint64() const {
  if (m_value->is_number_unsigned()) return m_value->get<uint64_t>();
  if (m_value->is_number_integer() && m_value->get<int64_t>() >= 0) return static_cast<uint64_t>(m_value->get<int64_t>());
  if (m_value->is_string())
    if (auto hex = ParseHexNumber(m_value->get<std::string>())) return *hex;
  Fail("expected an integer from 0 to 18446744073709551615");
}

int32_t JsonValue::Flag() const {
  if (m_value->is_boolean()) return m_value->get<bool>() ? 1 : 0;
  bool tooBig;
  auto v = AsInt64(*m_value, &tooBig);
  if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max())
    Fail("expected true, false or a 32-bit integer");
  return static_cast<int32_t>(*v);
}

std::vector<JsonValue> JsonValue::Elements() const {
  if (!m_value->is_array()) Fail("expected an array");
  std::vector<JsonValue> out;
  out.reserve(m_value->size());
  for (size_t i = 0; i < m_value->size(); ++i) out.push_back(Element(i, (*m_value)[i]));
  return out;
}

JsonObject::JsonObject(const JsonValue& value) : m_self(value) {
  if (!value.Raw().is_object()) value.Fail("expected an object");
}

std::optional<JsonValue> JsonObject::Get(const char* key) {
  m_known.emplace_back(key);
  auto it = m_self.Raw().find(key);
  if (it == m_self.Raw().end()) return std::nullopt;
  return m_self.Child(key, *it);
}

JsonValue JsonObject::Require(const char* key) {
  auto v = Get(key);
  if (!v) m_self.Fail(std::string("missing key \"") + key + "\"");
  return *v;
}

void JsonObject::Finish(const std::string& what) const {
  for (auto it = m_self.Raw().begin(); it != m_self.Raw().end(); ++it) {
    const std::string& key = it.key();
    if (std::find(m_known.begin(), m_known.end(), key) != m_known.end()) continue;
    std::string message = "unknown key";
    if (!what.empty()) message += " for " + what;
    // A near miss is most likely a typo of an allowed key.
    const std::string* best = nullptr;
    size_t bestDistance = 3;
    for (const std::string& known : m_known) {
      size_t d = EditDistance(key, known);
      if (d < bestDistance) {
        bestDistance = d;
        best = &known;
      }
    }
    if (best) message += " (did you mean \"" + *best + "\"?)";
    m_self.Child(key, it.value()).Fail(message);
  }
}

std::string ToHexBytes(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i) out.push_back(' ');
    out.push_back(kDigits[bytes[i] >> 4]);
    out.push_back(kDigits[bytes[i] & 0xF]);
  }
  return out;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<uint8_t> out;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (high >= 0) return std::nullopt;  // a blank inside a pair
      continue;
    }
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return std::nullopt;
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

}  // namespace zor
