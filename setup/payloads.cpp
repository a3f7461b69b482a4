#include "setup/payloads.h"

#include "setup/language_table.h"

namespace zor {

const wchar_t kLanguageModuleType[] = L"SFX_DLL";
const wchar_t kRendererLibraryType[] = L"SFX_DLL1";
const wchar_t kRendererLibrary[] = L"Orbiscene.dll";
const char kRendererEntryPoint[] = "createOrbitWindow";

// The resource ids are those the program's resource script gives the
// modules; they follow neither row nor file order.
const std::array<PayloadFile, 22> kLanguageModules = {{
    {135, L"Install.dll", 0},
    {134, L"InstallEn.dll", 1},
    {143, L"InstallFr.dll", 2},
    {145, L"InstallKo.dll", 6},
    {144, L"InstallRu.dll", 4},
    {146, L"InstallTr.dll", 5},
    {147, L"InstallGe.dll", 3},
    {162, L"InstallJap.dll", 7},
    {159, L"InstallIta.dll", 9},
    {161, L"InstallSpa.dll", 10},
    {160, L"InstallPtg.dll", 8},
    {178, L"InstallCzech.dll", 11},
    {179, L"InstallDanish.dll", 12},
    {180, L"InstallDutch.dll", 13},
    {181, L"InstallFinnish.dll", 14},
    {182, L"InstallGreek.dll", 15},
    {183, L"InstallHungarian.dll", 16},
    {184, L"InstallNorwegian.dll", 17},
    {185, L"InstallPolish.dll", 18},
    {186, L"InstallPT-BR.dll", 19},
    {187, L"InstallSwedish.dll", 20},
    {188, L"InstallTurkish.dll", 21},
}};

// The renderer imports the image libraries and the Direct3D helper, so all
// five go to the one folder it is loaded from.
const std::array<PayloadFile, 5> kRendererLibraries = {{
    {151, L"DevIL.dll", -1},
    {152, L"ILU.dll", -1},
    {153, L"ILUT.dll", -1},
    {154, L"Orbiscene.dll", -1},
    {155, L"d3dx9_35.dll", -1},
}};

std::optional<uint32_t> LanguageModuleResourceId(int row) {
  for (const PayloadFile& f : kLanguageModules)
    if (f.languageRow == row) return f.resourceId;
  return std::nullopt;
}

namespace {

int ExtractResourceTo(const std::wstring& folderWithSeparator, Host::Module source, uint32_t id,
                      const std::wstring& type, const std::wstring& fileName) {
  if (type.empty() || fileName.empty()) return 0;
  Host& host = CurrentHost();
  std::string bytes;
  if (!host.ReadResource(source, type, id, &bytes)) return 0;
  // Without a known folder the name alone would land in whatever folder is
  // current; refuse instead.
  if (folderWithSeparator.empty()) return 0;
  auto file = host.OpenFile(folderWithSeparator + fileName, FileAccess::kWrite, kShareRead,
                            FileCreate::kCreateAlways);
  if (!file) return 0;
  return file->Write(bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size()) ? 1 : 0;
}

}  // namespace

int ExtractResourceToTemp(Host::Module source, uint32_t id, const std::wstring& type,
                          const std::wstring& fileName) {
  return ExtractResourceTo(CurrentHost().TempFolder(), source, id, type, fileName);
}

int ExtractLanguageModules(Host::Module source) {
  for (const PayloadFile& f : kLanguageModules)
    ExtractResourceToTemp(source, f.resourceId, kLanguageModuleType, f.fileName);
  return 1;
}

const wchar_t kRendererFolderPrefix[] = L"LumaglimpseRenderer.";
// Protected from inheriting the temp folder's entries (which give the user
// full control), so a process of the same user that is not elevated can
// neither add a file nor change one; the files inherit the same list.
const wchar_t kRendererFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

CRendererFolder::~CRendererFolder() { CurrentHost().ReleaseHeldFolder(m_hold); }

bool CRendererFolder::Create() {
  if (!m_strPath.empty()) return true;
  Host& host = CurrentHost();
  std::wstring temp = host.TempFolder();
  // Without a known temp folder the name alone would land in whatever
  // folder is current.
  if (temp.empty()) return false;
  for (int n = 1; n <= kRendererFolderNames; ++n) {
    std::wstring path = temp + kRendererFolderPrefix + std::to_wstring(n);
    Host::FolderHold hold = 0;
    long error = host.CreateHeldFolder(path, kRendererFolderSddl, &hold);
    if (error == kErrSuccess) {
      m_strPath = path;
      m_hold = hold;
      return true;
    }
    // Anything but a name already taken (no temp folder, no rights) would
    // fail for every other name as well.
    if (error != kErrAlreadyExists) return false;
  }
  return false;
}

std::wstring CRendererFolder::PathOf(const std::wstring& fileName) const {
  return m_strPath.empty() ? std::wstring() : m_strPath + L"\\" + fileName;
}

bool CRendererFolder::WriteLibraries(Host::Module source) {
  if (m_strPath.empty()) return false;
  Host& host = CurrentHost();
  bool all = true;
  for (const PayloadFile& f : kRendererLibraries) {
    std::string bytes;
    if (!host.ReadResource(source, kRendererLibraryType, f.resourceId, &bytes)) {
      all = false;
      continue;
    }
    std::wstring path = PathOf(f.fileName);
    // The folder is new, so nothing can be there yet; should something be,
    // it is not ours to overwrite or to load.
    auto file = host.OpenFile(path, FileAccess::kWrite, kShareRead, FileCreate::kCreateNew);
    if (!file) {
      all = false;
      continue;
    }
    m_written.push_back(path);
    if (file->Write(bytes.data(), bytes.size()) != static_cast<int64_t>(bytes.size())) all = false;
  }
  return all;
}

void CRendererFolder::Remove() {
  if (m_strPath.empty()) return;
  Host& host = CurrentHost();
  for (const std::wstring& path : m_written) host.DeleteFile(path);
  m_written.clear();
  // A folder that is held cannot be removed, not even by its holder.
  host.ReleaseHeldFolder(m_hold);
  m_hold = 0;
  host.RemoveFolder(m_strPath);
  m_strPath.clear();
}

std::wstring LanguageModulePath(int row) {
  const LanguageRow* r = GetLanguageRow(row);
  if (!r) return std::wstring();
  return CurrentHost().TempFolder() + r->moduleFile;
}

Host::Module LoadLanguageModule(int row) {
  std::wstring path = LanguageModulePath(row);
  return path.empty() ? 0 : CurrentHost().LoadModule(path);
}

}  // namespace zor
