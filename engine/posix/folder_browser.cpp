// There is no shell here: the browser has no allocator, so browsing ends at
// once with nothing chosen.
#include "engine/dir_dialog.h"

namespace zor {

namespace {

class CNoFolderBrowser : public IFolderBrowser {
 public:
  bool GetAllocator() override { return false; }
  void ReleaseAllocator() override {}
  bool ParseDisplayName(const std::wstring&, Item*) override { return false; }
  void FreeItem(Item) override {}
  Choice Browse(const Request&, CDirDialog&) override { return Choice(); }
  bool PathFromItem(Item, std::wstring*) override { return false; }
};

}  // namespace

IFolderBrowser& PlatformFolderBrowser() {
  static CNoFolderBrowser browser;
  return browser;
}

}  // namespace zor
