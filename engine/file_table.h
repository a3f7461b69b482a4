// CFileTableEntry and the package trailer: the file table, its count, the
// version "2.00" and the signature "@QUILLMAR&@" at the very end of a
// package.
//
// The trailer is found by reading backwards from the end of the file. Every
// position the reader computes from stored numbers is checked against the
// file before it is read, so a damaged or hostile file is refused as "not a
// package" instead of being read outside its bounds.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host.h"

namespace zor {

struct CFileTableEntry {
  std::wstring m_strFolder;      // source folder relative to the base folder (builder only)
  std::wstring m_strName;        // the entry's file name, as stored
  std::wstring m_strSourcePath;  // full path of the source (builder only)
  int32_t m_nExpandedSize = 0;
  int32_t m_nPackedSize = 0;
  int32_t m_nOffset = 0;
};

constexpr int kFileTableSlots = 20;
constexpr int kSignatureBytes = 22;
constexpr int kVersionBytes = 8;
// The backward search reads at most this many windows of this size.
constexpr int kSearchWindowBytes = 8000;
constexpr int kSearchWindows = 50;
// Longest name the reader accepts, in bytes; the builder never writes more
// than 259 characters.
constexpr int kMaxNameBytes = 8000;
constexpr int kMaxWrittenNameChars = 259;

extern const wchar_t kPackageVersion[];    // "2.00"
extern const wchar_t kPackageSignature[];  // "@QUILLMAR&@"

// The bytes that end a package: each entry (offset, expanded size, packed
// size, name, name bytes), the count, the version and the signature. False
// when `count` is outside 0..20 or a name is longer than the builder writes.
bool EncodeFileTable(const CFileTableEntry* entries, int count, std::string* out);

// What the trailer search found.
struct TrailerInfo {
  int64_t fileSize = 0;
  int64_t tail = 0;        // bytes after the signature
  int64_t countPos = 0;    // position of the count field
  int64_t tableStart = 0;  // first byte of the file table (after ReadFileTable)
  int32_t count = 0;
  // Set once the signature and the version are found: a 1001 after that
  // means a package trailer whose count or file table is bad, not a file
  // that is no package at all.
  bool trailerFound = false;
};

// Finds the signature, checks the version and reads the count. The
// signature is looked for in the last 50 windows of 8,000 bytes, nearest
// the end first (even offsets of a window before odd ones); one lying across
// the border of two windows is not found by this search. A package signed
// after the build is also found right in front of the signature block its
// engine's certificate-table entry points at. Returns 1002, 1001 (no
// signature, a bad version, a count outside 0..20, or a file too short for
// what the search needs) or 1004 (count 0).
int32_t FindTrailer(File& package, TrailerInfo* info);

// FindTrailer, then the `count` entries into `entries` (entry count - 1 is
// read first). Besides FindTrailer's codes, 1001 for a name length that is
// odd or above 8,000 bytes and for an entry whose stream would lie outside
// the bytes before the table. On failure no entry is changed.
int32_t ReadFileTable(File& package, CFileTableEntry (&entries)[kFileTableSlots], int32_t* count,
                      TrailerInfo* info = nullptr);

}  // namespace zor
