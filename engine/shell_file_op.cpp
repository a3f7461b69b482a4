#include "engine/shell_file_op.h"

#include <algorithm>
#include <mutex>

namespace zor {
namespace {
std::mutex g_handlerMutex;
ShellFileOpHandler& Handler() {
  static ShellFileOpHandler handler;
  return handler;
}
}  // namespace

ShellFileOpHandler SetShellFileOpHandler(ShellFileOpHandler handler) {
  std::lock_guard<std::mutex> lock(g_handlerMutex);
  ShellFileOpHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

CShellFileOp::CShellFileOp(WindowHandle owner, uint32_t operation, const std::wstring& from, const std::wstring& to,
                           uint16_t flags, const std::wstring& progressTitle) {
  m_record.owner = owner;
  AddFrom(from);
  AddTo(to);
  m_record.flags = flags;
  SetProgressTitle(progressTitle);
  m_nResult = Run(operation);
}

void CShellFileOp::Add(List& list, const std::wstring& path) {
  size_t needed = list.used + path.size() + 2;
  if (list.buffer.size() < needed) {
    // Grown to exactly what is needed; the write position keeps its
    // distance from the start, whatever the buffer's new address.
    list.buffer.resize(needed, L'\0');
  }
  std::copy(path.begin(), path.end(), list.buffer.begin() + static_cast<std::ptrdiff_t>(list.write));
  list.buffer[list.write + path.size()] = L'\0';
  list.write += path.size() + 1;
  list.used += path.size() + 1;
  list.buffer[list.write] = L'\0';
  Sync();
}

void CShellFileOp::Reserve(List& list, size_t chars) {
  if (list.buffer.size() < chars + 1) list.buffer.resize(chars + 1, L'\0');
  Sync();
}

void CShellFileOp::Clear(List& list) {
  std::vector<wchar_t>().swap(list.buffer);
  list.used = 0;
  list.write = 0;
  Sync();
}

void CShellFileOp::Sync() {
  m_record.from = m_from.buffer.empty() ? nullptr : m_from.buffer.data();
  m_record.to = m_to.buffer.empty() ? nullptr : m_to.buffer.data();
  m_record.progressTitle = m_strTitle.empty() ? nullptr : m_strTitle.c_str();
}

void CShellFileOp::SetProgressTitle(const std::wstring& title) {
  m_strTitle = title;
  Sync();
}

void CShellFileOp::SetProgressTitle(uint32_t id) { SetProgressTitle(PlatformResourceString(id)); }

int CShellFileOp::Run(uint32_t operation) {
  m_record.anyOperationsAborted = 0;
  m_record.operation = operation;
  Sync();
  ShellFileOpHandler handler;
  {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    handler = Handler();
  }
  return handler ? handler(m_record) : PlatformShellFileOp(m_record);
}

std::wstring CShellFileOp::Contents(const List& list) {
  if (list.buffer.empty()) return std::wstring();
  return std::wstring(list.buffer.data(), std::min(list.buffer.size(), list.used + 1));
}

}  // namespace zor
