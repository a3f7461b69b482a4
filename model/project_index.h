// A project as a project index: the archive bytes of its Serialize.
#pragma once

#include <cstdint>
#include <vector>

#include "model/archive.h"

class CInstallProject;

std::vector<uint8_t> StoreProjectIndex(CInstallProject& project);

// Loads `size` bytes into `project` (which should be empty). On a damaged
// index, returns the archive's cause; what was read stays in the project.
CArchiveException::Cause LoadProjectIndex(const uint8_t* data, size_t size, CInstallProject& project);
