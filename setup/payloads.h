// Libraries the program carries among its resources and writes out at
// start-up: the 22 language modules (to the temp folder) and the five
// renderer libraries (to the system folder), in the order written here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

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

// Writes resource (`type`, `id`) of `source` to the temp folder, or to the
// system folder, under `fileName`, replacing an earlier file. 1 when written,
// 0 when the type or name is empty, the resource is missing, the folder is
// unknown or the file cannot be created or fully written.
int ExtractResourceToTemp(Host::Module source, uint32_t id, const std::wstring& type, const std::wstring& fileName);
int ExtractResourceToSystem(Host::Module source, uint32_t id, const std::wstring& type,
                            const std::wstring& fileName);

// One renderer library to the system folder. A file already there under its
// name is replaced only when it is one of our renderer builds (its version
// resource says so) or already holds these bytes: a library of that name
// from another product stays as it is (0). 0 as well when the existing file
// cannot be read, since then nobody can tell whose it is.
int ExtractRendererLibrary(Host::Module source, const PayloadFile& library);

// True when every renderer library in the system folder is ours (the
// payload's bytes or a build of our renderer). The renderer binds to the
// libraries it finds there by name; with another product's library under
// one of those names it cannot work and must not be loaded.
bool RendererLibrariesInPlace(Host::Module source);

// Every language module to the temp folder, every renderer library to the
// system folder (by ExtractRendererLibrary's rule). A file that cannot be
// written (a running program may hold it) keeps its earlier contents; the
// others are still written. Return 1.
int ExtractLanguageModules(Host::Module source);
int ExtractRendererLibraries(Host::Module source);

// Where the module of a row is written: the temp folder and its file name.
// Empty for an index outside the table.
std::wstring LanguageModulePath(int row);
// Loads the module of a row from the temp folder; 0 when the row is outside
// the table or the module cannot be loaded.
Host::Module LoadLanguageModule(int row);

}  // namespace zor
