#include "model/archive.h"

#include <cstring>

#include "common/wstr.h"
#include "platform/host.h"

namespace {
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigIndexTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr size_t kMaxClassName = 64;
}  // namespace

const char* CArchiveException::CauseName(Cause cause) {
  static const char* const kNames[] = {"none",     "generic",  "readOnly", "endOfFile",
                                       "writeOnly", "badIndex", "badClass", "badSchema"};
  return cause >= none && cause <= badSchema ? kNames[cause] : "unknown";
}

const char* CArchiveException::what() const noexcept { return CauseName(m_cause); }

CArchive::CArchive(ByteStream* stream, Mode mode) : m_mode(mode), m_stream(stream) {
  if (mode == load) m_loaded.push_back({nullptr});  // index 0 is the null reference
}

CArchive::~CArchive() {
  if (IsStoring() && m_bufPos) m_stream->Write(m_buffer, m_bufPos);
}

void CArchive::CheckStoring() {
  if (!IsStoring()) throw CArchiveException(CArchiveException::readOnly);
}

void CArchive::CheckLoading() {
  if (!IsLoading()) throw CArchiveException(CArchiveException::writeOnly);
}

void CArchive::Flush() {
  if (!IsStoring() || !m_bufPos) return;
  bool ok = m_stream->Write(m_buffer, m_bufPos);
  m_bufPos = 0;
  if (!ok) throw CArchiveException(CArchiveException::generic);
}

void CArchive::Close() { Flush(); }

void CArchive::Write(const void* data, size_t size) {
  CheckStoring();
  const auto* p = static_cast<const uint8_t*>(data);
  while (size) {
    if (m_bufPos == sizeof m_buffer) Flush();
    size_t n = size < sizeof m_buffer - m_bufPos ? size : sizeof m_buffer - m_bufPos;
    std::memcpy(m_buffer + m_bufPos, p, n);
    m_bufPos += n;
    p += n;
    size -= n;
  }
}

uint64_t CArchive::Remaining() const { return (m_bufLen - m_bufPos) + m_stream->Remaining(); }

void CArchive::Require(uint64_t bytes) {
  if (IsLoading() && bytes > Remaining()) throw CArchiveException(CArchiveException::endOfFile);
}

void CArchive::Fill(void* data, size_t size) {
  auto* p = static_cast<uint8_t*>(data);
  while (size) {
    if (m_bufPos == m_bufLen) {
      int64_t n = m_stream->Read(m_buffer, sizeof m_buffer);
      if (n <= 0) throw CArchiveException(CArchiveException::endOfFile);
      m_bufPos = 0;
      m_bufLen = static_cast<size_t>(n);
    }
    size_t n = size < m_bufLen - m_bufPos ? size : m_bufLen - m_bufPos;
    std::memcpy(p, m_buffer + m_bufPos, n);
    m_bufPos += n;
    p += n;
    size -= n;
  }
}

void CArchive::Read(void* data, size_t size) {
  CheckLoading();
  Fill(data, size);
}

void CArchive::WriteByte(uint8_t v) { Write(&v, 1); }

void CArchive::WriteWord(uint16_t v) {
  uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  Write(b, 2);
}

void CArchive::WriteDword(uint32_t v) {
  uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 24)};
  Write(b, 4);
}

uint8_t CArchive::ReadByte() {
  uint8_t b;
  Read(&b, 1);
  return b;
}

