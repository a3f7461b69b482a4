#include "setup/command_line.h"

#include "platform/host.h"

namespace zor {

bool HasSilentSwitch(std::wstring_view commandLine) {
  static const wchar_t* const kSwitches[] = {L"\\s", L"/s", L"\\S", L"/S", L"-S", L"-s"};
  for (const wchar_t* s : kSwitches)
    if (commandLine.find(s) != std::wstring_view::npos) return true;
  return false;
}

ResultLogSwitch ApplyResultLogSwitch(std::wstring_view commandLine, std::string* resultLogPath) {
  static constexpr std::wstring_view kSwitch = L"-f2";
  size_t at = commandLine.find(kSwitch);
  if (at == std::wstring_view::npos) return ResultLogSwitch::kAbsent;
  std::string converted;
  if (!CurrentHost().WideToAnsi(commandLine.substr(at + kSwitch.size()), kResultLogCapacity, &converted))
    return ResultLogSwitch::kTooLong;
  *resultLogPath = std::move(converted);
  return ResultLogSwitch::kApplied;
}

}  // namespace zor
