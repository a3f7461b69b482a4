// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX
// items) as the dialog manager does, into plain values that the template
// check compares with the expected layout.
#ifndef ZOR_TESTS_UI_DIALOG_TEMPLATE_H
#define ZOR_TESTS_UI_DIALOG_TEMPLATE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zor::ui_check {

// A name-or-ordinal field: resource names, classes, control texts.
struct NameOrOrdinal {
  bool is_ordinal = false;
  uint16_t ordinal = 0;
  std::wstring name;
};

struct DialogItem {
  uint32_t style = 0;
  uint32_t ex_style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  int32_t id = 0;
  std::wstring class_name;  // predefined classes by their names ("Button", ...)
  NameOrOrdinal text;       // an ordinal names an image (SS_BITMAP, SS_ICON)
};

struct DialogTemplate {
  uint32_t style = 0;
  uint32_t ex_style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal window_class;
  std::wstring title;
  bool has_font = false;
  uint16_t point_size = 0;
  std::wstring face;
  std::vector<DialogItem> items;
};

// False with a reason in error when data is not a well-formed extended
// template of size bytes (short, wrong signature, fields past the end).
bool ParseDialogTemplateEx(const void* data, size_t size, DialogTemplate& out, std::string& error);

}  // namespace zor::ui_check

#endif
