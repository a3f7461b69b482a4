#include "tools/describe.h"

#include <string>

#include "model/bitmap_table.h"
#include "model/component.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "model/registry.h"
#include "model/shortcut.h"
#include "model/string_table.h"
#include "tools/printable.h"

namespace zor {
namespace {

// Package text may hold anything; a terminal must not act on it.
std::string U(const std::wstring& s) { return Printable(s); }

void DescribeFileNode(std::ostream& out, const CNode* node, int depth) {
  if (!node) return;
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  if (auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData())) {
    out << indent << U(item->GetName());
    if (item->GetPredefinedFlag()) out << "  (system folder " << item->GetPredefinedFolder().GetFolderId() << ")";
    if (item->GetDestinationFlag()) out << "  (destination)";
    if (!item->GetFolderFlag() && !item->GetPredefinedFlag())
      out << "  [offset " << item->GetOffset() << ", packed " << item->GetPackedSize() << "]";
    out << "\n";
  } else {
    out << indent << "(no record)\n";
  }
  for (int i = 0; i < node->GetChildCount(); ++i) DescribeFileNode(out, node->GetChild(i), depth + 1);
}

void DescribeShortcutNode(std::ostream& out, const CNode* node, int depth) {
  if (!node) return;
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  if (auto* s = DynamicDowncast<CShortcut>(node->GetData())) {
    out << indent << U(s->GetName());
    if (s->GetPredefinedFlag() && s->GetPredefinedFolder().GetFolderId() != -1)
      out << "  (folder id " << s->GetPredefinedFolder().GetFolderId() << ")";
    if (!s->GetPage().empty()) out << "  page " << U(s->GetPage());
    out << "\n";
  }
  for (int i = 0; i < node->GetChildCount(); ++i) DescribeShortcutNode(out, node->GetChild(i), depth + 1);
}

}  // namespace

void DescribeProject(std::ostream& out, CInstallProject& project) {
  const CInsallProjectInfo& pi = *project.GetProjectInfo();
  const CInstallProductInfo& prod = *project.GetProductInfo();
  const CInstallAuthorInfo& author = *project.GetAuthorInfo();
  out << "Project:  " << U(pi.GetProjectName()) << " by " << U(pi.GetAuthor()) << ", build log "
      << U(pi.GetBuildLogPath()) << "\n";
  out << "Product:  " << U(prod.GetProductName()) << " " << U(prod.GetVersion()) << " (" << U(prod.GetCompany())
      << "), default folder " << U(prod.GetDefaultInstallFolder()) << "\n";
  out << "Author:   " << U(author.GetName()) << ", " << U(author.GetAddress()) << "\n";
  for (CStringTable* t : project.GetStringTables())
    out << "String table \"" << U(t->GetName()) << "\", language " << t->GetLanguage() << ", "
        << t->GetEntries().GetCount() << " entries\n";
  for (CBitmapTable* t : project.GetBitmapTables())
    out << "Bitmap table \"" << U(t->GetName()) << "\", " << t->GetEntries().GetCount() << " entries\n";
  for (CInstallCompent* c : project.GetComponents()) {
    out << "Component \"" << U(c->GetName()) << "\":";
    for (CStreamObject* s : c->GetSteps())
      out << " " << U(s->GetName()) << (s->GetEnabled() ? "" : "(off)");
    out << "\n";
  }
  for (CRegistryTable* t : project.GetRegistryTables())
    out << "Registry table \"" << U(t->GetName()) << "\", " << t->GetValues().GetCount() << " values\n";
  for (CShortCutTable* t : project.GetShortCutTables()) {
    out << "Shortcut table \"" << U(t->GetName()) << "\":\n";
    DescribeShortcutNode(out, t->GetTree().GetRoot(), 1);
  }
  for (CExtractFileList* g : project.GetFileGroups()) {
    out << "File group \"" << U(g->GetName()) << "\":\n";
    DescribeFileNode(out, g->GetTree().GetRoot(), 1);
  }
}

}  // namespace zor
