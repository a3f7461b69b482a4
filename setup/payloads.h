// Libraries the program carries among its resources and writes out at
// start-up, each kind into a folder of the run's own: the 22 language
// modules and the five renderer libraries, in the order written here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

namespace zor {

struct PayloadFile {
  uint32_t resourceId;
  const wchar_t* fileName;
  int languageRow;  // the language table row a module serves; -1 for libraries
};

extern const wchar_t kLanguageModuleType[];   // "SFX_DLL"
extern const wchar_t kRendererLibraryType[];  // "SFX_DLL1"
extern const wchar_t kRendererLibrary[];      // "Orbiscene.dll"
extern const char kRendererEntryPoint[];      // "createOrbitWindow"

// In the order they are written.
extern const std::array<PayloadFile, 22> kLanguageModules;
extern const std::array<PayloadFile, 5> kRendererLibraries;

// The "SFX_DLL" resource id of the module of a language table row.
std::optional<uint32_t> LanguageModuleResourceId(int row);

// A folder of this run for libraries it loads: "<temp><prefix><n>" with the
// first n from 1 that names nothing yet, so a folder of an earlier run, of a
// setup still running or of another user sharing the temp folder is never
// written into, however it got there. It is held for as long as the object
// lives (see Host::CreateHeldFolder) and only SYSTEM and the administrators
// may change it: the setup runs elevated and loads what it finds there, so
// a program of the same user without elevation must not be able to put a
// library in, change one or swap the folder.
class CPayloadFolder {
 public:
  // `prefix` names the kind, e.g. kRendererFolderPrefix; it must outlive
  // the object.
  explicit CPayloadFolder(const wchar_t* prefix) : m_prefix(prefix) {}
  ~CPayloadFolder();  // lets go of the folder; Remove deletes it
  CPayloadFolder(const CPayloadFolder&) = delete;
  CPayloadFolder& operator=(const CPayloadFolder&) = delete;

  // False when no folder could be made (no temp folder, no free name).
  bool Create();
  // Writes resource (`type`, `file.resourceId`) of `source` into the folder
  // as a new file named `file.fileName`. True when written whole; otherwise
  // nothing of that name is left by us (a file that was there already is
  // not ours and stays as it is).
  bool Write(Host::Module source, const std::wstring& type, const PayloadFile& file);
  // Every file of `files`, the others still written when one fails. True
  // when every one was written whole.
  template <size_t N>
  bool WriteAll(Host::Module source, const std::wstring& type, const std::array<PayloadFile, N>& files) {
    bool all = true;
    for (const PayloadFile& f : files) all = Write(source, type, f) && all;
    return all;
  }
  // The folder's path (no trailing separator) and a file in it; empty
  // before Create.
  const std::wstring& Path() const { return m_strPath; }
  std::wstring PathOf(const std::wstring& fileName) const;
  // Whether `fileName` is a file this object wrote whole (and not yet
  // removed): only those are ours to load.
  bool Wrote(const std::wstring& fileName) const;
  // Deletes the files this object wrote and the folder; only once nothing
  // in it is loaded any more.
  void Remove();

 private:
  const wchar_t* m_prefix;
  std::wstring m_strPath;
  Host::FolderHold m_hold = 0;
  std::vector<std::wstring> m_written;  // full paths
};

extern const wchar_t kRendererFolderPrefix[];  // "LumaglimpseRenderer."
extern const wchar_t kLanguageFolderPrefix[];  // "LumaglimpseLanguages."
extern const wchar_t kPayloadFolderSddl[];     // SYSTEM and administrators only
constexpr int kPayloadFolderNames = 100;       // n runs from 1 to this

// Makes `folder` (a language folder) and writes every language module of
// `source` into it. A module that cannot be written is absent: its language
// then loads nothing, as for a row without module. Return 1.
int ExtractLanguageModules(CPayloadFolder& folder, Host::Module source);

// Where the module of a row is in `folder`. Empty for an index outside the
// table or when `folder` did not write that module.
std::wstring LanguageModulePath(const CPayloadFolder& folder, int row);
// Loads the module of a row from `folder`; 0 when the row is outside the
// table or the module cannot be loaded. The caller frees it (UnloadModule)
// before the folder is removed.
Host::Module LoadLanguageModule(const CPayloadFolder& folder, int row);

}  // namespace zor
