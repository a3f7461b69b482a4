#include "setup/payloads.h"

#include "renderer/version_probe.h"
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

int ExtractResourceToSystem(Host::Module source, uint32_t id, const std::wstring& type,
                            const std::wstring& fileName) {
  std::wstring system = CurrentHost().SystemFolder();
  return ExtractResourceTo(system.empty() ? std::wstring() : system + L"\\", source, id, type, fileName);
}

int ExtractLanguageModules(Host::Module source) {
  for (const PayloadFile& f : kLanguageModules)
    ExtractResourceToTemp(source, f.resourceId, kLanguageModuleType, f.fileName);
  return 1;
}

namespace {

// Larger than any library of ours by far; a file this big is someone else's.
constexpr int64_t kLargestRendererLibrary = 64 << 20;

// Whole contents of an existing file; nullopt when it cannot be read.
std::optional<std::string> ReadExistingFile(Host& host, const std::wstring& path) {
  auto file = host.OpenFile(path, FileAccess::kRead, kShareRead | kShareWrite, FileCreate::kOpenExisting);
  if (!file) return std::nullopt;
  int64_t size = file->Size();
  if (size < 0 || size > kLargestRendererLibrary) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    int64_t n = file->Read(&bytes[done], bytes.size() - done);
    if (n <= 0) return std::nullopt;
    done += static_cast<size_t>(n);
  }
  return bytes;
}

}  // namespace

namespace {

// What lies in the system folder under a renderer library's name.
enum class SystemCopy { kAbsent, kOurs, kForeign };

// Ours: the payload's very bytes, or a build whose version resource names
// our renderer. A file that cannot be read counts as foreign, since nobody
// can tell whose it is.
SystemCopy InspectSystemCopy(Host& host, const std::wstring& path, const std::string& payload) {
  if (!host.FileExists(path)) return SystemCopy::kAbsent;
  std::optional<std::string> existing = ReadExistingFile(host, path);
  if (!existing) return SystemCopy::kForeign;
  return *existing == payload || IsOurRendererLibrary(*existing) ? SystemCopy::kOurs : SystemCopy::kForeign;
}

// The system folder's path of a library and its payload; false when either
// is unknown.
bool LibraryAndPayload(Host& host, Host::Module source, const PayloadFile& library, std::wstring* path,
                       std::string* payload) {
  if (!host.ReadResource(source, kRendererLibraryType, library.resourceId, payload)) return false;
  std::wstring system = host.SystemFolder();
  if (system.empty()) return false;
  *path = system + L"\\" + library.fileName;
  return true;
}

}  // namespace

int ExtractRendererLibrary(Host::Module source, const PayloadFile& library) {
  Host& host = CurrentHost();
  std::wstring target;
  std::string payload;
  if (!LibraryAndPayload(host, source, library, &target, &payload)) return 0;
  // The system folder is shared with every other program: a library of the
  // same name that another product installed there is theirs, and replacing
  // it would break them. Only our own builds are rewritten.
  if (InspectSystemCopy(host, target, payload) == SystemCopy::kForeign) return 0;
  return ExtractResourceToSystem(source, library.resourceId, kRendererLibraryType, library.fileName);
}

bool RendererLibrariesInPlace(Host::Module source) {
  Host& host = CurrentHost();
  for (const PayloadFile& f : kRendererLibraries) {
    std::wstring path;
    std::string payload;
    if (!LibraryAndPayload(host, source, f, &path, &payload)) return false;
    if (InspectSystemCopy(host, path, payload) != SystemCopy::kOurs) return false;
  }
  return true;
}

int ExtractRendererLibraries(Host::Module source) {
  for (const PayloadFile& f : kRendererLibraries) ExtractRendererLibrary(source, f);
  return 1;
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
