#include "setup/win32/agreement_print.h"

#include "platform/win32/windows_api.h"

#include <commdlg.h>

// The printer interface names its operations after the GDI calls; the
// macros that map those to their W forms would rename the overrides.
#undef CreateFont
#undef DrawText
#undef StartDoc

#include "setup/agreement_print.h"

namespace zor {

namespace {

// The agreement printer on GDI: the system's print dialog and the chosen
// printer's device context.
class CGdiAgreementPrinter : public IAgreementPrinter {
 public:
  Context ChoosePrinter(uint32_t flags) override {
    m_pd = PRINTDLGW{};
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.hwndOwner = nullptr;
    m_pd.Flags = flags | PD_RETURNDC;
    m_pd.nCopies = 1;
    if (!::PrintDlgW(&m_pd) || !m_pd.hDC) {
      FreeSettings();
      return 0;
    }
    return reinterpret_cast<Context>(m_pd.hDC);
  }
  void ReleasePrinter(Context printer) override {
    if (printer) ::DeleteDC(Dc(printer));
    m_pd.hDC = nullptr;
    FreeSettings();
  }
  void SetMapMode(Context c, int mode) override { ::SetMapMode(Dc(c), mode); }
  int GetDeviceCaps(Context c, int index) override { return ::GetDeviceCaps(Dc(c), index); }
  Font CreateFont(const FontSpec& s) override {
    return reinterpret_cast<Font>(::CreateFontW(s.height, s.width, s.escapement, s.orientation, s.weight, s.italic,
                                                s.underline, s.strikeOut, s.charSet, s.outPrecision,
                                                s.clipPrecision, s.quality, s.pitchAndFamily, s.face.c_str()));
  }
  void DeleteFont(Font f) override { ::DeleteObject(reinterpret_cast<HGDIOBJ>(f)); }
  void SetBkMode(Context c, int mode) override { ::SetBkMode(Dc(c), mode); }
  Font SelectFont(Context c, Font f) override {
    return reinterpret_cast<Font>(::SelectObject(Dc(c), reinterpret_cast<HGDIOBJ>(f)));
  }
  Context CreateCompatibleContext(Context c) override { return reinterpret_cast<Context>(::CreateCompatibleDC(Dc(c))); }
  void DeleteContext(Context c) override { ::DeleteDC(Dc(c)); }
  int DrawText(Context c, const wchar_t* text, int length, Rect* rect, uint32_t format) override {
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    int height = ::DrawTextW(Dc(c), text, length, &r, format);
    *rect = Rect{r.left, r.top, r.right, r.bottom};
    return height;
  }
  int StartDoc(Context c, const std::wstring& name) override {
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = name.c_str();
    return ::StartDocW(Dc(c), &info);
  }
  int StartPage(Context c) override { return ::StartPage(Dc(c)); }
  int EndPage(Context c) override { return ::EndPage(Dc(c)); }
  int EndDoc(Context c) override { return ::EndDoc(Dc(c)); }
  int AbortDoc(Context c) override { return ::AbortDoc(Dc(c)); }
  void SetViewportOrg(Context c, int x, int y) override { ::SetViewportOrgEx(Dc(c), x, y, nullptr); }
  void SetClipRect(Context c, const Rect& r) override {
    // Clip regions are in device units, whatever the viewport origin.
    HRGN region = ::CreateRectRgn(r.left, r.top, r.right, r.bottom);
    if (!region) return;
    ::SelectClipRgn(Dc(c), region);
    ::DeleteObject(region);
  }
  void ResetClip(Context c) override { ::SelectClipRgn(Dc(c), nullptr); }

 private:
  static HDC Dc(Context c) { return reinterpret_cast<HDC>(c); }
  void FreeSettings() {
    if (m_pd.hDevMode) ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames) ::GlobalFree(m_pd.hDevNames);
    m_pd.hDevMode = nullptr;
    m_pd.hDevNames = nullptr;
  }

  PRINTDLGW m_pd{};
};

}  // namespace

bool PrintAgreementText(const wchar_t* text, int length) {
  CGdiAgreementPrinter printer;
  return PrintAgreementPages(printer, text, length);
}

}  // namespace zor
