// Arbitrary bytes as a project description. Reading may fail only with a
// description error; a description that reads must write back to one that
// reads to the same project, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/archive.h"
#include "model/install_project.h"
#include "model/project_index.h"
#include "platform/testhost/test_host.h"
#include "tools/json_input.h"
#include "tools/project_json.h"

namespace {

// "fromFolder" reads folders through the host: give it a small one to find,
// in memory so no input can reach the machine's own files.
zor::TestHost& Host() {
  static zor::TestHost* host = [] {
    auto* h = new zor::TestHost;
    h->AddDirectory(L"C:\\base");
    h->AddDirectory(L"C:\\base\\dist");
    h->AddDirectory(L"C:\\base\\dist\\sub");
    h->AddFile(L"C:\\base\\dist\\app.exe", "MZ");
    h->AddFile(L"C:\\base\\dist\\sub\\readme.txt", "read me");
    h->AddFile(L"C:\\base\\engine.exe", "MZ");
    zor::SetCurrentHost(h);
    return h;
  }();
  return *host;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Host();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CInstallProject project;
  try {
    zor::ProjectFromJsonText(text, L"C:\\base\\", &project);
  } catch (const zor::DescriptionError&) {
    return 0;
  }
  std::vector<uint8_t> first = StoreProjectIndex(project);
  CInstallProject again;
  try {
    zor::ProjectFromJsonText(zor::ProjectToJsonText(project), L"C:\\base\\", &again);
  } catch (const zor::DescriptionError&) {
    std::abort();  // what we wrote ourselves must read
  }
  if (StoreProjectIndex(again) != first) std::abort();
  return 0;
}
