// zorpack extract: the file groups of a package unpacked by the package
// engine's own extractor, with system folders mapped to folders the user
// names, and an account of every file that did not arrive.
#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "common/wstr.h"
#include "engine/extract.h"
#include "engine/paths.h"
#include "model/predefined_folder.h"
#include "tools/printable.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/folder_map_host.h"
#include "tools/zorpack/package_streams.h"

namespace zorpack {

namespace {

// The extractor, watched: which group and node it is at, and what became of
// every item it was asked to place. Where things go is still decided by
// the engine alone.
class WatchedExtract : public zor::CMyExtract {
 public:
  struct Failure {
    const CExtractFileList* group;
    const CNode* node;
    const CZipFileIndexObject* item;
    std::wstring target;
    std::string why;  // when known before the extractor is asked
  };

  // `item` is not to be extracted, for the reason given.
  void Refuse(const CZipFileIndexObject* item, std::string why) { m_refused[item] = std::move(why); }

  int32_t ExtractFileList(zor::File* package, CExtractFileList* list, zor::ProgressCallback callback,
                          void* userData) override {
    m_group = list;
    return CMyExtract::ExtractFileList(package, list, callback, userData);
  }

  int32_t ExtractNode(zor::File* package, CNode* node, zor::ProgressCallback callback, void* userData) override {
    m_nodes.push_back(node);
    int32_t result = CMyExtract::ExtractNode(package, node, callback, userData);
    m_nodes.pop_back();
    return result;
  }

  int32_t ExtractItem(zor::File* package, CZipFileIndexObject* item, const std::wstring& folderPath,
                      zor::ProgressCallback callback, void* userData) override {
    auto refused = m_refused.find(item);
    if (refused != m_refused.end()) {
      m_placed.insert(item);
      m_failures.push_back({m_group, m_nodes.empty() ? nullptr : m_nodes.back(), item, std::wstring(),
                            refused->second});
      return zor::kResultCannotCreate;
    }
    int32_t result = CMyExtract::ExtractItem(package, item, folderPath, callback, userData);
    if (!item) return result;
    m_placed.insert(item);
    std::wstring target = zor::WithSeparator(folderPath) + item->GetName();
    if (result != zor::kResultOk) {
      m_failures.push_back({m_group, m_nodes.empty() ? nullptr : m_nodes.back(), item, target, std::string()});
    } else if (!item->GetFolderFlag() && !item->GetPredefinedFlag() && !folderPath.empty()) {
      ++m_files;
      std::unique_ptr<zor::File> written = zor::CurrentHost().OpenFile(
          target, zor::FileAccess::kRead, zor::kShareRead | zor::kShareWrite, zor::FileCreate::kOpenExisting);
      if (written) m_bytes += static_cast<uint64_t>(std::max<int64_t>(0, written->Size()));
    }
    return result;
  }

  bool Placed(const CZipFileIndexObject* item) const { return m_placed.count(item) != 0; }
  const std::vector<Failure>& Failures() const { return m_failures; }
  size_t Files() const { return m_files; }
  uint64_t Bytes() const { return m_bytes; }

