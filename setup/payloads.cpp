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

const wchar_t kRendererFolderPrefix[] = L"LumaglimpseRenderer.";
const wchar_t kLanguageFolderPrefix[] = L"LumaglimpseLanguages.";
// Protected from inheriting the temp folder's entries (which give the user
// full control), so a process of the same user that is not elevated can
// neither add a file nor change one; the files inherit the same list.
const wchar_t kPayloadFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

CPayloadFolder::~CPayloadFolder() { CurrentHost().ReleaseHeldFolder(m_hold); }

bool CPayloadFolder::Create() {
  if (!m_strPath.empty()) return true;
  Host& host = CurrentHost();
  std::wstring temp = host.TempFolder();
  // Without a known temp folder the name alone would land in whatever
  // folder is current.
  if (temp.empty()) return false;
  for (int n = 1; n <= kPayloadFolderNames; ++n) {
    std::wstring path = temp + m_prefix + std::to_wstring(n);
    Host::FolderHold hold = 0;
    long error = host.CreateHeldFolder(path, kPayloadFolderSddl, &hold);
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

std::wstring CPayloadFolder::PathOf(const std::wstring& fileName) const {
  return m_strPath.empty() ? std::wstring() : m_strPath + L"\\" + fileName;
}

bool CPayloadFolder::Wrote(const std::wstring& fileName) const {
  std::wstring path = PathOf(fileName);
  for (const std::wstring& p : m_written)
    if (p == path) return true;
  return false;
}

bool CPayloadFolder::Write(Host::Module source, const std::wstring& type, const PayloadFile& f) {
  if (m_strPath.empty() || type.empty() || !f.fileName || !*f.fileName) return false;
  Host& host = CurrentHost();
  std::string bytes;
  if (!host.ReadResource(source, type, f.resourceId, &bytes)) return false;
  std::wstring path = PathOf(f.fileName);
  // The folder is new, so nothing can be there yet; should something be,
  // it is not ours to overwrite or to load.
  auto file = host.OpenFile(path, FileAccess::kWrite, kShareRead, FileCreate::kCreateNew);
  if (!file) return false;
  bool whole = file->Write(bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
  file.reset();
  // A file cut short would load as a broken library, or not at all: better
  // none.
  if (!whole) {
    host.DeleteFile(path);
    return false;
  }
  m_written.push_back(path);
  return true;
}

void CPayloadFolder::Remove() {
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

int ExtractLanguageModules(CPayloadFolder& folder, Host::Module source) {
  // No folder, no modules: the program's own resources serve.
  if (folder.Create()) folder.WriteAll(source, kLanguageModuleType, kLanguageModules);
  return 1;
}

std::wstring LanguageModulePath(const CPayloadFolder& folder, int row) {
  const LanguageRow* r = GetLanguageRow(row);
  // A file we did not write there is not ours to load, whatever its name.
  if (!r || !folder.Wrote(r->moduleFile)) return std::wstring();
  return folder.PathOf(r->moduleFile);
}

Host::Module LoadLanguageModule(const CPayloadFolder& folder, int row) {
  std::wstring path = LanguageModulePath(folder, row);
  return path.empty() ? 0 : CurrentHost().LoadModule(path);
}

}  // namespace zor
