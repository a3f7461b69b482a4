#include "setup/agreement_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using zor::IAgreementPrinter;
using Context = IAgreementPrinter::Context;
using Font = IAgreementPrinter::Font;
using Rect = IAgreementPrinter::Rect;

// A printer that lays out text one line per line feed, each `lineHeight`
// high, and records which lines each page shows: a line counts as printed
// when it lies wholly inside the page and the clip, as cut when only part
// of it does. It also checks the life of every object it hands out.
class FakePrinter : public IAgreementPrinter {
 public:
  // Arrangement.
  bool cancel = false;
  bool failMemory = false;
  bool failFont = false;
  bool failStartDoc = false;
  int failStartPageAt = 0;  // 1-based page whose StartPage fails; 0: none
  int failEndPageAt = 0;
  int dpiY = 600;
  int pageWidth = 4800;
  int pageHeight = 6600;
  int lineHeight = 80;
  int firstCharHeight = -1;  // what measuring one character gives; -1: lineHeight

  // Record.
  struct Page {
    std::vector<int> lines;  // 0-based line numbers printed whole
    std::vector<int> cut;    // lines printed only in part
  };
  std::vector<Page> pages;
  std::vector<std::string> calls;
  FontSpec spec;
  uint32_t dialogFlags = 0;
  std::wstring documentName;
  bool ended = false, aborted = false, released = false;

  // Checks after the run.
  void ExpectAllGivenBack() const {
    EXPECT_TRUE(liveFonts_.empty()) << "font not deleted";
    EXPECT_TRUE(liveMemory_.empty()) << "memory context not deleted";
    if (printer_) {
      EXPECT_TRUE(released) << "printer context not released";
    }
    EXPECT_FALSE(docOpen_) << "document neither ended nor aborted";
    EXPECT_FALSE(pageOpen_) << "page not ended";
  }

  Context ChoosePrinter(uint32_t flags) override {
    calls.push_back("PrintDlg");
    dialogFlags = flags;
    if (cancel) return 0;
    printer_ = 1;
    selected_[printer_] = kStockFont;
    return printer_;
  }
  void ReleasePrinter(Context c) override {
    EXPECT_EQ(c, printer_);
    EXPECT_FALSE(released) << "released twice";
    EXPECT_EQ(selected_[c], kStockFont) << "printer released with our font still selected";
    released = true;
    calls.push_back("Release");
  }
  void SetMapMode(Context, int mode) override { EXPECT_EQ(mode, zor::kMapModeText); }
  int GetDeviceCaps(Context c, int index) override {
    EXPECT_EQ(c, printer_);
    switch (index) {
      case zor::kCapsLogPixelsY: return dpiY;
      case zor::kCapsHorzRes: return pageWidth;
      case zor::kCapsVertRes: return pageHeight;
      default: ADD_FAILURE() << "caps " << index; return 0;
    }
  }
  Font CreateFont(const FontSpec& s) override {
    spec = s;
    if (failFont) return 0;
    Font f = nextFont_++;
    liveFonts_.insert(f);
    return f;
  }
  void DeleteFont(Font f) override {
    EXPECT_EQ(liveFonts_.count(f), 1u);
    for (auto& [context, font] : selected_) {
      if (liveContext(context)) {
        EXPECT_NE(font, f) << "font deleted while selected";
      }
    }
    liveFonts_.erase(f);
  }
  void SetBkMode(Context, int mode) override { EXPECT_EQ(mode, zor::kBkModeOpaque); }
  Font SelectFont(Context c, Font f) override {
    EXPECT_TRUE(liveContext(c));
    Font previous = selected_[c];
    selected_[c] = f;
    return previous;
  }
  Context CreateCompatibleContext(Context c) override {
    EXPECT_EQ(c, printer_);
    if (failMemory) return 0;
    Context m = nextMemory_++;
    liveMemory_.insert(m);
    selected_[m] = kStockFont;
    return m;
  }
  void DeleteContext(Context c) override {
    EXPECT_EQ(liveMemory_.count(c), 1u);
    EXPECT_EQ(selected_[c], kStockFont) << "memory context deleted with our font selected";
    liveMemory_.erase(c);
  }
  int DrawText(Context c, const wchar_t* text, int length, Rect* rect, uint32_t format) override {
    EXPECT_EQ(format & ~zor::kDtCalcRect, zor::kAgreementTextFormat);
    EXPECT_EQ(rect->right - rect->left, pageWidth) << "layout at the page width";
    int lines = CountLines(text, length);
    if (format & zor::kDtCalcRect) {
      int height = length == 1 && firstCharHeight >= 0 ? firstCharHeight : lines * lineHeight;
      rect->bottom = rect->top + height;
      return height;
    }
    EXPECT_EQ(c, printer_) << "drawn on the printer";
    EXPECT_TRUE(pageOpen_);
    Page& page = pages.back();
    int visibleTop = std::max(0, clip_.top), visibleBottom = std::min(pageHeight, clip_.bottom);
    for (int i = 0; i < lines; ++i) {
      int top = i * lineHeight + originY_, bottom = top + lineHeight;
      if (bottom <= visibleTop || top >= visibleBottom) continue;
      if (top >= visibleTop && bottom <= visibleBottom) {
        page.lines.push_back(i);
      } else {
        page.cut.push_back(i);
      }
    }
    return lines * lineHeight;
  }
  int StartDoc(Context, const std::wstring& name) override {
    calls.push_back("StartDoc");
    documentName = name;
    if (failStartDoc) return -1;
    docOpen_ = true;
    return 1;
  }
  int StartPage(Context) override {
    EXPECT_TRUE(docOpen_);
    EXPECT_FALSE(pageOpen_);
    if (static_cast<int>(pages.size()) + 1 == failStartPageAt) return -1;
    pages.emplace_back();
    pageOpen_ = true;
    clip_ = {0, 0, pageWidth, pageHeight};
    if (pages.size() > 200) {
      ADD_FAILURE() << "runaway pagination";
      throw std::runtime_error("runaway");
    }
    return 1;
  }
  int EndPage(Context) override {
    EXPECT_TRUE(pageOpen_);
    pageOpen_ = false;
    return static_cast<int>(pages.size()) == failEndPageAt ? -1 : 1;
  }
  int EndDoc(Context) override {
    EXPECT_TRUE(docOpen_);
    docOpen_ = false;
    ended = true;
    return 1;
  }
  int AbortDoc(Context) override {
    EXPECT_TRUE(docOpen_);
    docOpen_ = false;
    aborted = true;
    return 1;
  }
  void SetViewportOrg(Context, int x, int y) override {
    EXPECT_EQ(x, 0);
    originY_ = y;
  }
  void SetClipRect(Context, const Rect& r) override { clip_ = r; }
  void ResetClip(Context) override { clip_ = {0, 0, pageWidth, pageHeight}; }

