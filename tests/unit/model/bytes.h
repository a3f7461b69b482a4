// Byte-vector helpers for archive tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/archive.h"

namespace zortest {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> v) {
  Bytes out;
  for (int b : v) out.push_back(static_cast<uint8_t>(b));
  return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The stored form of a wide string as the writer makes it.
inline Bytes Str(const std::wstring& s) {
  Bytes out;
  out.reserve(5 + 2 * s.size());
  out.push_back(0xFF);
  out.push_back(0xFE);
  out.push_back(0xFF);
  size_t n = s.size();
  if (n <= 254) {
    out.push_back(static_cast<uint8_t>(n));
  } else {
    out.push_back(0xFF);
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
  }
  for (wchar_t c : s) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

inline Bytes Int(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

inline Bytes Word(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }

// A new class record: FFFF, schema 0, name length, name.
inline Bytes ClassRecord(const std::string& name) {
  Bytes out = Cat({Word(0xFFFF), Word(0), Word(static_cast<uint16_t>(name.size()))});
  out.insert(out.end(), name.begin(), name.end());
  return out;
}

// Stores through `fn(CArchive&)` and returns the bytes.
template <class Fn>
Bytes Store(Fn fn) {
  MemoryStream ms;
  {
    CArchive ar(&ms, CArchive::store);
    fn(ar);
    ar.Close();
  }
  return ms.Bytes();
}

// Stores one record's Serialize directly (an embedded record: no tag).
template <class T>
Bytes StoreRecord(const T& rec) {
  return Store([&](CArchive& ar) { const_cast<T&>(rec).Serialize(ar); });
}

// Loads `bytes` through `fn(CArchive&)`; returns the cause of a failure or
// CArchiveException::none.
template <class Fn>
CArchiveException::Cause Load(const Bytes& bytes, Fn fn) {
  MemoryStream ms(bytes.data(), bytes.size());
  CArchive ar(&ms, CArchive::load);
  try {
    fn(ar);
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return CArchiveException::none;
}

}  // namespace zortest
