// The class registry: every class an archive may name, spelled exactly as it
// is stored. An archive naming anything else does not load.
#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"
// -- project records
#include "model/install_project.h"
// -- components
#include "model/component.h"
// -- string and bitmap tables
#include "model/bitmap_table.h"
#include "model/string_table.h"
// -- stream objects and selectors
#include "model/selectors.h"
#include "model/stream_object.h"
// -- conditions and languages
#include "model/condition.h"
#include "model/prelang.h"
// -- registry and shortcuts
#include "model/registry.h"
#include "model/shortcut.h"
// -- file groups
#include "model/file_list.h"

const CRuntimeClass* const* CRuntimeClass::Registry() {
  static const CRuntimeClass* const kClasses[] = {
      RUNTIME_CLASS(CFileObject),
      // project records
      RUNTIME_CLASS(CInstallProject),
      RUNTIME_CLASS(CInsallProjectInfo),
      RUNTIME_CLASS(CInstallAuthorInfo),
      RUNTIME_CLASS(CInstallProductInfo),
      // components
      RUNTIME_CLASS(CInstallCompent),
      RUNTIME_CLASS(CInstallComponentMap),

      // string and bitmap tables
      RUNTIME_CLASS(CStringTable),
      RUNTIME_CLASS(CIDString),
      RUNTIME_CLASS(CBitmapTable),
      RUNTIME_CLASS(CIDBitmap),

      // stream objects and selectors
      RUNTIME_CLASS(CStreamObject),
      RUNTIME_CLASS(CSplashDlgObject),
      RUNTIME_CLASS(CIntroDLgObject),
      RUNTIME_CLASS(CDirSelectDlgObject),
      RUNTIME_CLASS(CExtractDlgObject),
      RUNTIME_CLASS(CFinishDlgObject),
      RUNTIME_CLASS(CDllObject),
      RUNTIME_CLASS(CExeObject),
      RUNTIME_CLASS(CObTree),
      RUNTIME_CLASS(CNode),
      RUNTIME_CLASS(CAdminSelect),
      RUNTIME_CLASS(CAutoSelect),
      RUNTIME_CLASS(CLangSelect),
      RUNTIME_CLASS(COSSelect),

      // conditions, folders and languages
      RUNTIME_CLASS(CInstallCondition),
      RUNTIME_CLASS(CInstallConditionTable),
      RUNTIME_CLASS(CPreDefineFolder),
      RUNTIME_CLASS(CPreLang),

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
