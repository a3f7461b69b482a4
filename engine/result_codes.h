// Result codes of the package engine and the progress callback.
//
// The numbers are part of the engine's contract with its callers (the setup
// application stores them in its result log), so they never change.
#pragma once

#include <cstdint>

namespace zor {

enum EngineResult : int32_t {
  kResultCannotOpen = 1000,      // the package (or output) file cannot be opened
  kResultNotPackage = 1001,      // no signature in the searched area, or a bad trailer
  kResultOk = 1002,              // success; between steps: go on
  kResultEmptyPackage = 1004,    // the file table holds no entry
  kResultCannotCreate = 1005,    // a target, temporary or output file failed
  kResultSourceFailed = 1006,    // a source file cannot be read and is no folder
  kResultNoProject = 1008,       // no project, no engine path, or no engine file
  kResultIndexFailed = 1009,     // the temporary index file failed
  kResultNoGroup = 1010,         // no file group has the requested name
  kResultNoDestination = 1011,   // the destination is empty
};

// Codes passed to a ProgressCallback.
enum ProgressCode : int32_t {
  kProgressFileBegin = 1000,  // a file is about to be processed
  kProgressFileEnd = 1001,    // a file is complete
  kProgressFileStep = 1002,   // one more chunk of the current file is done
};

// Called on the caller's thread between chunks. What `data` points at depends
// on the code and on the operation (see CMyExtract and CMyBuild); it is valid
// only during the call.
typedef void (*ProgressCallback)(int32_t code, void* data, void* userData);

// A window as the operating system knows it (an HWND on Windows), carried as
// a number so portable code never sees the Windows headers.
using WindowHandle = uintptr_t;

}  // namespace zor
