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

// A package signed after the build carries the signature block behind its
// trailer: the engine's certificate-table entry points at it, it ends the
// file, and the signing tool put at most 7 zero bytes of alignment in front
// of it. When the window search misses such a trailer (its signature lies
// across a window border), it is found right in front of that block.
bool FindBeforeCertificateTable(File& package, int64_t fileSize, const std::string& sig, int64_t* tail) {
  uint8_t dos[64];
  if (fileSize < 64 || !ReadAt(package, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  int64_t pe = static_cast<uint32_t>(GetInt(dos + 0x3C));
  // Signature, file header (20 bytes), then the optional header up to and
  // including the certificate-table entry of either layout.
  uint8_t head[4 + 20 + 112 + 8 * 5];
  if (pe + static_cast<int64_t>(sizeof head) > fileSize || !ReadAt(package, pe, head, sizeof head) ||
      std::memcmp(head, "PE\0\0", 4) != 0)
    return false;
  const uint8_t* opt = head + 24;
  int magic = opt[0] | opt[1] << 8;
  int dirs = magic == 0x10B ? 96 : magic == 0x20B ? 112 : -1;
  if (dirs < 0 || GetInt(opt + dirs - 4) <= 4) return false;  // fewer than five directories
  int64_t table = static_cast<uint32_t>(GetInt(opt + dirs + 8 * 4));
  int64_t size = static_cast<uint32_t>(GetInt(opt + dirs + 8 * 4 + 4));
  if (size == 0 || table + size != fileSize) return false;
  constexpr int kMaxPadding = 7;
  for (int pad = 0; pad <= kMaxPadding; ++pad) {
    int64_t at = table - pad - kSignatureBytes;
    if (at < 0) break;
    uint8_t bytes[kSignatureBytes + kMaxPadding];
    if (!ReadAt(package, at, bytes, static_cast<size_t>(kSignatureBytes + pad))) return false;
    bool zeros = true;
    for (int i = 0; i < pad; ++i) zeros = zeros && bytes[kSignatureBytes + i] == 0;
    if (zeros && std::memcmp(bytes, sig.data(), kSignatureBytes) == 0) {
      *tail = fileSize - at - kSignatureBytes;
      return true;
    }
  }
  return false;
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
    }
    if (!found) found = FindBeforeCertificateTable(package, t.fileSize, sig, &t.tail);
    if (!found) return kResultNotPackage;
  }

  int64_t versionPos = t.fileSize - t.tail - kSignatureBytes - kVersionBytes;
  uint8_t ver[kVersionBytes];
  if (versionPos < 0 || !ReadAt(package, versionPos, ver, sizeof ver) ||
      std::memcmp(ver, version.data(), kVersionBytes) != 0)
    return kResultNotPackage;

  t.trailerFound = true;
  t.countPos = versionPos - 4;
  uint8_t count[4];
  if (t.countPos < 0 || !ReadAt(package, t.countPos, count, sizeof count)) {
    if (info) *info = t;
    return kResultNotPackage;
  }
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
