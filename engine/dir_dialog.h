// CDirDialog: the system's folder browser, returning the chosen folder's
// path.
//
// The dialog decides what to ask for and what to keep; the browser itself
// (the shell's allocator, item identifiers, the modal window and the
// messages it takes) is behind IFolderBrowser. Windows uses the shell's
// SHBrowseForFolder; elsewhere there is no shell and browsing fails, unless
// a caller (or a test) gives the dialog another browser.
#pragma once

#include <cstdint>
#include <string>

#include "engine/result_codes.h"

namespace zor {

class CDirDialog;

// The browser's flags: file-system folders only, file-system ancestors
// only, and the status line.
enum BrowseFlags : uint32_t {
  kBrowseReturnOnlyFsDirs = 0x1,
  kBrowseDontGoBelowDomain = 0x2,
  kBrowseStatusText = 0x4,
  kBrowseReturnFsAncestors = 0x8,
};

// The browser window while it is shown, as the dialog's callback drives it.
class IFolderBrowserWindow {
 public:
  virtual ~IFolderBrowserWindow() = default;
  virtual void SetSelection(const std::wstring& path) = 0;
  virtual void SetCaption(const std::wstring& text) = 0;
  virtual void SetStatusText(const std::wstring& text) = 0;
  virtual void EnableOk(bool enable) = 0;
};

// The shell's side of browsing. Item identifiers are opaque handles that the
// browser hands out and frees; 0 is none.
class IFolderBrowser {
 public:
  using Item = uintptr_t;
  struct Request {
    WindowHandle owner = 0;
    std::wstring title;  // the instruction above the tree
    uint32_t flags = 0;
    Item root = 0;
  };
  struct Choice {
    Item item = 0;  // 0: nothing chosen (cancelled)
    int imageIndex = 0;
    std::wstring displayName;
  };

  virtual ~IFolderBrowser() = default;
  // The shell's memory allocator, held until ReleaseAllocator.
  virtual bool GetAllocator() = 0;
  virtual void ReleaseAllocator() = 0;
  // A path into an item through the desktop folder.
  virtual bool ParseDisplayName(const std::wstring& path, Item* item) = 0;
  virtual void FreeItem(Item item) = 0;
  // Shows the modal browser. While it runs, it reports to `dialog`
  // (OnBrowserInitialized, OnBrowserSelChanged) with its window.
  virtual Choice Browse(const Request& request, CDirDialog& dialog) = 0;
  // The item's file-system path; false when it has none.
  virtual bool PathFromItem(Item item, std::wstring* path) = 0;
};

// The platform's browser (implemented per platform).
IFolderBrowser& PlatformFolderBrowser();

class CDirDialog {
 public:
  CDirDialog() = default;
  virtual ~CDirDialog() = default;
  CDirDialog(const CDirDialog&) = delete;
  CDirDialog& operator=(const CDirDialog&) = delete;

  // Shows the modal browser. 1: a folder with a file-system path was chosen
  // (m_strPath, m_iImageIndex hold it). 0: cancelled, no allocator, a root
  // that cannot be parsed, or a folder without a path; m_strPath is then
  // unchanged.
  int DoBrowse(WindowHandle parent);

  // Whether the OK button may take `path` (the new selection; empty for a
  // folder without a path). A subclass may refuse and say why in `status`.
  virtual int SelChanged(const std::wstring& path, std::wstring* status);

  // The browser's callback (it always answers 0).
  int OnBrowserInitialized(IFolderBrowserWindow& window);
  int OnBrowserSelChanged(IFolderBrowserWindow& window, IFolderBrowser::Item item);

  // Another browser than the platform's (not owned); null: the platform's.
  void SetBrowser(IFolderBrowser* browser) { m_pBrowser = browser; }

  std::wstring m_strWindowTitle;  // caption of the browser window, when set
  std::wstring m_strPath;         // result
  std::wstring m_strInitRoot;     // only this folder and below, when set
  std::wstring m_strSelDir;       // selected when the browser opens, when set
  std::wstring m_strTitle;        // instruction above the tree
  int32_t m_iImageIndex = 0;      // result: system image-list index
  int32_t m_bStatus = 0;          // 1: a status line filled from SelChanged

 private:
  IFolderBrowser& Browser() { return m_pBrowser ? *m_pBrowser : PlatformFolderBrowser(); }

  IFolderBrowser* m_pBrowser = nullptr;
};

// The initial selection as the browser is given it: trailing white space
// and then one trailing backslash or slash removed, except the backslash of
// a drive root ("D:\"), without which the text would name the drive's
// current folder instead.
std::wstring TrimInitialSelection(std::wstring path);

}  // namespace zor