 private:
  const CExtractFileList* m_group = nullptr;
  std::vector<CNode*> m_nodes;
  std::set<const CZipFileIndexObject*> m_placed;
  std::map<const CZipFileIndexObject*, std::string> m_refused;
  std::vector<Failure> m_failures;
  size_t m_files = 0;
  uint64_t m_bytes = 0;
};

struct Mapping {
  std::string argument;
  std::wstring name;  // a bracketed folder name, when given by name
  int id = -1;
  std::wstring path;
};

std::optional<int> ParseFolderId(const std::string& text) {
  int base = 10;
  size_t start = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    start = 2;
  }
  if (start >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (size_t i = start; i < text.size(); ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  return static_cast<int>(value);
}

// The id a bracketed folder name stands for: the built-in names first, then
// the system folders the package itself names.
std::optional<int> FolderIdOf(const std::wstring& name, const CInstallProject& project) {
  std::unique_ptr<CPreDefineFolderTable> table = GetPreDefineFolderTable();
  for (const CPreDefineFolder* folder : table->GetList())
    if (zor::EqualsNoCase(folder->GetName(), name)) return folder->GetFolderId();
  for (const CExtractFileList* group : project.GetFileGroups())
    for (const CNode* node : PreOrder(group->GetTree().GetRoot())) {
      auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
      if (item && item->GetPredefinedFlag() && zor::EqualsNoCase(item->GetPredefinedFolderName(), name))
        return item->GetPredefinedFolder().GetFolderId();
    }
  return std::nullopt;
}

std::string GroupList(const CInstallProject& project) {
  std::string names;
  for (const CExtractFileList* group : project.GetFileGroups())
    names += (names.empty() ? "\"" : ", \"") + zor::Printable(group->GetName()) + "\"";
  return names.empty() ? "none" : names;
}

std::string Plural(size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

int ExtractPackage(const ExtractOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& package = options.package;
  if (options.destination.empty()) {
    err << "zorpack: --dest needs a folder\n";
    return kExitUsage;
  }
  std::vector<Mapping> mappings;
  for (const std::string& argument : options.folders) {
    size_t equals = argument.find('=');
    Mapping m;
    m.argument = argument;
    std::string key = equals == std::string::npos ? argument : argument.substr(0, equals);
    std::optional<int> id;
    if (!key.empty() && key.front() == '[' && key.back() == ']')
      m.name = zor::FromUtf8(key);
    else if ((id = ParseFolderId(key)))
      m.id = *id;
    if (equals == std::string::npos || equals + 1 == argument.size() || (m.name.empty() && !id)) {
      err << "zorpack: --folder \"" << argument
          << "\": expected ID=PATH, with ID a folder number such as 37 or a folder name such as [SystemFolder]\n";
      return kExitUsage;
    }
    // As the absolute folder it names: "." and "x/../y" hold files as
    // "/home/me/y" does.
    m.path = zor::AbsoluteOrAsGiven(zor::FromUtf8(argument.substr(equals + 1)));
    mappings.push_back(m);
  }

  const std::wstring packagePath = zor::FromUtf8(package);
  WatchedExtract extract;
  int32_t result = extract.Open(packagePath);
  if (result != zor::kResultOk) {
    err << "zorpack: " << package << " " << OpenFailure(result, extract.GetTrailer()) << "\n";
    return kExitBadInput;
  }
  const CInstallProject& project = *extract.GetProject();

  std::map<int, std::wstring> folders;
  for (Mapping& m : mappings) {
    if (!m.name.empty()) {
      std::optional<int> id = FolderIdOf(m.name, project);
      if (!id) {
        err << "zorpack: --folder \"" << m.argument << "\": no system folder is named " << zor::ToUtf8(m.name)
            << "\n";
        return kExitUsage;
      }
      m.id = *id;
    }
    if (m.id == CPreDefineFolder::kQuickLaunchId) {
      // The engine finds the quick-launch bar inside the application data.
      err << "zorpack: --folder \"" << m.argument
          << "\": the quick-launch folder lies in the application-data folder; map that one instead (--folder 26=PATH)\n";
      return kExitUsage;
    }
    auto [it, added] = folders.emplace(m.id, m.path);
    if (!added && it->second != m.path) {
      err << "zorpack: folder " << m.id << " is mapped twice (\"" << m.argument << "\")\n";
      return kExitUsage;
    }
  }

  std::vector<const CExtractFileList*> lists;
  std::vector<std::wstring> groups;
  for (const std::string& name : options.groups) {
    const std::wstring group = zor::FromUtf8(name);
    const CExtractFileList* list = project.FindFileGroup(group);
    if (!list) {
      err << "zorpack: " << package << " has no file group \"" << name << "\" (its groups: " << GroupList(project);
      for (const CExtractFileList* other : project.GetFileGroups())
        if (zor::EqualsNoCase(other->GetName(), group)) {
          err << "; names match case-sensitively";
          break;
        }
      err << ")\n";
      return kExitUsage;
    }
    if (std::find(groups.begin(), groups.end(), group) != groups.end()) continue;
    groups.push_back(group);
    lists.push_back(list);
  }
  if (groups.empty())
    for (const CExtractFileList* list : project.GetFileGroups()) lists.push_back(list);

  // Two entries Windows takes for one file: the later one would replace the
  // earlier, so it is refused with what lies below it.
  for (const CExtractFileList* list : lists)
    for (const NameClash& clash : NameClashes(list->GetTree().GetRoot()))
      extract.Refuse(static_cast<const CZipFileIndexObject*>(clash.node->GetData()),
                     ClashProblem(clash) + "; refused");

  // From here on, system folders are the mapped ones and nothing else.
  FolderMapHost mapped(zor::CurrentHost(), folders);
  zor::ScopedHost scope(&mapped);
  for (const auto& folder : folders) zor::CreateDirectoryChain(folder.second);
  const std::wstring destination = zor::AbsoluteOrAsGiven(zor::FromUtf8(options.destination));
  extract.SetPackagePath(packagePath);
  extract.SetDestination(destination);
  if (groups.empty()) {
    result = extract.ExtractAll(destination, nullptr, nullptr);
  } else {
    for (const std::wstring& group : groups) {
      result = extract.ExtractGroup(destination, group, nullptr, nullptr);
      if (result == zor::kResultCannotOpen) break;
    }
  }
  if (result == zor::kResultCannotOpen) {
    err << "zorpack: " << package << " " << OpenFailure(result) << "\n";
    return kExitBadInput;
  }

  // Why each failed item failed. The extractor says only that it did; the
  // stream is checked again, in the package the extractor read, to tell
  // damage from a target that refused.
  zor::File* file = extract.GetPackage();
  int64_t filesEnd = std::numeric_limits<int64_t>::max();
  for (int i = 0; i < extract.GetCount(); ++i) filesEnd = std::min<int64_t>(filesEnd, extract.GetEntry(i).m_nOffset);
  std::set<const CZipFileIndexObject*> failed;
  for (const WatchedExtract::Failure& f : extract.Failures()) {
    failed.insert(f.item);
    std::string why = f.why;
    const std::string nameProblem = why.empty() ? NodeNameProblem(*f.item) : std::string();
    if (!why.empty()) {
      // decided before the extractor was asked
    } else if (!nameProblem.empty()) {
      why = nameProblem + "; refused";
    } else if (f.item->GetFolderFlag()) {
      why = "the folder cannot be created";
    } else if (f.item->GetOffset() < 0) {
      why = "it has no packed stream";
    } else {
      StreamCheck check =
          file ? CheckStream(*file, f.item->GetOffset(), filesEnd, extract.GetFileLimit()) : StreamCheck{};
      if (!file) why = "the package cannot be read again to check its stream";
      else if (!check.ok) why = check.problem;
      else why = "cannot write " + zor::Printable(f.target);
    }
    err << "zorpack: " << package << ": group \"" << zor::Printable(f.group ? f.group->GetName() : L"") << "\": "
        << zor::Printable(TreePath(f.node)) << ": " << why << "; not extracted\n";
  }

  // Files the extractor never reached: below a refused folder, below a
  // system folder without a mapping, or below nothing it could place.
  size_t belowFailed = 0;
  std::map<std::tuple<const CExtractFileList*, std::wstring, int>, size_t> unmapped;
  std::map<const CExtractFileList*, size_t> nowhere;
  for (const CExtractFileList* list : lists) {
    for (const CNode* node : PreOrder(list->GetTree().GetRoot())) {
      const CZipFileIndexObject* item = FileItemOf(node);
      if (!item || extract.Placed(item)) continue;
      bool refused = false;
      const CZipFileIndexObject* system = nullptr;
      for (const CNode* a = node->GetParent(); a && !refused; a = a->GetParent()) {
        auto* above = DynamicDowncast<CZipFileIndexObject>(a->GetData());
        if (!above) continue;
        refused = failed.count(above) != 0;
        if (!system && above->GetPredefinedFlag() && above->GetTargetName().empty()) system = above;
      }
      if (refused)
        ++belowFailed;
      else if (system)
        ++unmapped[{list, system->GetPredefinedFolderName(), system->GetPredefinedFolder().GetFolderId()}];
      else
        ++nowhere[list];
    }
  }
  // Only an unmapped system folder is the user's choice; a file with no
  // place at all is a fault of the package.
  size_t skipped = 0;
  size_t placeless = 0;
  for (const auto& [key, n] : unmapped) {
    const auto& [list, name, id] = key;
    const std::string files = "group \"" + zor::Printable(list->GetName()) + "\": " + Plural(n, "file") + " below " +
                              zor::Printable(name);
    if (id >= 0) {
      skipped += n;
      err << "zorpack: warning: " << files << " (folder " << id << ") skipped: no path is mapped for it (--folder "
          << id << "=PATH)\n";
    } else {
      placeless += n;
      err << "zorpack: " << package << ": " << files
          << ": it stands for no system folder and no destination folder lies between, so they have no place; not "
             "extracted\n";
    }
  }
  for (const auto& [list, n] : nowhere) {
    placeless += n;
    err << "zorpack: " << package << ": group \"" << zor::Printable(list->GetName()) << "\": " << Plural(n, "file")
        << " below neither the destination nor a system folder, so they have no place; not extracted\n";
  }

  out << "Extracted " << Plural(extract.Files(), "file") << " (" << extract.Bytes() << " bytes) from "
      << Plural(lists.size(), "group") << " into " << options.destination;
  if (skipped) out << "; " << skipped << " skipped";
  // A refused folder counts as one entry, and so does each file below it.
  const size_t failures = extract.Failures().size() + belowFailed + placeless;
  if (failures) out << "; " << failures << " not extracted";
  out << "\n";
  if (failures) {
    err << "zorpack: " << package << ": " << failures << (failures == 1 ? " entry" : " entries")
        << " could not be extracted\n";
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace zorpack
