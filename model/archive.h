// The archive: the byte encoding every project record is stored in.
//
// Little-endian scalars, length-prefixed UTF-16 strings, element counts, and
// object references that share one running index with class records. Loading
// never trusts a length: anything that claims more bytes than remain ends the
// load with endOfFile before memory is reserved for it.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/byte_stream.h"
#include "model/object.h"

class CArchiveException : public std::exception {
 public:
  enum Cause { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

  explicit CArchiveException(Cause cause) : m_cause(cause) {}
  const char* what() const noexcept override;
  static const char* CauseName(Cause cause);

  Cause m_cause;
};

class CArchive {
 public:
  enum Mode { store, load };

  CArchive(ByteStream* stream, Mode mode);
  // Flushes a storing archive; errors at that point are lost, so storers call
  // Close themselves.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return m_mode == store; }
  bool IsLoading() const { return m_mode == load; }

  void WriteByte(uint8_t v);
  void WriteWord(uint16_t v);
  void WriteInt(int32_t v) { WriteDword(static_cast<uint32_t>(v)); }
  void WriteDword(uint32_t v);
  uint8_t ReadByte();
  uint16_t ReadWord();
  int32_t ReadInt() { return static_cast<int32_t>(ReadDword()); }
  uint32_t ReadDword();

  void WriteString(const std::wstring& s);
  void ReadString(std::wstring& s);

  void WriteCount(uint32_t n);
  uint32_t ReadCount();

  // Raw blocks of bytes as they are.
  void Write(const void* data, size_t size);
  void Read(void* data, size_t size);

  // Object references. ReadObject returns a new object owned by the caller, or
  // null. With `expected` set, an object of any other class is refused with
  // badClass before it is made.
  void WriteObject(const CObject* obj);
  CObject* ReadObject(const CRuntimeClass* expected = nullptr);
  void WriteClass(const CRuntimeClass* cls);
  const CRuntimeClass* ReadClass();

  // Refuses, with endOfFile, a claim of `bytes` more bytes than remain.
  void Require(uint64_t bytes);
  uint64_t Remaining() const;

  void Flush();
  void Close();

  // One operation for both directions, so a record lists its stored members
  // once.
  void Exchange(std::wstring& s) { IsStoring() ? WriteString(s) : ReadString(s); }
  void Exchange(int32_t& v) { IsStoring() ? WriteInt(v) : void(v = ReadInt()); }
  void Exchange(uint32_t& v) { IsStoring() ? WriteDword(v) : void(v = ReadDword()); }
  void Exchange(uint16_t& v) { IsStoring() ? WriteWord(v) : void(v = ReadWord()); }
  void Exchange(uint8_t& v) { IsStoring() ? WriteByte(v) : void(v = ReadByte()); }

  // The running index may not pass this value in one archive.
  static constexpr uint32_t kMaxIndex = 0x3FFFFFFD;
  // Records read inside records (components in step lists) may nest this
  // deep; real projects nest a few levels, hostile ones would exhaust the
  // stack.
  static constexpr int kMaxObjectDepth = 256;

 private:
  void Fill(void* data, size_t size);
  uint32_t ReadTag(uint16_t* word);
  const CRuntimeClass* ResolveClass(uint16_t word, uint32_t tag);
  uint32_t NextIndex();
  void CheckStoring();
  void CheckLoading();

  Mode m_mode;
  ByteStream* m_stream;
  uint8_t m_buffer[4096];
  size_t m_bufPos = 0;   // storing: bytes held; loading: next byte
  size_t m_bufLen = 0;   // loading: bytes held
  uint32_t m_nextIndex = 1;
  int m_depth = 0;  // objects being read inside one another

  // Storing: identity of each object and class written, to its index.
  std::unordered_map<const void*, uint32_t> m_written;
  // Loading: what each index stands for. Objects are remembered only to tell
  // an object index from a class index; they are never handed out twice.
  struct Loaded {
    const CRuntimeClass* cls;  // null for an object
  };
  std::vector<Loaded> m_loaded;
};

// Owning list of records of one class: the list destroys what it holds.
template <class T>
class CTypedPtrList {
 public:
  using Items = std::vector<std::unique_ptr<T>>;

  class const_iterator {
   public:
    explicit const_iterator(typename Items::const_iterator it) : it_(it) {}
    T* operator*() const { return it_->get(); }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return it_ != o.it_; }
    bool operator==(const const_iterator& o) const { return it_ == o.it_; }

   private:
    typename Items::const_iterator it_;
  };

  CTypedPtrList() = default;
  CTypedPtrList(const CTypedPtrList&) = delete;
  CTypedPtrList& operator=(const CTypedPtrList&) = delete;

  // Takes ownership of `p` (ignored when null).
  void AddTail(T* p) {
    if (p) m_items.emplace_back(p);
  }
  void AddHead(T* p) {
    if (p) m_items.emplace(m_items.begin(), p);
  }
  // Unlinks and destroys `p` when held; false otherwise.
  bool Delete(const T* p) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
      if (it->get() == p) {
        m_items.erase(it);
        return true;
      }
    return false;
  }
  // Destroys the element at `index`; false when out of range.
  bool DeleteAt(size_t index) {
    if (index >= m_items.size()) return false;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
  }
  // Unlinks `p` without destroying it; the caller takes it over.
  T* Release(const T* p) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it)
      if (it->get() == p) {
        T* raw = it->release();
        m_items.erase(it);
        return raw;
      }
    return nullptr;
  }
  void RemoveAll() { m_items.clear(); }
  T* GetAt(size_t index) const { return index < m_items.size() ? m_items[index].get() : nullptr; }
  T* GetHead() const { return GetAt(0); }
  T* GetTail() const { return m_items.empty() ? nullptr : m_items.back().get(); }
  size_t GetCount() const { return m_items.size(); }
  bool IsEmpty() const { return m_items.empty(); }
  const_iterator begin() const { return const_iterator(m_items.begin()); }
  const_iterator end() const { return const_iterator(m_items.end()); }

  // Storing: the count, then one reference per element, head to tail.
  // Loading: appends each element read; elements already held stay in front.
  void Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<uint32_t>(m_items.size()));
      for (const auto& p : m_items) ar.WriteObject(p.get());
      return;
    }
    uint32_t n = ar.ReadCount();
    ar.Require(uint64_t{n} * 2);  // every reference takes at least a WORD
    for (uint32_t i = 0; i < n; ++i) {
      // A null reference holds no record; the list keeps records only.
      std::unique_ptr<T> p(static_cast<T*>(ar.ReadObject(T::GetThisClass())));
      if (p) m_items.push_back(std::move(p));
    }
  }

 private:
  Items m_items;
};