  // First printed line of each page.
  std::vector<int> FirstLines() const {
    std::vector<int> first;
    for (const Page& p : pages) first.push_back(p.lines.empty() ? -1 : p.lines.front());
    return first;
  }
  // Every line printed whole exactly once, in order, none cut.
  void ExpectEachLineOnce(int lines) const {
    std::vector<int> all;
    for (const Page& p : pages) {
      EXPECT_TRUE(p.cut.empty()) << "a line cut at a page's end, first " << p.cut.front();
      all.insert(all.end(), p.lines.begin(), p.lines.end());
    }
    std::vector<int> expected(static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i) expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(all, expected);
  }

 private:
  static constexpr Font kStockFont = 0xF0;
  static int CountLines(const wchar_t* text, int length) {
    if (length <= 0) return 0;
    return 1 + static_cast<int>(std::count(text, text + length, L'\n'));
  }
  bool liveContext(Context c) const { return c == printer_ || liveMemory_.count(c); }

  Context printer_ = 0;
  Context nextMemory_ = 10;
  Font nextFont_ = 100;
  std::set<Font> liveFonts_;
  std::set<Context> liveMemory_;
  std::map<Context, Font> selected_;
  bool docOpen_ = false, pageOpen_ = false;
  int originY_ = 0;
  Rect clip_;
};

// An agreement as stored: the mark, then lines, the final line feed gone.
std::wstring Agreement(int lines) {
  std::wstring text = L"\xFEFF";
  for (int i = 1; i <= lines; ++i) {
    text += L"Line " + std::to_wstring(i);
    if (i < lines) text += L"\n";
  }
  return text;
}

bool Print(FakePrinter& printer, const std::wstring& text) {
  return zor::PrintAgreementPages(printer, text.c_str(), static_cast<int>(text.size()));
}

TEST(AgreementPrint, DialogAndFont) {
  FakePrinter printer;
  std::wstring text = Agreement(3);
  EXPECT_TRUE(Print(printer, text));
  EXPECT_EQ(printer.dialogFlags, 0x14000Cu);
  EXPECT_EQ(printer.spec.height, -83);  // MulDiv(10, 600, 72) = 83.33
  EXPECT_EQ(printer.spec.weight, 0);
  EXPECT_EQ(printer.spec.outPrecision, 4);
  EXPECT_EQ(printer.spec.clipPrecision, 0);
  EXPECT_EQ(printer.spec.quality, 0);
  EXPECT_EQ(printer.spec.pitchAndFamily, 0x20);
  EXPECT_EQ(printer.spec.face, L"MS Sans Serif");
  EXPECT_EQ(printer.documentName, L"test");
  EXPECT_TRUE(printer.ended);
  printer.ExpectAllGivenBack();
}

