// Arbitrary bytes as a package, opened and extracted on the in-memory test
// host. The first byte chooses how the rest is used:
//   even: the bytes are the whole package file;
//   odd:  the bytes are a project index, wrapped into an otherwise valid
//         package whose streams area is the same bytes, so trees with any
//         names, flags and offsets reach the extractor. With bit 1 also
//         set, the file table records a size off by (first byte >> 2) - 32
//         bytes, which Open must refuse whenever it is off at all.
// Whatever the bytes, Open answers with one of its codes, and nothing is
// written outside the destination and the system folders, nor left behind
// in the temporary folder.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/extract.h"
#include "engine/file_table.h"
#include "common/wstr.h"
#include "engine/paths.h"
#include "platform/testhost/test_host.h"

namespace {

const wchar_t kPackage[] = L"C:\\Pkg\\setup.exe";
const wchar_t kDest[] = L"C:\\Dest\\";

std::string Wrap(const std::string& index, int32_t off) {
  uLongf size = compressBound(static_cast<uLong>(index.size()));
  std::string stream(size, '\0');
  compress2(reinterpret_cast<Bytef*>(&stream[0]), &size, reinterpret_cast<const Bytef*>(index.data()),
            static_cast<uLong>(index.size()), 6);
  stream.resize(size);
  zor::CFileTableEntry e;
  e.m_strName = L"Zor1.tmp";
  e.m_nOffset = static_cast<int32_t>(index.size());
  e.m_nPackedSize = static_cast<int32_t>(stream.size());
  e.m_nExpandedSize = static_cast<int32_t>(index.size()) + off;
  std::string table;
  zor::EncodeFileTable(&e, 1, &table);
  return index + stream + table;
}

void Count(int32_t code, void* data, void*) {
  if (code != zor::kProgressFileBegin && code != zor::kProgressFileStep && code != zor::kProgressFileEnd) std::abort();
  if (!data) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  host.AddDirectory(L"C:\\Dest");
  host.AddDirectory(L"C:\\Sys");
  host.AddDirectory(L"C:\\Prog");
  host.specialFolders[37] = L"C:\\Sys";
  host.specialFolders[38] = L"C:\\Prog";
  const bool wrapped = data[0] & 1;
  const int32_t off = wrapped && (data[0] & 2) ? (data[0] >> 2) - 32 : 0;
  host.AddFile(kPackage, wrapped ? Wrap(rest, off) : rest);

  zor::CMyExtract reader;
  reader.SetPackagePath(kPackage);
  int32_t r = reader.Open(kPackage);
  switch (r) {
    case zor::kResultNotPackage:
    case zor::kResultEmptyPackage:
    case zor::kResultCannotCreate:
      if (!reader.GetProject()->GetFileGroups().IsEmpty()) std::abort();
      break;
    case zor::kResultOk:
      if (off != 0) std::abort();  // an index of another size than recorded
      reader.SetDestination(kDest);
      if (reader.ExtractAll(kDest, &Count, nullptr) != zor::kResultOk) std::abort();
      break;
    default:
      std::abort();
  }
  for (const std::wstring& path : host.FilePaths()) {
    if (zor::EqualsNoCase(path, kPackage)) continue;
    if (!zor::IsWithinFolder(kDest, path) && !zor::IsWithinFolder(L"C:\\Sys", path) &&
        !zor::IsWithinFolder(L"C:\\Prog", path))
      std::abort();
    std::wstring name = zor::FileNameOf(path);
    if (name.rfind(L"~zr", 0) == 0) std::abort();  // a partial file left behind
  }
  return 0;
}
