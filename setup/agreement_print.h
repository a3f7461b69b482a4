// Printing the agreement text: the pagination and the order of the printer
// calls, written against the few printer operations it needs so that the
// same algorithm runs on a real printer (setup/win32/) and on a recording
// one in tests.
#pragma once

#include <cstdint>
#include <string>

namespace zor {

// The print dialog's flags: no selection, no page numbers, copies and
// collation by the device mode, no print-to-file box.
constexpr uint32_t kAgreementPrintDialogFlags = 0x14000C;
// DrawText formats.
enum AgreementTextFormat : uint32_t {
  kDtWordBreak = 0x10,
  kDtExpandTabs = 0x40,
  kDtNoClip = 0x100,
  kDtCalcRect = 0x400,
};
constexpr uint32_t kAgreementTextFormat = kDtWordBreak | kDtExpandTabs | kDtNoClip;
// Device capabilities asked for.
enum AgreementDeviceCap : int { kCapsHorzRes = 8, kCapsVertRes = 10, kCapsLogPixelsY = 90 };
constexpr int kMapModeText = 1;
constexpr int kBkModeOpaque = 2;
// Lines a page shows at most.
constexpr int kAgreementLinesPerPage = 75;

class IAgreementPrinter {
 public:
  using Context = uintptr_t;  // a device context; 0 is none
  using Font = uintptr_t;     // a font object; 0 is none
  struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
  };
  struct FontSpec {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::wstring face;
  };

  virtual ~IAgreementPrinter() = default;
  // The print dialog without owner; the chosen printer's context, 0 when
  // the user cancelled.
  virtual Context ChoosePrinter(uint32_t flags) = 0;
  // Gives back the printer context and whatever the dialog allocated.
  virtual void ReleasePrinter(Context printer) = 0;
  virtual void SetMapMode(Context context, int mode) = 0;
  virtual int GetDeviceCaps(Context context, int index) = 0;
  virtual Font CreateFont(const FontSpec& spec) = 0;
  virtual void DeleteFont(Font font) = 0;
  virtual void SetBkMode(Context context, int mode) = 0;
  // Returns the font selected before.
  virtual Font SelectFont(Context context, Font font) = 0;
  virtual Context CreateCompatibleContext(Context context) = 0;
  virtual void DeleteContext(Context context) = 0;
  // DrawTextW: the height of the text; `rect` may change in calculate mode.
  virtual int DrawText(Context context, const wchar_t* text, int length, Rect* rect, uint32_t format) = 0;
  virtual int StartDoc(Context printer, const std::wstring& name) = 0;
  virtual int StartPage(Context printer) = 0;
  virtual int EndPage(Context printer) = 0;
  virtual int EndDoc(Context printer) = 0;
  virtual int AbortDoc(Context printer) = 0;
  virtual void SetViewportOrg(Context context, int x, int y) = 0;
  // Limits drawing to `deviceRect` (device units) until ResetClip.
  virtual void SetClipRect(Context context, const Rect& deviceRect) = 0;
  virtual void ResetClip(Context context) = 0;
};

// MulDiv: a * b / c rounded half away from zero; -1 when c is 0.
int MulDivRounded(int a, int b, int c);

// Prints `length` characters of `text`, at most 75 lines a page at the
// page's width in 10-point "MS Sans Serif". True when a document was
// started (and then ended, or aborted because a page failed); false when
// the user cancelled, no memory context could be made or the document could
// not be started. Every object made is given back on every path.
bool PrintAgreementPages(IAgreementPrinter& printer, const wchar_t* text, int length);

}  // namespace zor
