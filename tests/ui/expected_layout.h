// The layout every copy of the setup's dialog templates must have: the
// setup program's own Simplified Chinese copy and each of the 22 language
// modules. One table for all of them; only the texts differ by language, and
// the English module's texts are given too.
#ifndef ZOR_TESTS_UI_EXPECTED_LAYOUT_H
#define ZOR_TESTS_UI_EXPECTED_LAYOUT_H

#include <cstdint>
#include <vector>

namespace zor::ui_check {

// How a control's text is laid out, and so how it is measured.
enum class Fit {
  kNone,        // no text, or a picture
  kLabel,       // static text, broken into lines at word ends
  kPushButton,  // one line inside the button's edges
  kRadio,       // one line beside the check mark
};

struct ExpectedControl {
  int id;
  const char* role;       // for messages: "Print button"
  const wchar_t* cls;     // window class
  uint32_t style;         // the bits of CheckedStyleMask(cls) that must be set
  uint32_t ex_style;      // likewise for CheckedExStyleMask(cls)
  int16_t x, y, cx, cy;   // dialog units
  int image;              // bitmap or icon the control names, 0 for a text
  const wchar_t* english; // the English module's text; "" for none (or filled at run time)
  Fit fit;
};

struct ExpectedDialog {
  int id;
  const char* name;
  bool popup;                     // popup with caption; otherwise a child page
  int16_t cx, cy;                 // dialog units
  uint16_t point_size;
  const wchar_t* face;
  const wchar_t* english_caption; // popups only
  std::vector<ExpectedControl> controls;
};

const std::vector<ExpectedDialog>& ExpectedDialogs();
const ExpectedDialog* FindExpectedDialog(int id);

// Texts that the program puts into a control at run time (string table
// ids); they must fit that control as well as its template text does.
struct RunTimeText {
  int dialog;
  int control;
  std::vector<int> strings;
};
const std::vector<RunTimeText>& RunTimeTexts();

// Template texts that must read as a string of the string table, since the
// program puts that string there on most pages.
struct SameAsString {
  int dialog;
  int control;
  int string;
};
const std::vector<SameAsString>& SameAsStrings();

// What one screen shows at once: no two of its texts may share a mnemonic.
// A text is a template control's (dialog, control) or a string (dialog 0,
// control = string id).
struct TextRef {
  int dialog;
  int control;
};
struct MnemonicScreen {
  const char* name;
  std::vector<TextRef> texts;
};
const std::vector<MnemonicScreen>& MnemonicScreens();

}  // namespace zor::ui_check

#endif
