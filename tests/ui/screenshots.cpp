#include "tests/ui/screenshots.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "resources/lang/resource_ids.h"

namespace zor::ui_check {
namespace {

HBRUSH WhiteBrush() {
  static HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
  return brush;
}

// Pages are white, as the setup paints them; popups keep the system colours.
INT_PTR CALLBACK ShotDialog(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, GWLP_USERDATA, lp);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (GetWindowLongPtrW(dlg, GWLP_USERDATA)) {
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(WhiteBrush());
      }
      return FALSE;
    default:
      return FALSE;
  }
}

HWND Create(HMODULE module, int id, HWND parent, bool white) {
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
  if (!res) return nullptr;
  auto* tpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res)));
  return CreateDialogIndirectParamW(module, tpl, parent, ShotDialog, white ? 1 : 0);
}

std::wstring String(HMODULE module, int id) {
  const wchar_t* text = nullptr;
  int n = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

// What the screen shows of the window, as a 24-bit bottom-up BMP file.
bool SaveWindow(HWND window, const std::wstring& path) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(h);
  bool ok = false;
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    ok = std::fwrite(&file, sizeof(file), 1, f) == 1 && std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f) == 1 &&
         std::fwrite(bits, stride, static_cast<size_t>(h), f) == static_cast<size_t>(h);
    std::fclose(f);
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

struct Scale {
  double x, y;
};

Scale ScreenScale() {
  HDC dc = GetDC(nullptr);
  Scale s{GetDeviceCaps(dc, LOGPIXELSX) / 96.0, GetDeviceCaps(dc, LOGPIXELSY) / 96.0};
  ReleaseDC(nullptr, dc);
  return s;
}

void Place(HWND child, int x, int y, int w, int h) {
  SetWindowPos(child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(child, SW_SHOWNA);
}

// The wizard as it looks on page index `page` (1 to 5) of an installation.
HWND ShowWizardPage(HMODULE module, int page, std::vector<HWND>& parts) {
  static const int kTemplates[] = {0, IDD_WELCOME, IDD_AGREEMENT, IDD_SELECT_LANGUAGE, IDD_INSTALL, IDD_FINISH};
  HWND wizard = Create(module, IDD_WIZARD, nullptr, false);
  if (!wizard) return nullptr;
  const Scale s = ScreenScale();
  HWND steps = Create(module, IDD_STEP_LIST, wizard, true);
  HWND body = Create(module, kTemplates[page], wizard, true);
  if (steps) Place(steps, 0, static_cast<int>(55 * s.y), static_cast<int>(175 * s.x), static_cast<int>(328 * s.y));
  if (body)
    Place(body, static_cast<int>(175 * s.x), static_cast<int>(55 * s.y), static_cast<int>(399 * s.x),
          static_cast<int>(328 * s.y));
  for (int n = 1; n <= 5 && steps; ++n) EnableWindow(GetDlgItem(steps, IDC_STEP_LABEL1 + n - 1), n <= page);

  ShowWindow(GetDlgItem(wizard, IDC_WIZARD_PRINT), page == 2 ? SW_SHOW : SW_HIDE);
  EnableWindow(GetDlgItem(wizard, IDC_WIZARD_BACK), page == 2 || page == 3);
  ShowWindow(GetDlgItem(wizard, IDC_WIZARD_BACK), page == 5 ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(wizard, IDCANCEL), page == 5 ? SW_HIDE : SW_SHOW);
  const int next = page == 2 ? IDS_ACCEPT : page == 5 ? IDS_FINISH : IDS_NEXT;
  SetDlgItemTextW(wizard, IDOK, String(module, next).c_str());
  SetDlgItemTextW(wizard, IDCANCEL, String(module, page == 2 ? IDS_DECLINE : IDS_CANCEL).c_str());
  if (body && page == 2) {
    SendDlgItemMessageW(body, IDC_AGREEMENT_LANGUAGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"English"));
    SendDlgItemMessageW(body, IDC_AGREEMENT_LANGUAGE, CB_SETCURSEL, 0, 0);
  }
  if (body && page == 3) {
    SendDlgItemMessageW(body, IDC_SELLANG_LANGUAGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"English"));
    SendDlgItemMessageW(body, IDC_SELLANG_LANGUAGE, CB_SETCURSEL, 0, 0);
    SetDlgItemTextW(body, IDC_SELLANG_FOLDER, L"C:\\Program Files\\Tarvex\\Lumaglimpse\\");
  }
  if (body && page == 4) {
    SetDlgItemTextW(body, IDC_INSTALL_STATUS, String(module, IDS_STEP_COPY_FILES).c_str());
    SendDlgItemMessageW(body, IDC_INSTALL_PROGRESS, PBM_SETPOS, 40, 0);
  }
  if (body && page == 5) CheckRadioButton(body, IDC_FINISH_RESTART_NOW, IDC_FINISH_RESTART_LATER, IDC_FINISH_RESTART_NOW);
  parts = {steps, body};
  return wizard;
}

