#include "model/file_object.h"

#include "platform/host.h"

IMPLEMENT_SERIAL(CFileObject, CObject, 0)

void CFileObject::Serialize(CArchive& ar) { CObject::Serialize(ar); }

bool FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  return zor::CurrentHost().OpenFile(path, zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting) !=
         nullptr;
}
