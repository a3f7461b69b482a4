// The serializable base: CObject, its class records and the class registry.
#pragma once

#include <cstdint>
#include <string_view>

class CArchive;
class CObject;

// One static record per serializable class.
struct CRuntimeClass {
  const char* m_lpszClassName;
  uint16_t m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new default-constructed object of this class, owned by the caller.
  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  bool IsDerivedFrom(const CRuntimeClass* base) const;

  // Exact, case-sensitive lookup in the class registry; null when unknown.
  static const CRuntimeClass* FromName(std::string_view name);
  // Every registered class, in registry order, ending with null.
  static const CRuntimeClass* const* Registry();
};

class CObject {
 public:
  static const CRuntimeClass classCObject;
  static const CRuntimeClass* GetThisClass() { return &classCObject; }
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& ar);

  bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

// In a class body: the class record, its accessor and its factory.
#define DECLARE_SERIAL(cls)                                 \
 public:                                                    \
  static const CRuntimeClass class##cls;                    \
  static const CRuntimeClass* GetThisClass() { return &class##cls; } \
  const CRuntimeClass* GetRuntimeClass() const override;   \
  static CObject* CreateObject();

// In the class's source file. The name is stored in archives exactly as
// written here.
#define IMPLEMENT_SERIAL(cls, base, schema)                                                  \
  CObject* cls::CreateObject() { return new cls; }                                           \
  const CRuntimeClass cls::class##cls = {#cls, schema, &cls::CreateObject, RUNTIME_CLASS(base)}; \
  const CRuntimeClass* cls::GetRuntimeClass() const { return RUNTIME_CLASS(cls); }

// Downcast that yields null when the object is not of the class.
template <class T>
T* DynamicDowncast(CObject* p) {
  return p && p->IsKindOf(T::GetThisClass()) ? static_cast<T*>(p) : nullptr;
}
