#include "engine/file_table.h"

#include <array>
#include <cstring>
#include <vector>

#include "common/wstr.h"
#include "engine/result_codes.h"

namespace zor {

const wchar_t kPackageVersion[] = L"2.00";
const wchar_t kPackageSignature[] = L"@QUILLMAR&@";

namespace {

void PutInt(std::string& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

int32_t GetInt(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

std::string Utf16Bytes(const wchar_t* text) {
  std::string out;
  AppendUtf16Le(out, text);
  return out;
}

// Reads exactly `size` bytes at `pos`; false on any shortfall.
bool ReadAt(File& file, int64_t pos, void* buffer, size_t size) {
  if (pos < 0 || file.Seek(pos, SeekFrom::kBegin) != pos) return false;
  auto* p = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < size) {
    int64_t n = file.Read(p + done, size - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Offset of the signature in `window`, even offsets first, or -1.
int FindInWindow(const uint8_t* window, const std::string& sig) {
  for (int parity = 0; parity < 2; ++parity)
    for (int h = parity; h + kSignatureBytes <= kSearchWindowBytes; h += 2)
      if (std::memcmp(window + h, sig.data(), kSignatureBytes) == 0) return h;
  return -1;
}

}  // namespace

bool EncodeFileTable(const CFileTableEntry* entries, int count, std::string* out) {
  if (count < 0 || count > kFileTableSlots || (count > 0 && !entries)) return false;
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    const CFileTableEntry& e = entries[i];
    std::u16string name = ToUtf16(e.m_strName);
    if (name.size() > static_cast<size_t>(kMaxWrittenNameChars)) return false;
    PutInt(bytes, e.m_nOffset);
    PutInt(bytes, e.m_nExpandedSize);
    PutInt(bytes, e.m_nPackedSize);
    AppendUtf16Le(bytes, e.m_strName);
    PutInt(bytes, static_cast<int32_t>(name.size() * 2));
  }
  PutInt(bytes, count);
  AppendUtf16Le(bytes, kPackageVersion);
  AppendUtf16Le(bytes, kPackageSignature);
  *out = std::move(bytes);
  return true;
}

int32_t FindTrailer(File& package, TrailerInfo* info) {
  static const std::string sig = Utf16Bytes(kPackageSignature);
  static const std::string version = Utf16Bytes(kPackageVersion);
  TrailerInfo t;
  t.fileSize = package.Size();
  if (t.fileSize < kSignatureBytes) return kResultNotPackage;

  uint8_t last[kSignatureBytes];
  if (!ReadAt(package, t.fileSize - kSignatureBytes, last, sizeof last)) return kResultNotPackage;
  if (std::memcmp(last, sig.data(), kSignatureBytes) == 0) {
    t.tail = 0;
  } else {
    // Windows never reach before the first byte: a file shorter than the
    // next window has no more places to look.
    std::vector<uint8_t> window(kSearchWindowBytes);
    // The first and last kSignatureBytes - 1 bytes of every window read, for
    // signatures lying across a border between two of them.
    constexpr int kEdge = kSignatureBytes - 1;
    std::vector<std::array<uint8_t, 2 * kEdge>> edges;
    bool found = false;
    for (int k = 1; k <= kSearchWindows && !found; ++k) {
      int64_t start = t.fileSize - int64_t{kSearchWindowBytes} * k;
      if (start < 0) break;
      if (!ReadAt(package, start, window.data(), window.size())) return kResultNotPackage;
      int h = FindInWindow(window.data(), sig);
      if (h >= 0) {
        t.tail = int64_t{kSearchWindowBytes} * k - h - kSignatureBytes;
        found = true;
      }
      std::array<uint8_t, 2 * kEdge> e;
      std::memcpy(e.data(), window.data(), kEdge);
      std::memcpy(e.data() + kEdge, window.data() + kSearchWindowBytes - kEdge, kEdge);
      edges.push_back(e);
    }
    // A signature across a window border is only looked for once no window
    // holds a whole one, so every package found before is found the same
    // way. Without this a signed package whose signature block happens to
    // end 7,979 to 7,999 bytes (modulo 8,000) after the trailer could not
    // be opened at all.
    for (size_t k = 1; k < edges.size() && !found; ++k) {
      // The end of window k + 1 followed by the start of window k.
      uint8_t border[2 * kEdge];
      std::memcpy(border, edges[k].data() + kEdge, kEdge);
      std::memcpy(border + kEdge, edges[k - 1].data(), kEdge);
      for (int parity = 0; parity < 2 && !found; ++parity)
        for (int j = 0; j < kEdge && !found; ++j) {
          int h = kSearchWindowBytes - kEdge + j;  // offset in window k + 1
          if (h % 2 != parity || std::memcmp(border + j, sig.data(), kSignatureBytes) != 0) continue;
          t.tail = int64_t{kSearchWindowBytes} * static_cast<int64_t>(k + 1) - h - kSignatureBytes;
          found = true;
        }
    }
    if (!found) return kResultNotPackage;
  }

  int64_t versionPos = t.fileSize - t.tail - kSignatureBytes - kVersionBytes;
  uint8_t ver[kVersionBytes];
  if (versionPos < 0 || !ReadAt(package, versionPos, ver, sizeof ver) ||
      std::memcmp(ver, version.data(), kVersionBytes) != 0)
    return kResultNotPackage;

  t.countPos = versionPos - 4;
  uint8_t count[4];
  if (t.countPos < 0 || !ReadAt(package, t.countPos, count, sizeof count)) return kResultNotPackage;
  t.count = GetInt(count);
  t.tableStart = t.countPos;
  if (info) *info = t;
  if (t.count == 0) return kResultEmptyPackage;
  if (t.count < 0 || t.count > kFileTableSlots) return kResultNotPackage;
  return kResultOk;
}

int32_t ReadFileTable(File& package, CFileTableEntry (&entries)[kFileTableSlots], int32_t* count,
                      TrailerInfo* info) {
  TrailerInfo t;
  int32_t r = FindTrailer(package, &t);
  if (info) *info = t;
  if (r != kResultOk) return r;

  CFileTableEntry read[kFileTableSlots];
  int64_t pos = t.countPos;
  std::vector<uint8_t> field;
  for (int i = t.count - 1; i >= 0; --i) {
    uint8_t lenBytes[4];
    if (pos < 4 || !ReadAt(package, pos - 4, lenBytes, 4)) return kResultNotPackage;
    pos -= 4;
    int32_t nameBytes = GetInt(lenBytes);
    if (nameBytes < 0 || nameBytes > kMaxNameBytes || nameBytes % 2 != 0) return kResultNotPackage;
    int64_t need = int64_t{nameBytes} + 12;
    if (pos < need) return kResultNotPackage;
    field.resize(static_cast<size_t>(need));
    if (!ReadAt(package, pos - need, field.data(), field.size())) return kResultNotPackage;
    pos -= need;
    CFileTableEntry& e = read[i];
    e.m_nOffset = GetInt(field.data());
    e.m_nExpandedSize = GetInt(field.data() + 4);
    e.m_nPackedSize = GetInt(field.data() + 8);
    e.m_strName = FromUtf16Le(field.data() + 12, static_cast<size_t>(nameBytes / 2));
  }
  t.tableStart = pos;
  // Every stream lies in front of the table.
  for (int i = 0; i < t.count; ++i) {
    const CFileTableEntry& e = read[i];
    if (e.m_nOffset < 0 || e.m_nPackedSize < 0 || e.m_nExpandedSize < 0 ||
        int64_t{e.m_nOffset} + e.m_nPackedSize > t.tableStart)
      return kResultNotPackage;
  }
  for (int i = 0; i < t.count; ++i) entries[i] = std::move(read[i]);
  *count = t.count;
  if (info) *info = t;
  return kResultOk;
}

}  // namespace zor
