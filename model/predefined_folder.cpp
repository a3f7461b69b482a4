#include "model/predefined_folder.h"

#include "platform/host.h"

IMPLEMENT_SERIAL(CPreDefineFolder, CFileObject, 0)

namespace {
constexpr int kCsidlAppData = 26;
}

std::wstring CPreDefineFolder::ResolvePath() const {
  zor::Host& host = zor::CurrentHost();
  if (m_nFolderId == kQuickLaunchId) {
    // No shell id covers the quick-launch bar; it lives in the roaming
    // application data of the current user.
    std::wstring appData = host.SpecialFolderPath(kCsidlAppData);
    return appData.empty() ? std::wstring() : appData + L"\\Microsoft\\Internet Explorer\\Quick Launch";
  }
  if (m_nFolderId < 0) return std::wstring();
  return host.SpecialFolderPath(m_nFolderId);
}

void CPreDefineFolder::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_nFolderId);
}
