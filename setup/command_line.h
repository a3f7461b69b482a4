// The setup's command-line switches. The text after the program name is
// searched as it is, case-sensitively, without splitting it into words:
// unattended installers have always called the program that way, so a
// switch is found wherever its characters appear.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zor {

// True when any of "\s", "/s", "\S", "/S", "-S" or "-s" occurs anywhere in
// the command line, including inside a "-f2" path (a folder named "\setup"
// selects silent mode).
bool HasSilentSwitch(std::wstring_view commandLine);

// Bytes of the result log path, its terminating zero included.
constexpr size_t kResultLogCapacity = 260;

enum class ResultLogSwitch {
  kAbsent,   // no "-f2": the path is unchanged
  kApplied,  // the path now holds the text after "-f2"
  kTooLong,  // the text does not fit: the path is unchanged
};

// "-f2": everything after its first occurrence up to the end of the command
// line, spaces and quotes included, converted to the ANSI code page, becomes
// the result log path. A text that does not fit in kResultLogCapacity bytes
// leaves the previous path, so the outcome still goes to a log the caller
// can find, instead of a cut-off name.
ResultLogSwitch ApplyResultLogSwitch(std::wstring_view commandLine, std::string* resultLogPath);

}  // namespace zor
