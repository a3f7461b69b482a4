#include "setup/agreement_print.h"

#include <cstdlib>

namespace zor {

int MulDivRounded(int a, int b, int c) {
  if (c == 0) return -1;
  long long product = static_cast<long long>(a) * b;
  bool negative = (product < 0) != (c < 0);
  long long magnitude = std::llabs(product);
  long long divisor = std::llabs(static_cast<long long>(c));
  long long quotient = (magnitude + divisor / 2) / divisor;
  return static_cast<int>(negative ? -quotient : quotient);
}

namespace {

IAgreementPrinter::FontSpec AgreementFont(int dpiY) {
  IAgreementPrinter::FontSpec spec;
  spec.height = -MulDivRounded(10, dpiY, 72);
  spec.outPrecision = 4;      // TrueType preferred
  spec.pitchAndFamily = 0x20;  // Swiss
  spec.face = L"MS Sans Serif";
  return spec;
}

// How many lines a page takes: 75, or as many whole lines as the page
// holds when that is fewer, so that no line falls below the page's end.
int LinesPerPage(int pageHeight, int lineHeight) {
  if (lineHeight <= 0) return kAgreementLinesPerPage;
  int fit = pageHeight / lineHeight;
  if (fit < 1) fit = 1;
  return fit < kAgreementLinesPerPage ? fit : kAgreementLinesPerPage;
}

}  // namespace

bool PrintAgreementPages(IAgreementPrinter& p, const wchar_t* text, int length) {
  if (!text || length < 0) {
    text = L"";
    length = 0;
  }
  IAgreementPrinter::Context printer = p.ChoosePrinter(kAgreementPrintDialogFlags);
  if (!printer) return false;
  p.SetMapMode(printer, kMapModeText);

  IAgreementPrinter::FontSpec spec = AgreementFont(p.GetDeviceCaps(printer, kCapsLogPixelsY));
  IAgreementPrinter::Font font = p.CreateFont(spec);
  p.SetBkMode(printer, kBkModeOpaque);
  // Without the font the printer's own one prints the text.
  IAgreementPrinter::Font printerFont = font ? p.SelectFont(printer, font) : 0;
  const std::wstring documentName = L"test";

  IAgreementPrinter::Context memory = p.CreateCompatibleContext(printer);
  if (!memory) {
    if (font) {
      p.SelectFont(printer, printerFont);
      p.DeleteFont(font);
    }
    p.ReleasePrinter(printer);
    return false;
  }
  IAgreementPrinter::Font memoryFont = font ? p.SelectFont(memory, font) : 0;

  IAgreementPrinter::Rect page;
  page.right = p.GetDeviceCaps(printer, kCapsHorzRes);
  page.bottom = p.GetDeviceCaps(printer, kCapsVertRes);
  IAgreementPrinter::Rect measured = page;
  int total = p.DrawText(memory, text, length, &measured, kDtCalcRect | kAgreementTextFormat);

  bool produced = false;
  if (p.StartDoc(printer, documentName) > 0) {
    produced = true;
    bool pagesOk = true;
    int offset = 0;
    // At least one page, also for an empty text; then as long as text
    // remains below the offset (a text of exactly n pages gets n pages).
    do {
      if (p.StartPage(printer) <= 0) {
        pagesOk = false;
        break;
      }
      // The first character's line: the text's line height at this font.
      // The rectangle is a copy, so the page keeps its width.
      int lineHeight = 0;
      if (length > 0) {
        IAgreementPrinter::Rect line = page;
        lineHeight = p.DrawText(printer, text, 1, &line, kDtCalcRect | kAgreementTextFormat);
      }
      if (lineHeight <= 0) lineHeight = std::abs(spec.height);
      int step = lineHeight * LinesPerPage(page.bottom, lineHeight);

      p.SetViewportOrg(printer, 0, -offset);
      // The page shows exactly its own lines: what lies below them is the
      // next page's start and must not appear twice.
      IAgreementPrinter::Rect band = page;
      if (step > 0) band.bottom = step;
      p.SetClipRect(printer, band);
      IAgreementPrinter::Rect draw = page;
      p.DrawText(printer, text, length, &draw, kAgreementTextFormat);
      p.ResetClip(printer);

      // Without any height to step by, one page is all that can be made.
      offset = step > 0 ? offset + step : total;
      if (p.EndPage(printer) <= 0) {
        pagesOk = false;
        break;
      }
    } while (offset < total);
    if (pagesOk) {
      p.EndDoc(printer);
    } else {
      p.AbortDoc(printer);
    }
  }

  if (font) {
    p.SelectFont(memory, memoryFont);
    p.SelectFont(printer, printerFont);
  }
  p.DeleteContext(memory);
  if (font) p.DeleteFont(font);
  p.ReleasePrinter(printer);
  return produced;
}

}  // namespace zor
