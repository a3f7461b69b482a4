#include "tools/zorpack/commands.h"

#include "common/wstr.h"
#include "model/archive.h"
#include "model/default_box.h"
#include "model/install_project.h"
#include "platform/host.h"
#include "tools/describe.h"
#include "tools/file_io.h"
#include "tools/project_json.h"

namespace zorpack {

int NewProject(const std::string& path, bool force, std::ostream& out, std::ostream& err) {
  CInstallProject project;
  FillProject(&project);
  std::string text = zor::ProjectToJsonText(project);
  std::string reason;
  if (!zor::WriteWholeFile(zor::FromUtf8(path), text, force, &reason)) {
    if (!force && zor::CurrentHost().FileExists(zor::FromUtf8(path)))
      err << "zorpack: " << path << " already exists; use --force to replace it\n";
    else
      err << "zorpack: " << path << ": " << reason << "\n";
    return kExitBadInput;
  }
  out << "Wrote the default project to " << path << "\n";
  return kExitOk;
}

void PrintProject(const CInstallProject& project, bool json, std::ostream& out) {
  if (json) {
    zor::ProjectJsonOptions options;
    options.allFields = true;
    options.buildOutputs = true;
    out << zor::ProjectToJsonText(project, options);
  } else {
    // The summary's accessors are not const; it changes nothing.
    zor::DescribeProject(out, const_cast<CInstallProject&>(project));
  }
}

int DescribeProject(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  CInstallProject project;
  std::string error;
  if (!zor::LoadProjectDescription(zor::FromUtf8(path), &project, &error)) {
    err << "zorpack: " << error << "\n";
    return kExitBadInput;
  }
  PrintProject(project, json, out);
  return kExitOk;
}

int WriteIndex(const std::string& path, const std::string& output, std::ostream& out, std::ostream& err) {
  CInstallProject project;
  std::string error;
  if (!zor::LoadProjectDescription(zor::FromUtf8(path), &project, &error)) {
    err << "zorpack: " << error << "\n";
    return kExitBadInput;
  }
  MemoryStream bytes;
  CArchive ar(&bytes, CArchive::store);
  project.Serialize(ar);
  ar.Close();
  const std::vector<uint8_t>& index = bytes.Bytes();
  if (!zor::WriteWholeFile(zor::FromUtf8(output), std::string(index.begin(), index.end()), true, &error)) {
    err << "zorpack: " << output << ": " << error << "\n";
    return kExitBadInput;
  }
  out << "Wrote a project index of " << index.size() << " bytes to " << output << "\n";
  return kExitOk;
}

}  // namespace zorpack
