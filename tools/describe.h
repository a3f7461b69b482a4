// Human-readable descriptions of a project, for the tools.
#pragma once

#include <ostream>

class CInstallProject;
class CObTree;

namespace zor {

// Writes the project's information records, tables, components and every
// file group's tree, one line per node, indented by depth.
void DescribeProject(std::ostream& out, CInstallProject& project);

}  // namespace zor
