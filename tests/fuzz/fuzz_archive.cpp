// Arbitrary bytes into a loading archive.
//
// The first byte is a plan: two bits per step choose what the loader asks
// for next (any object, an object of an expected class, a string, a count or
// an embedded tree). The rest is the archive. A refused input ends with a
// CArchiveException; anything else that goes wrong (a crash, a leak, undefined
// behaviour, another exception, a huge allocation) is a finding. Whatever
// loads must also store again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/archive.h"
#include "model/byte_stream.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"

namespace {

void StoreAgain(CObject* obj) {
  MemoryStream out;
  CArchive ar(&out, CArchive::store);
  ar.WriteObject(obj);
  ar.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t plan = data[0];
  MemoryStream in(data + 1, size - 1);
  try {
    CArchive ar(&in, CArchive::load);
    for (int step = 0; step < 8; ++step) {
      switch ((plan >> (2 * (step % 4))) & 3) {
        case 0: {
          std::unique_ptr<CObject> obj(ar.ReadObject());
          if (obj) StoreAgain(obj.get());
          break;
        }
        case 1: {
          const CRuntimeClass* expected = step < 4 ? RUNTIME_CLASS(CPreDefineFolder) : RUNTIME_CLASS(CObTree);
          std::unique_ptr<CObject> obj(ar.ReadObject(expected));
          if (obj && !obj->IsKindOf(expected)) __builtin_trap();  // the loader let another class through
          if (obj) StoreAgain(obj.get());
          break;
        }
        case 2: {
          std::wstring s;
          ar.ReadString(s);
          break;
        }
        case 3: {
          if (step < 4) {
            ar.ReadCount();
          } else {
            CObTree tree;
            tree.SetDataClass(RUNTIME_CLASS(CPreDefineFolder));
            tree.Serialize(ar);
            StoreAgain(&tree);
          }
          break;
        }
      }
    }
  } catch (const CArchiveException&) {
  }
  return 0;
}
