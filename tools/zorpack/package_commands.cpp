// The commands that read or write packages through the package engine.
#include "common/wstr.h"
#include "engine/build.h"
#include "engine/extract.h"
#include "engine/system_error.h"
#include "model/install_project.h"
#include "platform/absolute_path.h"
#include "platform/host.h"
#include "tools/printable.h"
#include "tools/project_json.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/package_streams.h"

namespace zorpack {

namespace {

std::string BuildFailure(int32_t result) {
  switch (result) {
    case zor::kResultCannotCreate: return "the package or a temporary file cannot be written";
    case zor::kResultSourceFailed: return "a source file cannot be read";
    case zor::kResultNoProject: return "the engine executable cannot be read";
    case zor::kResultIndexFailed: return "the project index cannot be written";
    default: return "engine result " + std::to_string(result);
  }
}

// Nodes the builder gave a stream.
int PackedFiles(const CNode* node) {
  if (!node) return 0;
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  int n = item && item->GetOffset() >= 0 ? 1 : 0;
  for (int i = 0; i < node->GetChildCount(); ++i) n += PackedFiles(node->GetChild(i));
  return n;
}

// Why the builder must not be given `node`, whose record is `item`; empty
// when it may. Only leaves are packed, so only a leaf's source matters.
std::string NodeFault(const CNode& node, const CZipFileIndexObject& item) {
  if (item.GetPredefinedFlag()) return std::string();
  const bool folder = item.GetFolderFlag() != 0;
  if (folder && item.GetName().empty()) return "it is a folder without a name";
  std::string problem = NodeNameProblem(item);
  if (!problem.empty()) return problem;
  const std::wstring& source = item.GetSourcePath();
  if (source.find(L'\0') != std::wstring::npos) return "its source path holds a NUL character";
  zor::Host& host = zor::CurrentHost();
  if (folder) {
    if (!source.empty() && host.FileExists(source))
      return "it is a folder, but its source " + zor::Printable(source) + " is a file";
    return std::string();
  }
  if (node.HasChildren()) return std::string();
  if (source.empty()) return "it is a file without a source";
  if (host.DirectoryExists(source)) return "its source " + zor::Printable(source) + " is a folder, not a file";
  // Checked before anything opens it: a pipe or a device would block or
  // never end.
  if (!host.FileExists(source))
    return "its source " + zor::Printable(source) + " does not exist or is no regular file";
  long error = 0;
  std::unique_ptr<zor::File> file = host.OpenFile(source, zor::FileAccess::kRead, zor::kShareRead | zor::kShareWrite,
                                                  zor::FileCreate::kOpenExisting, &error);
  if (!file) {
    std::wstring reason = zor::SystemErrorText(error);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
    return "cannot read the source file " + zor::Printable(source) + " (" + zor::ToUtf8(reason) + ")";
  }
  // The reader stops any stream that expands past this, so such a file
  // would be packed only to be refused on every machine that unpacks it.
  if (file->Size() > zor::kMaxFileBytes)
    return "its source " + zor::Printable(source) + " holds " + std::to_string(file->Size()) +
           " bytes, more than a file of a package can (" + std::to_string(zor::kMaxFileBytes) + ")";
  return std::string();
}

// Every node of the project the builder must not be given, one line each.
std::vector<std::string> ProjectFaults(const CInstallProject& project) {
  std::vector<std::string> faults;
  for (const CExtractFileList* group : project.GetFileGroups()) {
    const std::string where = "file group \"" + zor::Printable(group->GetName()) + "\": ";
    const CNode* root = group->GetTree().GetRoot();
    for (const CNode* node : PreOrder(root))
      if (auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData())) {
        std::string fault = NodeFault(*node, *item);
        if (!fault.empty()) faults.push_back(where + zor::Printable(TreePath(node)) + ": " + fault);
      }
    for (const NameClash& clash : NameClashes(root))
      faults.push_back(where + zor::Printable(TreePath(clash.node)) + ": " + ClashProblem(clash));
  }
  return faults;
}

}  // namespace

int ListPackage(const std::string& package, bool json, std::ostream& out, std::ostream& err) {
  zor::CMyExtract extract;
  int32_t result = extract.Open(zor::FromUtf8(package));
  if (result != zor::kResultOk) {
    err << "zorpack: " << package << " " << OpenFailure(result, extract.GetTrailer()) << "\n";
    return kExitBadInput;
  }
  PrintProject(*extract.GetProject(), json, out);
  return kExitOk;
}

int BuildPackage(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  CInstallProject project;
  std::string error;
  if (!zor::LoadProjectDescription(zor::FromUtf8(options.project), &project, &error)) {
    err << "zorpack: " << error << "\n";
    return kExitBadInput;
  }
  CInstallProductInfo* product = project.GetProductInfo();
  // Paths on the command line are the user's, taken against the working
  // folder; the engine's is stored in the index as the full path it is.
  if (!options.engine.empty()) product->SetEnginePath(zor::AbsoluteOrAsGiven(zor::FromUtf8(options.engine)));
  zor::Host& host = zor::CurrentHost();
  if (product->GetEnginePath().empty()) {
    err << "zorpack: " << options.project << ": no engine executable; give product.engine or --engine FILE\n";
    return kExitBadInput;
  }
  if (!host.FileExists(product->GetEnginePath())) {
    err << "zorpack: the engine executable " << zor::Printable(product->GetEnginePath()) << " does not exist\n";
    return kExitBadInput;
  }
  // Whatever the builder or the extractor would refuse is named before
  // anything is written.
  std::vector<std::string> faults = ProjectFaults(project);
  for (const std::string& fault : faults) err << "zorpack: " << options.project << ": " << fault << "\n";
  if (!faults.empty()) return kExitBadInput;

  zor::CMyBuild builder;
  // One thread is the caller's own: file by file, no workers.
  builder.SetCompressionThreads(options.threads == 0 ? -1 : options.threads == 1 ? 0 : options.threads);
  builder.SetProject(&project);
  if (!options.log.empty()) {
    auto* log = new zor::CMyLogSystem;
    log->SetLogFile(zor::AbsoluteOrAsGiven(zor::FromUtf8(options.log)));
    builder.SetLog(log);
  }
  const std::wstring output = zor::FromUtf8(options.output);
  int32_t result = builder.Build(output, nullptr, nullptr);
  if (result != zor::kResultOk) {
    // A cut-off package would pass for a whole one until someone runs it.
    host.DeleteFile(output);
    err << "zorpack: building " << options.output << " failed: " << BuildFailure(result) << " (see the build log "
        << zor::Printable(options.log.empty() ? project.GetProjectInfo()->GetBuildLogPath() : zor::FromUtf8(options.log))
        << ")\n";
    return kExitBadInput;
  }
  int files = 0;
  for (const CExtractFileList* group : project.GetFileGroups()) files += PackedFiles(group->GetTree().GetRoot());
  out << "Built " << options.output << " with " << files << " packed file" << (files == 1 ? "" : "s") << "\n";
  return kExitOk;
}

}  // namespace zorpack