TEST(AgreementPrint, PagesOfSeventyFiveLines) {
  // The page holds 82 lines of 80 units: 75 a page, each line once.
  const struct {
    int lines;
    size_t pages;
    std::vector<int> firstLines;
  } cases[] = {
      {100, 2, {0, 75}},  // the second page begins with line 76
      {75, 1, {0}},       // exactly one page: no empty page after it
      {150, 2, {0, 75}},
      {151, 3, {0, 75, 150}},
      {1, 1, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    FakePrinter printer;
    EXPECT_TRUE(Print(printer, Agreement(c.lines)));
    EXPECT_EQ(printer.pages.size(), c.pages);
    EXPECT_EQ(printer.FirstLines(), c.firstLines);
    printer.ExpectEachLineOnce(c.lines);
    EXPECT_TRUE(printer.ended);
    EXPECT_FALSE(printer.aborted);
    printer.ExpectAllGivenBack();
  }
}

TEST(AgreementPrint, EmptyTextPrintsOneEmptyPage) {
  FakePrinter printer;
  EXPECT_TRUE(zor::PrintAgreementPages(printer, L"", 0));
  ASSERT_EQ(printer.pages.size(), 1u);
  EXPECT_TRUE(printer.pages[0].lines.empty());
  EXPECT_TRUE(printer.ended);
  printer.ExpectAllGivenBack();

  FakePrinter nullText;
  EXPECT_TRUE(zor::PrintAgreementPages(nullText, nullptr, 5));
  EXPECT_EQ(nullText.pages.size(), 1u);
  nullText.ExpectAllGivenBack();
}

TEST(AgreementPrint, ShortPagesTakeWhatFitsAndNoLineTwice) {
  // 6600 / 100 = 66 lines fit: 75 would lose nine lines a page.
  FakePrinter printer;
  printer.lineHeight = 100;
  EXPECT_TRUE(Print(printer, Agreement(100)));
  EXPECT_EQ(printer.FirstLines(), (std::vector<int>{0, 66}));
  printer.ExpectEachLineOnce(100);

  // 78.5 lines fit: the 75 of each page, without the next page's start
  // showing underneath.
  FakePrinter roomy;
  roomy.lineHeight = 84;
  roomy.pageHeight = 84 * 78 + 42;
  EXPECT_TRUE(Print(roomy, Agreement(160)));
  EXPECT_EQ(roomy.FirstLines(), (std::vector<int>{0, 75, 150}));
  roomy.ExpectEachLineOnce(160);
  roomy.ExpectAllGivenBack();
}

TEST(AgreementPrint, ZeroLineHeightStillEnds) {
  const struct {
    int dpi;
    const char* what;
  } cases[] = {{600, "falls back to the font's height"}, {0, "no height at all: one page"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinter printer;
    printer.firstCharHeight = 0;
    printer.dpiY = c.dpi;
    EXPECT_TRUE(Print(printer, Agreement(100)));
    EXPECT_GE(printer.pages.size(), 1u);
    EXPECT_LE(printer.pages.size(), 3u);
    EXPECT_TRUE(printer.ended);
    printer.ExpectAllGivenBack();
  }
}

TEST(AgreementPrint, FailuresGiveBackEverything) {
  struct Case {
    const char* what;
    void (*arrange)(FakePrinter&);
    bool result;
    size_t pages;
    bool ended, aborted;
  };
  const Case cases[] = {
      {"cancelled dialog", [](FakePrinter& p) { p.cancel = true; }, false, 0, false, false},
      {"no memory context", [](FakePrinter& p) { p.failMemory = true; }, false, 0, false, false},
      {"document does not start", [](FakePrinter& p) { p.failStartDoc = true; }, false, 0, false, false},
      {"first page does not start", [](FakePrinter& p) { p.failStartPageAt = 1; }, true, 0, false, true},
      {"second page does not start", [](FakePrinter& p) { p.failStartPageAt = 2; }, true, 1, false, true},
      {"first page does not end", [](FakePrinter& p) { p.failEndPageAt = 1; }, true, 1, false, true},
      {"no font: the printer's own", [](FakePrinter& p) { p.failFont = true; }, true, 2, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinter printer;
    c.arrange(printer);
    EXPECT_EQ(Print(printer, Agreement(100)), c.result);
    EXPECT_EQ(printer.pages.size(), c.pages);
    EXPECT_EQ(printer.ended, c.ended);
    EXPECT_EQ(printer.aborted, c.aborted);
    printer.ExpectAllGivenBack();
  }
}

TEST(AgreementPrint, CancelledDialogMakesNothing) {
  FakePrinter printer;
  printer.cancel = true;
  EXPECT_FALSE(Print(printer, Agreement(10)));
  EXPECT_EQ(printer.calls, std::vector<std::string>{"PrintDlg"});
}

TEST(AgreementPrint, MulDivRoundsLikeTheSystem) {
  EXPECT_EQ(zor::MulDivRounded(10, 600, 72), 83);
  EXPECT_EQ(zor::MulDivRounded(10, 300, 72), 42);  // 41.67
  EXPECT_EQ(zor::MulDivRounded(10, 36, 72), 5);    // half rounds up
  EXPECT_EQ(zor::MulDivRounded(-10, 36, 72), -5);  // and away from zero
  EXPECT_EQ(zor::MulDivRounded(10, 96, 0), -1);
}

}  // namespace