// The flash page over the whole wizard, its labels filled as at run time.
HWND ShowFlash(HMODULE module, std::vector<HWND>& parts) {
  HWND wizard = Create(module, IDD_WIZARD, nullptr, false);
  if (!wizard) return nullptr;
  for (int id : {IDC_WIZARD_BACK, IDOK, IDCANCEL, IDC_WIZARD_SEPARATOR, IDC_WIZARD_HEADER})
    ShowWindow(GetDlgItem(wizard, id), SW_HIDE);
  HWND flash = Create(module, IDD_FLASH, wizard, true);
  if (flash) {
    RECT r{};
    GetClientRect(wizard, &r);
    Place(flash, 0, 0, r.right, r.bottom);
    SetDlgItemTextW(flash, IDC_FLASH_THANKS, String(module, IDS_FLASH_THANKS).c_str());
    SetDlgItemTextW(flash, IDC_FLASH_VERSION, L"3.0.0.0");
  }
  parts = {flash};
  return wizard;
}

}  // namespace

int SaveScreens(HMODULE module, const std::string& code, const std::wstring& dir) {
  struct Screen {
    const wchar_t* name;
    int page;  // 1 to 5: wizard page; 0: a template of its own; -1: flash
    int dialog;
  };
  static const Screen kScreens[] = {
      {L"flash", -1, 0},
      {L"welcome", 1, 0},
      {L"agreement", 2, 0},
      {L"language", 3, 0},
      {L"install", 4, 0},
      {L"finish", 5, 0},
      {L"maintenance", 0, IDD_REPAIR},
      {L"maintenance-steps", 0, IDD_REPAIR_STEP_LIST},
      {L"about", 0, IDD_ABOUTBOX},
  };
  const std::wstring prefix = dir + L"\\" + std::wstring(code.begin(), code.end()) + L"-";
  int saved = 0;
  for (const Screen& screen : kScreens) {
    std::vector<HWND> parts;
    HWND top = nullptr;
    if (screen.page > 0) {
      top = ShowWizardPage(module, screen.page, parts);
    } else if (screen.page < 0) {
      top = ShowFlash(module, parts);
    } else if (screen.dialog == IDD_REPAIR_STEP_LIST) {
      // A child pane: shown in a frame of its own size.
      top = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_BORDER, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
      HWND pane = Create(module, screen.dialog, top, true);
      if (pane) {
        RECT r{};
        GetWindowRect(pane, &r);
        SetWindowPos(top, nullptr, 0, 0, r.right - r.left + 2, r.bottom - r.top + 2, SWP_NOZORDER);
        Place(pane, 0, 0, r.right - r.left, r.bottom - r.top);
      }
    } else {
      top = Create(module, screen.dialog, nullptr, false);
      if (screen.dialog == IDD_REPAIR && top)
        CheckRadioButton(top, IDC_REPAIR_REPAIR, IDC_REPAIR_UNINSTALL, IDC_REPAIR_REPAIR);
    }
    if (!top) continue;
    SetWindowPos(top, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    ShowWindow(top, SW_SHOWNORMAL);
    UpdateWindow(top);
    Pump(400);
    if (SaveWindow(top, prefix + screen.name + L".bmp")) ++saved;
    DestroyWindow(top);
  }
  return saved;
}

}  // namespace zor::ui_check
