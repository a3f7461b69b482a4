// The class registry: every class an archive may name, spelled exactly as it
// is stored. An archive naming anything else does not load.
#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"
// -- project records
// -- components
// -- string and bitmap tables
#include "model/bitmap_table.h"
#include "model/string_table.h"
// -- stream objects and selectors
// -- conditions and languages
// -- registry and shortcuts
#include "model/registry.h"
#include "model/shortcut.h"
// -- file groups
#include "model/file_list.h"

const CRuntimeClass* const* CRuntimeClass::Registry() {
  static const CRuntimeClass* const kClasses[] = {
      RUNTIME_CLASS(CFileObject),
      // project records

      // components

      // string and bitmap tables
      RUNTIME_CLASS(CStringTable),
      RUNTIME_CLASS(CIDString),
      RUNTIME_CLASS(CBitmapTable),
      RUNTIME_CLASS(CIDBitmap),

      // stream objects and selectors

      RUNTIME_CLASS(CObTree),
      RUNTIME_CLASS(CNode),

      // conditions, folders and languages

      RUNTIME_CLASS(CPreDefineFolder),

      // registry and shortcuts
      RUNTIME_CLASS(CRegistryTable),
      RUNTIME_CLASS(CRegistryValue),
      RUNTIME_CLASS(CRegistryFile),
      RUNTIME_CLASS(CShortCutTable),
      RUNTIME_CLASS(CShortcut),

      // file groups
      RUNTIME_CLASS(CExtractFileList),
      RUNTIME_CLASS(CZipFileIndexObject),

      nullptr,
  };
  return kClasses;
}
