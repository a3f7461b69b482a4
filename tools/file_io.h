// Whole-file reading and writing through the current host, with messages
// fit for a release engineer.
#pragma once

#include <string>

namespace zor {

// Why a host file operation failed, in words ("no such file" ...).
std::string HostErrorText(long error);

// False with `error` set to the reason (without the file's name).
bool ReadWholeFile(const std::wstring& path, std::string* bytes, std::string* error);
// Creates or, with `replace`, overwrites the file. Without `replace` an
// existing file is left alone and reported as "already exists".
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, bool replace, std::string* error);

}  // namespace zor
