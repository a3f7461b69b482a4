// Strings read from the string table of a module through the seam: the
// string source the program uses once a language module (or the program
// itself) is the current resource source.
#pragma once

#include "platform/host.h"
#include "setup/string_source.h"

namespace zor {

class CModuleStrings : public IStringSource {
 public:
  // Module 0 is the running program.
  explicit CModuleStrings(Host::Module module = 0) : m_module(module) {}

  // Makes `module` the source of every later string.
  void SetModule(Host::Module module) { m_module = module; }
  Host::Module GetModule() const { return m_module; }

  // The string table keeps strings in blocks of 16 (resource type 6, block
  // id / 16 + 1), each string a 16-bit length followed by its UTF-16
  // characters. Empty when the block or string is missing or the block is
  // cut short.
  std::wstring GetString(uint32_t id) override;

 private:
  Host::Module m_module;
};

// Resource type of string table blocks, in the form FindResourceW takes a
// numeric type by name.
extern const wchar_t kStringTableType[];  // "#6"

}  // namespace zor