uint16_t CArchive::ReadWord() {
  uint8_t b[2];
  Read(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadDword() {
  uint8_t b[4];
  Read(b, 4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

void CArchive::WriteString(const std::wstring& s) {
  std::u16string units = zor::ToUtf16(s);
  uint64_t len = units.size();
  WriteByte(0xFF);
  WriteWord(0xFFFE);
  if (len <= 254) {
    WriteByte(static_cast<uint8_t>(len));
  } else if (len <= 0xFFFD) {
    WriteByte(0xFF);
    WriteWord(static_cast<uint16_t>(len));
  } else {
    WriteByte(0xFF);
    WriteWord(0xFFFF);
    if (len < 0xFFFFFFFFu) {
      WriteDword(static_cast<uint32_t>(len));
    } else {
      WriteDword(0xFFFFFFFFu);
      WriteDword(static_cast<uint32_t>(len));
      WriteDword(static_cast<uint32_t>(len >> 32));
    }
  }
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  Write(bytes.data(), bytes.size());
}

void CArchive::ReadString(std::wstring& s) {
  CheckLoading();
  bool wide = false;
  uint64_t len = ReadByte();
  if (len == 0xFF) {
    uint16_t w = ReadWord();
    if (w == 0xFFFE) {
      wide = true;
      len = ReadByte();
      if (len == 0xFF) w = ReadWord();
      else w = 0;  // length already known
    }
    if (len == 0xFF) {
      if (w < 0xFFFF) {
        len = w;
      } else {
        uint32_t d = ReadDword();
        if (d < 0xFFFFFFFFu) {
          len = d;
        } else {
          uint64_t lo = ReadDword();
          uint64_t hi = ReadDword();
          len = lo | (hi << 32);
          if (len >= (uint64_t{1} << 31)) throw CArchiveException(CArchiveException::generic);
        }
      }
    }
  }
  uint64_t bytes = wide ? len * 2 : len;
  Require(bytes);
  // Decoded piece by piece into the one string that is kept, so a long
  // string is never held in its stored form as well.
  std::wstring out;
  out.reserve(static_cast<size_t>(len));
  uint8_t chunk[4096];
  if (wide) {
    uint32_t high = 0;  // a high surrogate waiting for its partner
    for (uint64_t left = len; left > 0;) {
      size_t units = static_cast<size_t>(left < sizeof chunk / 2 ? left : sizeof chunk / 2);
      Read(chunk, units * 2);
      left -= units;
      for (size_t i = 0; i < units; ++i) {
        uint32_t c = static_cast<uint32_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8));
        if (sizeof(wchar_t) > 2) {
          // As FromUtf16: a well-formed pair becomes one character, a lone
          // surrogate stays as it is.
          if (high && c >= 0xDC00 && c <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (c - 0xDC00)));
            high = 0;
            continue;
          }
          if (high) out.push_back(static_cast<wchar_t>(high));
          high = 0;
          if (c >= 0xD800 && c <= 0xDBFF) {
            high = c;
            continue;
          }
        }
        out.push_back(static_cast<wchar_t>(c));
      }
    }
    if (high) out.push_back(static_cast<wchar_t>(high));
  } else {
    // A code page's characters take one or two bytes, and no byte below
    // 0x40 is ever part of a two-byte one, so a piece may end after such a
    // byte. Without one, the piece grows until one comes (or the string
    // ends).
    zor::Host& host = zor::CurrentHost();
    std::string pending;
    for (uint64_t left = len; left > 0;) {
      size_t n = static_cast<size_t>(left < sizeof chunk ? left : sizeof chunk);
      Read(chunk, n);
      left -= n;
      pending.append(reinterpret_cast<const char*>(chunk), n);
      size_t cut = pending.size();
      if (left > 0) {
        while (cut > 0 && static_cast<uint8_t>(pending[cut - 1]) >= 0x40) --cut;
        if (cut == 0) continue;
      }
      out += host.AnsiToWide(std::string_view(pending.data(), cut));
      pending.erase(0, cut);
    }
  }
  s = std::move(out);
}

void CArchive::WriteCount(uint32_t n) {
  if (n <= 0xFFFE) {
    WriteWord(static_cast<uint16_t>(n));
  } else {
    WriteWord(0xFFFF);
    WriteDword(n);
  }
}

uint32_t CArchive::ReadCount() {
  uint16_t w = ReadWord();
  return w == 0xFFFF ? ReadDword() : w;
}

uint32_t CArchive::NextIndex() {
  if (m_nextIndex > kMaxIndex) throw CArchiveException(CArchiveException::badIndex);
  return m_nextIndex++;
}

