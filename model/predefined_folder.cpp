#include "model/predefined_folder.h"

#include "platform/host.h"

IMPLEMENT_SERIAL(CPreDefineFolder, CFileObject, 0)

namespace {
constexpr int kCsidlAppData = 26;

struct FolderRow {
  const wchar_t* keyword;
  int id;
};

// Keywords are stored in projects, so their spelling is fixed, misspellings
// included. "[SendToFolder]" and "[StartMenuFolder]" appear twice; a lookup
// by id finds the first.
const FolderRow kFolders[] = {
    {L"[WindowsFolder]", 36},
    {L"[SystemFolder]", 37},
    {L"[CommonProgramFilesFolder]", 43},
    {L"[ProgramFilesFolder]", 38},
    {L"[AppDataFolder]", 26},
    {L"[CommonAppDataFolder]", 35},
    {L"[CommonDesktopFolder]", 25},
    {L"[CommonDocumentFolder]", 46},
    {L"[CommonFavoritesFolder]", 31},
    {L"[CommonPictureFolder]", 54},
    {L"[CommonProgramsMenuFolder]", 23},
    {L"[CommonStartMenuFolder]", 22},
    {L"[CommonStartupFolder]", 24},
    {L"[CommonTemplatesFolder]", 45},
    {L"[ControlPanelFolder]", 3},
    {L"[CookiesFolder]", 33},
    {L"[FaviratesFolder]", 6},
    {L"[FontsFolder]", 20},
    {L"[HistoryFolder]", 34},
    {L"[LocalAppdataFolder]", 28},
    {L"[MyPicturesFolder]", 39},
    {L"[SendToFolder]", 9},
    {L"[StartMenuFolder]", 11},
    {L"[StartUpFolder]", 7},
    {L"[SendToFolder]", 9},
    {L"[StartMenuFolder]", 11},
    {L"[TemplatesFolder]", 21},
    {L"[QuickLuanchFolder]", CPreDefineFolder::kQuickLaunchId},
};
}  // namespace

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

CPreDefineFolderTable::CPreDefineFolderTable() {
  for (const FolderRow& row : kFolders) m_folders.AddTail(new CPreDefineFolder(row.keyword, row.id));
}

const CPreDefineFolder* CPreDefineFolderTable::FindById(int folderId) const {
  for (const CPreDefineFolder* folder : m_folders)
    if (folder->GetFolderId() == folderId) return folder;
  return nullptr;
}

std::unique_ptr<CPreDefineFolderTable> GetPreDefineFolderTable() { return std::make_unique<CPreDefineFolderTable>(); }
