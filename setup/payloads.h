// Libraries the program carries among its resources and writes out at
// start-up: the 22 language modules (to the temp folder) and the five
// renderer libraries (to a folder of their own), in the order written here.
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

// Writes resource (`type`, `id`) of `source` to the temp folder under
// `fileName`, replacing an earlier file. 1 when written, 0 when the type or
// name is empty, the resource is missing, the folder is unknown or the file
// cannot be created or fully written.
int ExtractResourceToTemp(Host::Module source, uint32_t id, const std::wstring& type, const std::wstring& fileName);

// Every language module to the temp folder. A file that cannot be written (a
// running program may hold it) keeps its earlier contents; the others are
// still written. Return 1.
int ExtractLanguageModules(Host::Module source);

// The folder of this run's renderer libraries: "<temp>LumaglimpseRenderer.<n>"
// with the first n from 1 that names nothing yet, so a folder of an earlier
// run, of a setup still running or of another user sharing the temp folder
// is never written into, however it got there. It is held for as long as
// the object lives (see Host::CreateHeldFolder) and only SYSTEM and the
// administrators may change it: the setup runs elevated and loads what it
// finds there, so a program of the same user without elevation must not be
// able to put a library in or swap the folder.
class CRendererFolder {
 public:
  CRendererFolder() = default;
  ~CRendererFolder();  // lets go of the folder; Remove deletes it
  CRendererFolder(const CRendererFolder&) = delete;
  CRendererFolder& operator=(const CRendererFolder&) = delete;

  // False when no folder could be made (no temp folder, no free name).
  bool Create();
  // Writes the five renderer libraries of `source` into the folder, each as
  // a new file. True when every one of them was written whole.
  bool WriteLibraries(Host::Module source);
  // The folder's path (no trailing separator) and a file in it; empty
  // before Create.
  const std::wstring& Path() const { return m_strPath; }
  std::wstring PathOf(const std::wstring& fileName) const;
  // Deletes the libraries this object wrote and the folder; only once
  // nothing in it is loaded any more.
  void Remove();

 private:
  std::wstring m_strPath;
  Host::FolderHold m_hold = 0;
  std::vector<std::wstring> m_written;  // full paths
};

extern const wchar_t kRendererFolderPrefix[];  // "LumaglimpseRenderer."
extern const wchar_t kRendererFolderSddl[];     // SYSTEM and administrators only
constexpr int kRendererFolderNames = 100;       // n runs from 1 to this

// Where the module of a row is written: the temp folder and its file name.
// Empty for an index outside the table.
std::wstring LanguageModulePath(int row);
// Loads the module of a row from the temp folder; 0 when the row is outside
// the table or the module cannot be loaded.
Host::Module LoadLanguageModule(int row);

}  // namespace zor
