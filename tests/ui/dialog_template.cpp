#include "tests/ui/dialog_template.h"

namespace zor::ui_check {
namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

// Cursor over the template's bytes; every read checks the bounds.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  size_t offset() const { return at_; }

  uint16_t Word() {
    if (!Need(2)) return 0;
    uint16_t v = static_cast<uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  uint32_t Dword() {
    uint32_t lo = Word();
    uint32_t hi = Word();
    return lo | (hi << 16);
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  uint8_t Byte() {
    if (!Need(1)) return 0;
    return data_[at_++];
  }
  std::wstring String() {
    std::wstring s;
    for (uint16_t c = Word(); ok_ && c != 0; c = Word()) s.push_back(static_cast<wchar_t>(c));
    return s;
  }
  NameOrOrdinal Field() {
    NameOrOrdinal f;
    uint16_t first = Word();
    if (first == 0xFFFF) {
      f.is_ordinal = true;
      f.ordinal = Word();
    } else if (first != 0) {
      f.name.push_back(static_cast<wchar_t>(first));
      f.name += String();
    }
    return f;
  }
  void AlignDword() { at_ = (at_ + 3) & ~size_t{3}; }
  void Skip(size_t n) {
    if (Need(n)) at_ += n;
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || at_ + n > size_) ok_ = false;
    return ok_;
  }
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

std::wstring PredefinedClass(uint16_t atom) {
  switch (atom) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return L"#" + std::to_wstring(atom);
  }
}

}  // namespace

bool ParseDialogTemplateEx(const void* data, size_t size, DialogTemplate& out, std::string& error) {
  Reader r(static_cast<const uint8_t*>(data), size);
  out = DialogTemplate{};
  uint16_t version = r.Word();
  uint16_t signature = r.Word();
  if (!r.ok() || version != 1 || signature != 0xFFFF) {
    error = "not an extended dialog template (DLGTEMPLATEEX)";
    return false;
  }
  r.Dword();  // help id
  out.ex_style = r.Dword();
  out.style = r.Dword();
  uint16_t count = r.Word();
  out.x = r.Short();
  out.y = r.Short();
  out.cx = r.Short();
  out.cy = r.Short();
  out.menu = r.Field();
  out.window_class = r.Field();
  out.title = r.String();
  if ((out.style & kDsSetFont) || (out.style & kDsShellFont) == kDsShellFont) {
    out.has_font = true;
    out.point_size = r.Word();
    r.Word();  // weight
    r.Byte();  // italic
    r.Byte();  // character set
    out.face = r.String();
  }
  for (uint16_t i = 0; i < count && r.ok(); ++i) {
    r.AlignDword();
    DialogItem item;
    r.Dword();  // help id
    item.ex_style = r.Dword();
    item.style = r.Dword();
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = static_cast<int32_t>(r.Dword());
    NameOrOrdinal cls = r.Field();
    item.class_name = cls.is_ordinal ? PredefinedClass(cls.ordinal) : cls.name;
    item.text = r.Field();
    uint16_t extra = r.Word();
    r.Skip(extra);
    out.items.push_back(item);
  }
  if (!r.ok()) {
    error = "the template ends inside its fields (" + std::to_string(out.items.size()) + " of " +
            std::to_string(count) + " controls read)";
    return false;
  }
  return true;
}

}  // namespace zor::ui_check
