// Project descriptions: a whole CInstallProject as a readable JSON document,
// and back. The schema is described in docs/project-description.md.
//
// Converting a project to JSON and back stores to the same project index,
// byte for byte. Offsets and packed sizes of file entries are outputs of the
// package builder: they may be written, and are ignored when read.
#pragma once

#include <string>
#include <string_view>

#include "tools/json_input.h"

class CInstallProject;

namespace zor {

struct ProjectJsonOptions {
  // Write every member, also those at their record defaults. Without it,
  // members at their defaults are left out, which reads better and means the
  // same.
  bool allFields = false;
  // Write the offset and packed size of file entries that have them.
  bool buildOutputs = false;
};

// The project as a description. Throws std::logic_error only for a record of
// a class the description has no form for, which the class registry makes
// impossible for loaded projects.
Json ProjectToJson(const CInstallProject& project, const ProjectJsonOptions& options = {});
// The same as indented UTF-8 text ending in a line break.
std::string ProjectToJsonText(const CInstallProject& project, const ProjectJsonOptions& options = {});

// Fills an empty `out` from a description. Relative paths on the building
// machine (sources, "fromFolder", the engine and build log) are taken
// relative to `baseFolder`; an empty base leaves them as written. Folders
// named by "fromFolder" are read through the current host. Throws
// DescriptionError naming the JSON path of the first fault; `out` is then
// left empty.
void ProjectFromJson(const Json& description, const std::wstring& baseFolder, CInstallProject* out);
void ProjectFromJsonText(std::string_view text, const std::wstring& baseFolder, CInstallProject* out);

// Reads the description file at `path` through the current host, with paths
// relative to the file's folder, which is taken as a full path first (a
// relative `path` against the working folder): the sources, engine and
// build log are stored as full paths, the same from any working folder. On failure returns false and sets `error`
// to a message that starts with the file's name.
bool LoadProjectDescription(const std::wstring& path, CInstallProject* out, std::string* error);

}  // namespace zor
