// The result log: a narrow text file to which a run that installs, or that
// finds its package damaged, appends two lines for unattended callers.
#pragma once

#include <string>

namespace zor {

// Paths and lines are bytes in the ANSI code page.
extern const char kDefaultResultLog[];       // "C:\Lumaglimpse.log"
extern const char kResultHeader[];           // "[ResponseResult]"
extern const char kResultSilentSuccess[];    // "ResultCode=0"
extern const char kResultDialogSuccess[];    // "ResultCode = 0"
extern const char kResultPackageDamaged[];   // "ResultCode = -1"

// Appends `text` and CR LF to the file at `path`, creating it when absent.
// The file is opened without sharing for the one line, so two setups
// writing at once never mix their lines. False when the file cannot be
// opened or written; the caller has nothing better to do with that.
bool WriteResultLine(const std::string& path, const std::string& text);

// The header line followed by `codeLine`.
void WriteResult(const std::string& path, const char* codeLine);

}  // namespace zor
