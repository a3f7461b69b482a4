// Deep copies of records through their stored form, so a copy holds exactly
// what storing and loading would give and no copy code can drift from the
// format. Members that are never stored (links, cached counts) start at their
// defaults in the copy.
#pragma once

#include <memory>

#include "model/archive.h"

CObject* CloneStoredObject(const CObject& record);

template <class T>
std::unique_ptr<T> CloneRecord(const T& record) {
  return std::unique_ptr<T>(static_cast<T*>(CloneStoredObject(record)));
}
