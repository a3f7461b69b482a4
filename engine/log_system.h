// CAbstractLogSystem and CMyLogSystem: the engine's build log.
//
// Each line is appended to a UTF-16LE log file (no byte-order mark, CR LF
// after every line) and, when a window is attached, sent to that window.
// Logging never fails its caller: a file that cannot be opened or an absent
// window simply drops the line.
#pragma once

#include <cstdint>
#include <string>

#include "engine/result_codes.h"

namespace zor {

class CAbstractLogSystem {
 public:
  virtual ~CAbstractLogSystem() = default;
  virtual void SetLogFile(const std::wstring& path) = 0;
  virtual std::wstring GetLogFile() = 0;
  virtual void Write(const std::wstring& line) = 0;
  // `format` with `value` in place of its integer placeholder.
  virtual void WriteNumber(const std::wstring& format, int32_t value) = 0;
  // `format` with `text` in place of its string placeholder; nothing when
  // either is empty.
  virtual void WriteText(const std::wstring& format, const std::wstring& text) = 0;
  // Reserved variadic forms: they have never written anything and callers
  // use WriteNumber and WriteText instead.
  virtual void WriteFormat(const wchar_t* format, ...) = 0;
  virtual void WriteFormatLine(const wchar_t* format, ...) = 0;
  // `format` with the system's text for the last error the engine saw.
  virtual void WriteLastError(const std::wstring& format) = 0;
  virtual void SetWindow(WindowHandle window) = 0;
  virtual WindowHandle GetWindow() = 0;
  virtual void SendToWindow(const std::wstring& line) = 0;
};

class CMyLogSystem : public CAbstractLogSystem {
 public:
  void SetLogFile(const std::wstring& path) override { m_strLogFile = path; }
  std::wstring GetLogFile() override { return m_strLogFile; }
  void Write(const std::wstring& line) override;
  void WriteNumber(const std::wstring& format, int32_t value) override;
  void WriteText(const std::wstring& format, const std::wstring& text) override;
  void WriteFormat(const wchar_t* format, ...) override;
  void WriteFormatLine(const wchar_t* format, ...) override;
  void WriteLastError(const std::wstring& format) override;
  void SetWindow(WindowHandle window) override { m_hWindow = window; }
  WindowHandle GetWindow() override { return m_hWindow; }
  void SendToWindow(const std::wstring& line) override;

 private:
  std::wstring m_strLogFile;
  WindowHandle m_hWindow = 0;
};

// printf-style substitution of one argument, the same on every system (the C
// library's wide formatting disagrees between Windows and Linux about %s).
// Understood: %% and, with optional flags, width and precision, d i u D
// (numbers; D is read as d) and x X; s S ls (text). Anything else is copied
// as it stands.
std::wstring FormatNumber(const std::wstring& format, int32_t value);
std::wstring FormatText(const std::wstring& format, const std::wstring& text);

}  // namespace zor
