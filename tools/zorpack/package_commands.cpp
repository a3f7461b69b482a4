// The commands that read or write packages through the package engine.
#include "common/wstr.h"
#include "engine/build.h"
#include "engine/extract.h"
#include "model/install_project.h"
#include "platform/host.h"
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

// The first file node whose source cannot be opened, as "group: path".
std::string MissingSource(const CNode* node, const std::wstring& group, std::string* where) {
  if (!node) return std::string();
  if (auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData())) {
    // The builder packs leaves that are no predefined folder; an empty source
    // or a folder is passed over.
    const std::wstring& source = item->GetSourcePath();
    zor::Host& host = zor::CurrentHost();
    if (!node->HasChildren() && !item->GetPredefinedFlag() && !source.empty() && !host.DirectoryExists(source) &&
        !host.OpenFile(source, zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting)) {
      *where = zor::ToUtf8(group);
      return zor::ToUtf8(source);
    }
  }
  for (int i = 0; i < node->GetChildCount(); ++i) {
    std::string missing = MissingSource(node->GetChild(i), group, where);
    if (!missing.empty()) return missing;
  }
  return std::string();
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
  if (!options.engine.empty()) product->SetEnginePath(zor::FromUtf8(options.engine));
  zor::Host& host = zor::CurrentHost();
  if (product->GetEnginePath().empty()) {
    err << "zorpack: " << options.project << ": no engine executable; give product.engine or --engine FILE\n";
    return kExitBadInput;
  }
  if (!host.FileExists(product->GetEnginePath())) {
    err << "zorpack: the engine executable " << zor::ToUtf8(product->GetEnginePath()) << " does not exist\n";
    return kExitBadInput;
  }
  for (const CExtractFileList* group : project.GetFileGroups()) {
    std::string where;
    std::string missing = MissingSource(group->GetTree().GetRoot(), group->GetName(), &where);
    if (!missing.empty()) {
      err << "zorpack: " << options.project << ": file group \"" << where << "\": cannot read the source file "
          << missing << "\n";
      return kExitBadInput;
    }
  }

  zor::CMyBuild builder;
  builder.SetProject(&project);
  if (!options.log.empty()) {
    auto* log = new zor::CMyLogSystem;
    log->SetLogFile(zor::FromUtf8(options.log));
    builder.SetLog(log);
  }
  const std::wstring output = zor::FromUtf8(options.output);
  int32_t result = builder.Build(output, nullptr, nullptr);
  if (result != zor::kResultOk) {
    // A cut-off package would pass for a whole one until someone runs it.
    host.DeleteFile(output);
    err << "zorpack: building " << options.output << " failed: " << BuildFailure(result) << " (see the build log "
        << zor::ToUtf8(options.log.empty() ? project.GetProjectInfo()->GetBuildLogPath() : zor::FromUtf8(options.log))
        << ")\n";
    return kExitBadInput;
  }
  int files = 0;
  for (const CExtractFileList* group : project.GetFileGroups()) files += PackedFiles(group->GetTree().GetRoot());
  out << "Built " << options.output << " with " << files << " packed file" << (files == 1 ? "" : "s") << "\n";
  return kExitOk;
}

}  // namespace zorpack
