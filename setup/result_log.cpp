#include "setup/result_log.h"

#include "platform/host.h"

namespace zor {

const char kDefaultResultLog[] = "C:\\Lumaglimpse.log";
const char kResultHeader[] = "[ResponseResult]";
const char kResultSilentSuccess[] = "ResultCode=0";
const char kResultDialogSuccess[] = "ResultCode = 0";
const char kResultPackageDamaged[] = "ResultCode = -1";

bool WriteResultLine(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  Host& host = CurrentHost();
  auto file = host.OpenFile(host.AnsiToWide(path), FileAccess::kReadWrite, kShareNone, FileCreate::kOpenAlways);
  if (!file) return false;
  if (file->Seek(0, SeekFrom::kEnd) < 0) return false;
  std::string line = text + "\r\n";
  return file->Write(line.data(), line.size()) == static_cast<int64_t>(line.size());
}

void WriteResult(const std::string& path, const char* codeLine) {
  WriteResultLine(path, kResultHeader);
  WriteResultLine(path, codeLine);
}

}  // namespace zor
