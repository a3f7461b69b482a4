// CShellFileOp: one shell file operation (move, copy, delete or rename) on
// lists of paths, with the shell's own progress window and confirmations.
//
// A list is a sequence of zero-terminated paths ended by one more zero, as
// the shell requires; the object keeps both lists properly ended after every
// addition. The operation itself runs through the platform: the shell's
// file operation on Windows; elsewhere there is no shell and it fails,
// unless a program (or a test) installs a handler.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/result_codes.h"

namespace zor {

// The shell's operation codes.
enum ShellFileOpCode : uint32_t { kShellMove = 1, kShellCopy = 2, kShellDelete = 3, kShellRename = 4 };

// The shell's file-operation record as the object fills it.
struct ShellFileOpRecord {
  WindowHandle owner = 0;
  uint32_t operation = 0;
  const wchar_t* from = nullptr;  // null while the list is empty
  const wchar_t* to = nullptr;
  uint16_t flags = 0;
  int32_t anyOperationsAborted = 0;
  void* nameMappings = nullptr;
  const wchar_t* progressTitle = nullptr;
};

// Runs `record` and returns the shell's result (0 for success); may set
// `anyOperationsAborted`.
using ShellFileOpHandler = std::function<int(ShellFileOpRecord& record)>;
// Installs `handler` (empty: the platform's shell) and returns the previous.
ShellFileOpHandler SetShellFileOpHandler(ShellFileOpHandler handler);

class CShellFileOp {
 public:
  CShellFileOp() = default;
  // Fills the record and runs `operation` (1 move, 2 copy, 3 delete, 4
  // rename) at once; Result() tells how it went.
  CShellFileOp(WindowHandle owner, uint32_t operation, const std::wstring& from, const std::wstring& to,
               uint16_t flags, const std::wstring& progressTitle);
  virtual ~CShellFileOp() = default;
  CShellFileOp(const CShellFileOp&) = delete;
  CShellFileOp& operator=(const CShellFileOp&) = delete;

  // Each returns the shell's result, 0 for success.
  int Move() { return Run(kShellMove); }
  int Copy() { return Run(kShellCopy); }
  int Delete() { return Run(kShellDelete); }
  int Rename() { return Run(kShellRename); }

  void AddFrom(const std::wstring& path) { Add(m_from, path); }
  void AddTo(const std::wstring& path) { Add(m_to, path); }
  // Makes room for `chars` characters (plus the list's final zero).
  void ReserveFrom(size_t chars) { Reserve(m_from, chars); }
  void ReserveTo(size_t chars) { Reserve(m_to, chars); }
  void ClearFrom() { Clear(m_from); }
  void ClearTo() { Clear(m_to); }

  // An empty text clears the title.
  void SetProgressTitle(const std::wstring& title);
  // The title from string `id` of the program's resources.
  void SetProgressTitle(uint32_t id);
  void SetOwner(WindowHandle owner) { m_record.owner = owner; }
  uint16_t GetFlags() const { return m_record.flags; }
  void SetFlags(uint16_t flags) { m_record.flags = flags; }
  bool AnyOperationsAborted() const { return m_record.anyOperationsAborted != 0; }
  int Result() const { return m_nResult; }

  // The lists as the shell receives them, final zeros included.
  std::wstring FromList() const { return Contents(m_from); }
  std::wstring ToList() const { return Contents(m_to); }
  size_t FromCapacity() const { return m_from.buffer.size(); }
  const ShellFileOpRecord& Record() const { return m_record; }

 private:
  struct List {
    std::vector<wchar_t> buffer;  // capacity = size
    size_t used = 0;              // characters in use, the final zero not counted
    size_t write = 0;             // where the next path goes
  };
  void Add(List& list, const std::wstring& path);
  void Reserve(List& list, size_t chars);
  void Clear(List& list);
  void Sync();
  int Run(uint32_t operation);
  static std::wstring Contents(const List& list);

  List m_from;
  List m_to;
  ShellFileOpRecord m_record;
  std::wstring m_strTitle;
  int m_nResult = 0;
};

// Implemented per platform.
int PlatformShellFileOp(ShellFileOpRecord& record);
std::wstring PlatformResourceString(uint32_t id);

}  // namespace zor
