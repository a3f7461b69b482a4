// The shell's folder browser behind IFolderBrowser: SHBrowseForFolderW with
// the dialog's callback, item identifiers from the shell's allocator and the
// desktop folder.
#include <windows.h>
#include <shlobj.h>

#include "engine/dir_dialog.h"

namespace zor {

namespace {

class CBrowserWindow : public IFolderBrowserWindow {
 public:
  explicit CBrowserWindow(HWND window) : m_hWnd(window) {}
  void SetSelection(const std::wstring& path) override {
    ::SendMessageW(m_hWnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
  }
  void SetCaption(const std::wstring& text) override { ::SetWindowTextW(m_hWnd, text.c_str()); }
  void SetStatusText(const std::wstring& text) override {
    ::SendMessageW(m_hWnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void EnableOk(bool enable) override { ::SendMessageW(m_hWnd, BFFM_ENABLEOK, 0, enable ? 1 : 0); }

 private:
  HWND m_hWnd;
};

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
  CDirDialog* dialog = reinterpret_cast<CDirDialog*>(data);
  if (!dialog) return 0;
  CBrowserWindow browserWindow(window);
  if (message == BFFM_INITIALIZED) return dialog->OnBrowserInitialized(browserWindow);
  if (message == BFFM_SELCHANGED)
    return dialog->OnBrowserSelChanged(browserWindow, static_cast<IFolderBrowser::Item>(lParam));
  return 0;
}

class CShellFolderBrowser : public IFolderBrowser {
 public:
  bool GetAllocator() override {
    if (m_pMalloc) return true;
    return SUCCEEDED(::SHGetMalloc(&m_pMalloc)) && m_pMalloc;
  }
  void ReleaseAllocator() override {
    if (m_pMalloc) m_pMalloc->Release();
    m_pMalloc = nullptr;
  }
  bool ParseDisplayName(const std::wstring& path, Item* item) override {
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop)) || !desktop) return false;
    std::wstring name = path;  // the call wants a writable text
    ULONG eaten = 0;
    LPITEMIDLIST pidl = nullptr;
    HRESULT hr = desktop->ParseDisplayName(nullptr, nullptr, &name[0], &eaten, &pidl, nullptr);
    desktop->Release();
    if (FAILED(hr) || !pidl) return false;
    *item = reinterpret_cast<Item>(pidl);
    return true;
  }
  void FreeItem(Item item) override {
    if (item && m_pMalloc) m_pMalloc->Free(reinterpret_cast<void*>(item));
  }
  Choice Browse(const Request& request, CDirDialog& dialog) override {
    // The browser's tree needs COM on this thread; the setup does not keep
    // it initialised otherwise.
    HRESULT com = ::CoInitialize(nullptr);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = reinterpret_cast<HWND>(request.owner);
    info.pidlRoot = reinterpret_cast<LPCITEMIDLIST>(request.root);
    info.pszDisplayName = displayName;
    info.lpszTitle = request.title.empty() ? nullptr : request.title.c_str();
    info.ulFlags = request.flags;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&dialog);
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&info);
    Choice choice;
    if (chosen) {
      choice.item = reinterpret_cast<Item>(chosen);
      choice.imageIndex = info.iImage;
      displayName[MAX_PATH - 1] = L'\0';
      choice.displayName = displayName;
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return choice;
  }
  bool PathFromItem(Item item, std::wstring* path) override {
    wchar_t buffer[MAX_PATH] = {};
    if (!item || !::SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(item), buffer)) return false;
    buffer[MAX_PATH - 1] = L'\0';
    *path = buffer;
    return true;
  }

 private:
  IMalloc* m_pMalloc = nullptr;
};

}  // namespace

IFolderBrowser& PlatformFolderBrowser() {
  static CShellFolderBrowser browser;
  return browser;
}

}  // namespace zor
