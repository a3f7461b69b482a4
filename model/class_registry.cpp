// The class registry: every class an archive may name, spelled exactly as it
// is stored. An archive naming anything else does not load.
#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"
// -- project records
// -- components
// -- string and bitmap tables
// -- stream objects and selectors
// -- conditions and languages
// -- registry and shortcuts
// -- file groups

const CRuntimeClass* const* CRuntimeClass::Registry() {
  static const CRuntimeClass* const kClasses[] = {
      RUNTIME_CLASS(CFileObject),
      // project records

      // components

      // string and bitmap tables

      // stream objects and selectors

      RUNTIME_CLASS(CObTree),
      RUNTIME_CLASS(CNode),

      // conditions, folders and languages

      RUNTIME_CLASS(CPreDefineFolder),

      // registry and shortcuts

      // file groups

      nullptr,
  };
  return kClasses;
}
