#include "engine/log_system.h"

#include "common/wstr.h"
#include "engine/log_window.h"
#include "engine/system_error.h"
#include "platform/host.h"

namespace zor {
namespace {

enum class ArgKind { kNumber, kText };

struct Spec {
  bool left = false, plus = false, space = false, zero = false;
  int width = -1, precision = -1;
};

std::wstring Pad(std::wstring body, const Spec& spec, bool numeric) {
  if (spec.width < 0 || static_cast<int>(body.size()) >= spec.width) return body;
  size_t fill = static_cast<size_t>(spec.width) - body.size();
  if (spec.left) return body + std::wstring(fill, L' ');
  if (numeric && spec.zero && spec.precision < 0) {
    // Zeros go after the sign.
    size_t at = (!body.empty() && (body[0] == L'-' || body[0] == L'+' || body[0] == L' ')) ? 1 : 0;
    return body.insert(at, std::wstring(fill, L'0'));
  }
  return std::wstring(fill, L' ') + body;
}

std::wstring FormatInt(wchar_t conv, int32_t value, const Spec& spec) {
  std::wstring digits;
  bool negative = false;
  if (conv == L'x' || conv == L'X') {
    digits = ToHex(static_cast<uint32_t>(value));
    if (conv == L'x') digits = AsciiLower(digits);
  } else if (conv == L'u') {
    digits = ToWString(static_cast<long long>(static_cast<uint32_t>(value)));
  } else {
    long long v = value;
    negative = v < 0;
    digits = ToWString(negative ? -v : v);
  }
  if (spec.precision >= 0 && static_cast<int>(digits.size()) < spec.precision)
    digits.insert(0, static_cast<size_t>(spec.precision) - digits.size(), L'0');
  if (spec.precision == 0 && value == 0) digits.clear();
  std::wstring sign = negative ? L"-" : (conv == L'd' || conv == L'i' || conv == L'D') && spec.plus ? L"+"
                                       : (conv == L'd' || conv == L'i' || conv == L'D') && spec.space ? L" "
                                                                                                    : L"";
  return Pad(sign + digits, spec, true);
}

std::wstring Substitute(const std::wstring& format, ArgKind kind, int32_t number, const std::wstring& text) {
  std::wstring out;
  bool used = false;
  size_t i = 0;
  while (i < format.size()) {
    wchar_t c = format[i];
    if (c != L'%') {
      out.push_back(c);
      ++i;
      continue;
    }
    size_t start = i++;
    if (i < format.size() && format[i] == L'%') {
      out.push_back(L'%');
      ++i;
      continue;
    }
    Spec spec;
    for (; i < format.size(); ++i) {
      wchar_t f = format[i];
      if (f == L'-') spec.left = true;
      else if (f == L'+') spec.plus = true;
      else if (f == L' ') spec.space = true;
      else if (f == L'0') spec.zero = true;
      else if (f == L'#') continue;
      else break;
    }
    auto number_at = [&](int* to) {
      int v = 0;
      bool any = false;
      while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
        if (v < 10000) v = v * 10 + (format[i] - L'0');
        any = true;
        ++i;
      }
      if (any) *to = v;
      return any;
    };
    number_at(&spec.width);
    if (i < format.size() && format[i] == L'.') {
      ++i;
      spec.precision = 0;
      number_at(&spec.precision);
    }
    while (i < format.size() && (format[i] == L'l' || format[i] == L'h' || format[i] == L'w')) ++i;
    if (i >= format.size()) {
      out.append(format, start, std::wstring::npos);
      break;
    }
    wchar_t conv = format[i++];
    bool isNumber = conv == L'd' || conv == L'i' || conv == L'u' || conv == L'D' || conv == L'x' || conv == L'X';
    bool isText = conv == L's' || conv == L'S';
    if (!used && isNumber && kind == ArgKind::kNumber) {
      out += FormatInt(conv, number, spec);
      used = true;
    } else if (!used && isText && kind == ArgKind::kText) {
      std::wstring t = spec.precision >= 0 && static_cast<size_t>(spec.precision) < text.size()
                           ? text.substr(0, static_cast<size_t>(spec.precision))
                           : text;
      out += Pad(t, spec, false);
      used = true;
    } else {
      out.append(format, start, i - start);
    }
  }
  return out;
}

}  // namespace

std::wstring FormatNumber(const std::wstring& format, int32_t value) {
  return Substitute(format, ArgKind::kNumber, value, std::wstring());
}

std::wstring FormatText(const std::wstring& format, const std::wstring& text) {
  return Substitute(format, ArgKind::kText, 0, text);
}

void CMyLogSystem::SendToWindow(const std::wstring& line) {
  if (line.empty() || !m_hWindow) return;
  SendLogText(m_hWindow, ToUtf16(line + L"\r\n"));
}

void CMyLogSystem::Write(const std::wstring& line) {
  SendToWindow(line);
  if (m_strLogFile.empty() || line.empty()) return;
  // Opened without sharing for the one line: a line is never interleaved
  // with another writer's.
  std::unique_ptr<File> file =
      CurrentHost().OpenFile(m_strLogFile, FileAccess::kReadWrite, kShareNone, FileCreate::kOpenAlways);
  if (!file || file->Seek(0, SeekFrom::kEnd) < 0) return;
  std::string bytes;
  AppendUtf16Le(bytes, line);
  AppendUtf16Le(bytes, L"\r\n");
  file->Write(bytes.data(), bytes.size());
}

void CMyLogSystem::WriteNumber(const std::wstring& format, int32_t value) {
  if (format.empty()) return;
  Write(FormatNumber(format, value));
}

void CMyLogSystem::WriteText(const std::wstring& format, const std::wstring& text) {
  if (format.empty() || text.empty()) return;
  Write(FormatText(format, text));
}

void CMyLogSystem::WriteFormat(const wchar_t*, ...) {}
void CMyLogSystem::WriteFormatLine(const wchar_t*, ...) {}

void CMyLogSystem::WriteLastError(const std::wstring& format) {
  Write(FormatText(format, SystemErrorText(LastSystemError())));
}

}  // namespace zor
