#include "tests/ui/style_bits.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace zor::ui_check {
namespace {

struct Bit {
  uint32_t bit;
  const char* name;
};

// A class's kind is a value in the low bits (button type, static type,
// combo box type), its flags single bits.
struct ClassBits {
  const wchar_t* cls;
  uint32_t kind_mask;
  const std::vector<Bit>* kinds;
  const std::vector<Bit>* flags;
};

const std::vector<Bit> kWindowFlags = {
    {WS_VISIBLE, "WS_VISIBLE"}, {WS_DISABLED, "WS_DISABLED"}, {WS_TABSTOP, "WS_TABSTOP"}};

const std::vector<Bit> kNone = {};
const std::vector<Bit> kButtonKinds = {{BS_PUSHBUTTON, "BS_PUSHBUTTON"},       {BS_DEFPUSHBUTTON, "BS_DEFPUSHBUTTON"},
                                       {BS_CHECKBOX, "BS_CHECKBOX"},           {BS_AUTOCHECKBOX, "BS_AUTOCHECKBOX"},
                                       {BS_RADIOBUTTON, "BS_RADIOBUTTON"},     {BS_GROUPBOX, "BS_GROUPBOX"},
                                       {BS_AUTORADIOBUTTON, "BS_AUTORADIOBUTTON"}};
const std::vector<Bit> kButtonFlags = {{WS_GROUP, "WS_GROUP"}, {BS_MULTILINE, "BS_MULTILINE"}};
const std::vector<Bit> kStaticKinds = {{SS_LEFT, "SS_LEFT"},           {SS_CENTER, "SS_CENTER"},
                                       {SS_RIGHT, "SS_RIGHT"},         {SS_ICON, "SS_ICON"},
                                       {SS_BLACKRECT, "SS_BLACKRECT"}, {SS_BLACKFRAME, "SS_BLACKFRAME"},
                                       {SS_LEFTNOWORDWRAP, "SS_LEFTNOWORDWRAP"}, {SS_SIMPLE, "SS_SIMPLE"},
                                       {SS_ETCHEDHORZ, "SS_ETCHEDHORZ"}, {SS_BITMAP, "SS_BITMAP"}};
const std::vector<Bit> kStaticFlags = {
    {SS_CENTERIMAGE, "SS_CENTERIMAGE"}, {SS_RIGHTJUST, "SS_RIGHTJUST"}, {SS_SUNKEN, "SS_SUNKEN"}};
const std::vector<Bit> kEditFlags = {{ES_MULTILINE, "ES_MULTILINE"},     {ES_READONLY, "ES_READONLY"},
                                     {ES_AUTOVSCROLL, "ES_AUTOVSCROLL"}, {ES_AUTOHSCROLL, "ES_AUTOHSCROLL"},
                                     {WS_VSCROLL, "WS_VSCROLL"},         {WS_HSCROLL, "WS_HSCROLL"},
                                     {WS_BORDER, "WS_BORDER"}};
const std::vector<Bit> kComboKinds = {
    {CBS_SIMPLE, "CBS_SIMPLE"}, {CBS_DROPDOWN, "CBS_DROPDOWN"}, {CBS_DROPDOWNLIST, "CBS_DROPDOWNLIST"}};
const std::vector<Bit> kComboFlags = {{CBS_SORT, "CBS_SORT"}, {WS_VSCROLL, "WS_VSCROLL"}};
const std::vector<Bit> kProgressFlags = {{WS_BORDER, "WS_BORDER"}};

const ClassBits kClasses[] = {
    {L"Button", BS_TYPEMASK, &kButtonKinds, &kButtonFlags},
    {L"Static", SS_TYPEMASK, &kStaticKinds, &kStaticFlags},
    {L"Edit", 0, &kNone, &kEditFlags},
    {L"ComboBox", 3, &kComboKinds, &kComboFlags},
    {PROGRESS_CLASSW, 0, &kNone, &kProgressFlags},
};

const ClassBits* Find(const std::wstring& cls) {
  for (const ClassBits& c : kClasses) {
    if (_wcsicmp(c.cls, cls.c_str()) == 0) return &c;
  }
  return nullptr;
}

const std::vector<Bit> kExFlags = {{WS_EX_STATICEDGE, "WS_EX_STATICEDGE"},
                                   {WS_EX_CLIENTEDGE, "WS_EX_CLIENTEDGE"},
                                   {WS_EX_TRANSPARENT, "WS_EX_TRANSPARENT"}};

std::string KindName(const ClassBits& c, uint32_t value) {
  for (const Bit& b : *c.kinds) {
    if (b.bit == value) return b.name;
  }
  return "kind " + std::to_string(value);
}

void Append(std::string& out, const std::string& part) {
  if (!out.empty()) out += "; ";
  out += part;
}

void DescribeFlags(const std::vector<Bit>& flags, uint32_t want, uint32_t have, std::string& out) {
  for (const Bit& b : flags) {
    if ((want & b.bit) && !(have & b.bit)) Append(out, std::string(b.name) + " missing");
    if (!(want & b.bit) && (have & b.bit)) Append(out, std::string(b.name) + " set but must not be");
  }
}

}  // namespace

uint32_t CheckedStyleMask(const std::wstring& cls) {
  uint32_t mask = WS_VISIBLE | WS_DISABLED | WS_TABSTOP;
  if (const ClassBits* c = Find(cls)) {
    mask |= c->kind_mask;
    for (const Bit& b : *c->flags) mask |= b.bit;
  }
  return mask;
}

uint32_t CheckedExStyleMask(const std::wstring&) {
  uint32_t mask = 0;
  for (const Bit& b : kExFlags) mask |= b.bit;
  return mask;
}

std::string DescribeStyleDifference(const std::wstring& cls, uint32_t want, uint32_t have) {
  std::string out;
  const uint32_t mask = CheckedStyleMask(cls);
  want &= mask;
  have &= mask;
  if (want == have) return out;
  if (const ClassBits* c = Find(cls)) {
    if ((want & c->kind_mask) != (have & c->kind_mask)) {
      Append(out, KindName(*c, have & c->kind_mask) + ", want " + KindName(*c, want & c->kind_mask));
    }
    DescribeFlags(*c->flags, want, have, out);
  }
  DescribeFlags(kWindowFlags, want, have, out);
  return out;
}

std::string DescribeExStyleDifference(const std::wstring& cls, uint32_t want, uint32_t have) {
  std::string out;
  const uint32_t mask = CheckedExStyleMask(cls);
  DescribeFlags(kExFlags, want & mask, have & mask, out);
  return out;
}

}  // namespace zor::ui_check
