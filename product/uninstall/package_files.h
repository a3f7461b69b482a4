// The files the package installs, from product/package_files.txt.
#pragma once

namespace luma {

enum class PackagePlace { installFolder, systemFolder };

struct PackageFile {
  const wchar_t* path;  // relative to its place, '\\' between parts
  PackagePlace place;
  bool copiedToWindows;  // the setup also copies it to the Windows folder
};

inline constexpr PackageFile kPackageFiles[] = {
#include "package_files.inc"
};

}  // namespace luma
