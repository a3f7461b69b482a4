// Small PE images with a version resource, built byte by byte, for tests of
// the version reader. Only the fields a reader of resources looks at are
// filled in; the images are not meant to be loaded.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zortest {

using PeBytes = std::vector<uint8_t>;

inline void PutU16(PeBytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(PeBytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetU32(const PeBytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// One node of a version information tree.
struct VersionNode {
  std::u16string key;
  uint16_t type = 1;           // 1 text, 0 binary
  PeBytes value;               // already encoded
  uint16_t valueLength = 0;    // as stored: units for text, bytes for binary
  std::vector<VersionNode> children;
};

inline void Pad4(PeBytes& b) {
  while (b.size() % 4) b.push_back(0);
}

inline PeBytes EncodeNode(const VersionNode& node) {
  PeBytes out(6, 0);
  for (char16_t c : node.key) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  Pad4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) {
    Pad4(out);
    PeBytes c = EncodeNode(child);
    out.insert(out.end(), c.begin(), c.end());
  }
  PutU16(out, 0, static_cast<uint32_t>(out.size()));
  PutU16(out, 2, node.valueLength);
  PutU16(out, 4, node.type);
  return out;
}

inline VersionNode StringEntry(std::u16string key, std::u16string value) {
  VersionNode n;
  n.key = std::move(key);
  for (char16_t c : value) {
    n.value.push_back(static_cast<uint8_t>(c));
    n.value.push_back(static_cast<uint8_t>(c >> 8));
  }
  n.value.push_back(0);
  n.value.push_back(0);
  n.valueLength = static_cast<uint16_t>(value.size() + 1);
  return n;
}

using StringPairs = std::vector<std::pair<std::u16string, std::u16string>>;

inline VersionNode StringTable(std::u16string language, const StringPairs& strings) {
  VersionNode table;
  table.key = std::move(language);
  for (const auto& [k, v] : strings) table.children.push_back(StringEntry(k, v));
  return table;
}

// A complete VS_VERSION_INFO: fixed information, the given string tables and
// a translation block.
inline PeBytes VersionInfo(const std::vector<VersionNode>& tables) {
  VersionNode root;
  root.key = u"VS_VERSION_INFO";
  root.type = 0;
  root.value.assign(52, 0);
  PutU32(root.value, 0, 0xFEEF04BD);
  root.valueLength = 52;
  VersionNode strings;
  strings.key = u"StringFileInfo";
  strings.children = tables;
  VersionNode vars;
  vars.key = u"VarFileInfo";
  vars.type = 0;
  VersionNode translation;
  translation.key = u"Translation";
  translation.type = 0;
  translation.value = {0x09, 0x04, 0xB0, 0x04};
  translation.valueLength = 4;
  vars.children.push_back(translation);
  root.children = {strings, vars};
  return EncodeNode(root);
}

// Where the builder put the parts a test may want to damage.
struct PeLayout {
  PeBytes bytes;
  size_t peHeader = 0;        // "PE\0\0"
  size_t optionalHeader = 0;
  size_t resourceEntry = 0;   // data directory entry 2 (rva, size)
  size_t sectionHeader = 0;
  size_t resourceSection = 0; // file offset of the resource root directory
  size_t typeEntry = 0;       // the root directory's entry for type 16
  size_t dataEntry = 0;       // rva, size of the version data
  size_t versionInfo = 0;     // file offset of VS_VERSION_INFO
};

// A DLL image with one section, ".rsrc", holding one resource: version
// information `info` (type 16, id 1, language 0x409).
inline PeLayout BuildPe(const PeBytes& info, bool pe32Plus) {
  constexpr uint32_t kSectionRva = 0x1000;
  constexpr uint32_t kSectionFile = 0x200;
  PeLayout l;
  const uint16_t optionalSize = pe32Plus ? 240 : 224;
  l.peHeader = 0x40;
  l.optionalHeader = l.peHeader + 24;
  l.sectionHeader = l.optionalHeader + optionalSize;
  PeBytes& b = l.bytes;
  b.assign(kSectionFile, 0);
  b[0] = 'M';
  b[1] = 'Z';
  PutU32(b, 0x3C, static_cast<uint32_t>(l.peHeader));
  b[l.peHeader] = 'P';
  b[l.peHeader + 1] = 'E';
  PutU16(b, l.peHeader + 4, pe32Plus ? 0x8664 : 0x14C);
  PutU16(b, l.peHeader + 6, 1);
  PutU16(b, l.peHeader + 20, optionalSize);
  PutU16(b, l.peHeader + 22, 0x2102);
  PutU16(b, l.optionalHeader, pe32Plus ? 0x20B : 0x10B);
  const size_t directories = l.optionalHeader + (pe32Plus ? 112 : 96);
  PutU32(b, directories - 4, 16);
  l.resourceEntry = directories + 2 * 8;

  // Resource tree: root -> type 16 -> id 1 -> language 0x409 -> data.
  PeBytes r(0x48, 0);
  PutU16(r, 14, 1);
  PutU32(r, 16, 16);
  PutU32(r, 20, 0x80000018);
  PutU16(r, 0x18 + 14, 1);
  PutU32(r, 0x18 + 16, 1);
  PutU32(r, 0x18 + 20, 0x80000030);
  PutU16(r, 0x30 + 14, 1);
  PutU32(r, 0x30 + 16, 0x409);
  PutU32(r, 0x30 + 20, 0x48);
  r.resize(0x58, 0);
  PutU32(r, 0x48, kSectionRva + 0x58);
  PutU32(r, 0x4C, static_cast<uint32_t>(info.size()));
  r.insert(r.end(), info.begin(), info.end());
  Pad4(r);

  l.resourceSection = kSectionFile;
  l.typeEntry = kSectionFile + 16;
  l.dataEntry = kSectionFile + 0x48;
  l.versionInfo = kSectionFile + 0x58;
  PutU32(b, l.resourceEntry, kSectionRva);
  PutU32(b, l.resourceEntry + 4, static_cast<uint32_t>(r.size()));
  const char name[] = ".rsrc";
  for (size_t i = 0; i < 5; ++i) b[l.sectionHeader + i] = static_cast<uint8_t>(name[i]);
  PutU32(b, l.sectionHeader + 8, static_cast<uint32_t>(r.size()));
  PutU32(b, l.sectionHeader + 12, kSectionRva);
  PutU32(b, l.sectionHeader + 16, static_cast<uint32_t>(r.size()));
  PutU32(b, l.sectionHeader + 20, kSectionFile);
  b.insert(b.end(), r.begin(), r.end());
  return l;
}

}  // namespace zortest
