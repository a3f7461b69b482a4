#include "tools/zorpack/folder_map_host.h"

namespace zorpack {

std::wstring FolderMapHost::SpecialFolderPath(int csidl) {
  auto it = folders_.find(csidl);
  return it == folders_.end() ? std::wstring() : it->second;
}

}  // namespace zorpack
