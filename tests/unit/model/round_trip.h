// Store → load → store for one record written as an archive object.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "tests/unit/model/bytes.h"

namespace zortest {

// Stores `rec` as an archive object, loads it back as class T (every byte
// must be consumed) and returns the loaded record; the test fails when the
// second store differs from the first.
template <class T>
std::unique_ptr<T> RoundTrip(const T& rec) {
  Bytes first = Store([&](CArchive& ar) { ar.WriteObject(&rec); });
  CObject* loaded = nullptr;
  uint64_t left = 1;
  auto cause = Load(first, [&](CArchive& ar) {
    loaded = ar.ReadObject(T::GetThisClass());
    left = ar.Remaining();
  });
  std::unique_ptr<T> back(static_cast<T*>(loaded));
  EXPECT_EQ(cause, CArchiveException::none);
  EXPECT_EQ(left, 0u) << "bytes left after loading";
  if (!back) {
    ADD_FAILURE() << "nothing loaded";
    return back;
  }
  EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteObject(back.get()); }), first);
  return back;
}

}  // namespace zortest