void CArchive::WriteClass(const CRuntimeClass* cls) {
  CheckStoring();
  auto it = m_written.find(cls);
  if (it != m_written.end()) {
    uint32_t i = it->second;
    if (i < kBigIndexTag) {
      WriteWord(static_cast<uint16_t>(kClassTag | i));
    } else {
      WriteWord(kBigIndexTag);
      WriteDword(kBigClassTag | i);
    }
    return;
  }
  size_t n = std::strlen(cls->m_lpszClassName);
  WriteWord(kNewClassTag);
  WriteWord(cls->m_wSchema);
  WriteWord(static_cast<uint16_t>(n));
  Write(cls->m_lpszClassName, n);
  m_written[cls] = NextIndex();
}

void CArchive::WriteObject(const CObject* obj) {
  CheckStoring();
  if (!obj) {
    WriteWord(0);
    return;
  }
  auto it = m_written.find(obj);
  if (it != m_written.end()) {
    uint32_t i = it->second;
    if (i <= 0x7FFE) {
      WriteWord(static_cast<uint16_t>(i));
    } else {
      WriteWord(kBigIndexTag);
      WriteDword(i);
    }
    return;
  }
  WriteClass(obj->GetRuntimeClass());
  m_written[obj] = NextIndex();
  const_cast<CObject*>(obj)->Serialize(*this);
}

// Reads the tag of a reference: WORD w, and for w = 0x7FFF the DWORD that
// follows. Returns the tag with a class mark in bit 31.
uint32_t CArchive::ReadTag(uint16_t* word) {
  uint16_t w = ReadWord();
  *word = w;
  if (w == kNewClassTag) return kBigClassTag;
  if (w == kBigIndexTag) return ReadDword();
  return (w & kClassTag) ? (kBigClassTag | (w & 0x7FFF)) : w;
}

const CRuntimeClass* CArchive::ResolveClass(uint16_t word, uint32_t tag) {
  if (!(tag & kBigClassTag)) throw CArchiveException(CArchiveException::badIndex);  // an object stands here
  if (word != kNewClassTag) {
    uint32_t i = tag & ~kBigClassTag;
    if (i == 0 || i >= m_loaded.size() || !m_loaded[i].cls) throw CArchiveException(CArchiveException::badIndex);
    return m_loaded[i].cls;
  }
  uint16_t schema = ReadWord();
  uint16_t n = ReadWord();
  if (n >= kMaxClassName) throw CArchiveException(CArchiveException::badClass);
  char name[kMaxClassName];
  Read(name, n);
  const CRuntimeClass* cls = CRuntimeClass::FromName(std::string_view(name, n));
  if (!cls) throw CArchiveException(CArchiveException::badClass);
  if (schema != cls->m_wSchema) throw CArchiveException(CArchiveException::badSchema);
  NextIndex();
  m_loaded.push_back({cls});
  return cls;
}

const CRuntimeClass* CArchive::ReadClass() {
  CheckLoading();
  uint16_t w;
  uint32_t t = ReadTag(&w);
  return ResolveClass(w, t);
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected) {
  CheckLoading();
  uint16_t w;
  uint32_t t = ReadTag(&w);
  if (!(t & kBigClassTag)) {
    if (t == 0) return nullptr;
    // The writer never refers to an object twice, since no record has two
    // owners. Handing out one object twice would make two owners, so such an
    // archive is refused, whatever the index names.
    throw CArchiveException(CArchiveException::badIndex);
  }
  const CRuntimeClass* cls = ResolveClass(w, t);
  // Records hold their children in lists of one class; a record of another
  // class there would be taken for something it is not.
  if (expected && !cls->IsDerivedFrom(expected)) throw CArchiveException(CArchiveException::badClass);
  std::unique_ptr<CObject> obj(cls->CreateObject());
  if (!obj) throw CArchiveException(CArchiveException::badClass);
  NextIndex();
  m_loaded.push_back({nullptr});
  if (m_depth >= kMaxObjectDepth) throw CArchiveException(CArchiveException::generic);
  ++m_depth;
  try {
    obj->Serialize(*this);
  } catch (...) {
    --m_depth;
    throw;
  }
  --m_depth;
  return obj.release();
}
