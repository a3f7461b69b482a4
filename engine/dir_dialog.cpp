#include "engine/dir_dialog.h"

namespace zor {

namespace {

bool IsTrailingSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x3000 ||
         c == 0x00A0;
}

}  // namespace

std::wstring TrimInitialSelection(std::wstring path) {
  while (!path.empty() && IsTrailingSpace(path.back())) path.pop_back();
  if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) {
    bool driveRoot = path.size() == 3 && path[1] == L':';
    if (!driveRoot) path.pop_back();
  }
  return path;
}

int CDirDialog::DoBrowse(WindowHandle parent) {
  if (!m_strSelDir.empty()) m_strSelDir = TrimInitialSelection(m_strSelDir);

  IFolderBrowser& browser = Browser();
  if (!browser.GetAllocator()) return 0;

  IFolderBrowser::Request request;
  if (!m_strInitRoot.empty() && !browser.ParseDisplayName(m_strInitRoot, &request.root)) {
    browser.ReleaseAllocator();
    return 0;
  }
  request.owner = parent;
  request.title = m_strTitle;
  request.flags = kBrowseReturnOnlyFsDirs | kBrowseReturnFsAncestors;
  if (m_bStatus == 1) request.flags |= kBrowseStatusText;

  IFolderBrowser::Choice choice = browser.Browse(request, *this);
  int result = 0;
  if (choice.item) {
    m_iImageIndex = choice.imageIndex;
    // A folder without a file-system path (a virtual one) leaves the
    // earlier result as it was, like a cancel.
    std::wstring path;
    if (browser.PathFromItem(choice.item, &path)) {
      m_strPath = path;
      result = 1;
    }
    browser.FreeItem(choice.item);
  }
  if (request.root) browser.FreeItem(request.root);
  browser.ReleaseAllocator();
  return result;
}

int CDirDialog::SelChanged(const std::wstring&, std::wstring*) { return 1; }

int CDirDialog::OnBrowserInitialized(IFolderBrowserWindow& window) {
  if (!m_strSelDir.empty()) window.SetSelection(m_strSelDir);
  if (!m_strWindowTitle.empty()) window.SetCaption(m_strWindowTitle);
  return 0;
}

int CDirDialog::OnBrowserSelChanged(IFolderBrowserWindow& window, IFolderBrowser::Item item) {
  std::wstring path;
  if (!item || !Browser().PathFromItem(item, &path)) path.clear();
  std::wstring status;
  int ok = SelChanged(path, &status);
  if (m_bStatus == 1) window.SetStatusText(status);
  window.EnableOk(ok != 0);
  return 0;
}

}  // namespace zor
