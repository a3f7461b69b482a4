#include "renderer/version_probe.h"

#include "common/wstr.h"

namespace zor {

const wchar_t kRendererCompanyName[] = L"Tarvex";
const wchar_t kRendererProductName[] = L"Tarvex Orbiscene runtime";

namespace {

// Offsets and sizes are carried in 64 bits so that no sum of two 32-bit
// fields taken from the file can wrap around.
class Bytes {
 public:
  Bytes(const uint8_t* data, uint64_t size) : data_(data), size_(data ? size : 0) {}

  bool Has(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  uint64_t size() const { return size_; }

  std::optional<uint16_t> U16(uint64_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  std::optional<uint32_t> U32(uint64_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
  }
  Bytes Slice(uint64_t offset, uint64_t count) const {
    if (!Has(offset, count)) return Bytes(nullptr, 0);
    return Bytes(data_ + offset, count);
  }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

constexpr uint64_t Align4(uint64_t v) { return (v + 3) & ~uint64_t{3}; }

constexpr uint32_t kMaxSections = 96;

// The image as the loader would lay it out, seen through its section table:
// only bytes that the file really holds are readable.
class PeImage {
 public:
  explicit PeImage(Bytes file) : file_(file) {}

  // Finds the section table and the resource directory; false for anything
  // that is not a well-formed PE header.
  bool Open() {
    if (file_.U16(0) != uint16_t{0x5A4D}) return false;  // "MZ"
    auto peOffset = file_.U32(0x3C);
    if (!peOffset || file_.U32(*peOffset) != uint32_t{0x00004550}) return false;  // "PE\0\0"
    const uint64_t coff = uint64_t{*peOffset} + 4;
    auto sections = file_.U16(coff + 2);
    auto optionalSize = file_.U16(coff + 16);
    if (!sections || !optionalSize) return false;
    const uint64_t optional = coff + 20;
    auto magic = file_.U16(optional);
    uint64_t directoryCountAt;
    if (magic == uint16_t{0x10B}) {
      directoryCountAt = 92;  // 32-bit optional header
    } else if (magic == uint16_t{0x20B}) {
      directoryCountAt = 108;  // 64-bit optional header
    } else {
      return false;
    }
    auto directories = file_.U32(optional + directoryCountAt);
    // The resource directory is entry 2, and it must lie inside the optional
    // header the file declares.
    const uint64_t resourceEntry = directoryCountAt + 4 + 2 * 8;
    if (!directories || *directories <= 2 || resourceEntry + 8 > *optionalSize) return false;
    auto resourceRva = file_.U32(optional + resourceEntry);
    if (!resourceRva || *resourceRva == 0) return false;
    resourceBase_ = *resourceRva;
    sectionTable_ = optional + *optionalSize;
    sectionCount_ = *sections;
    // The loader refuses images with more sections than this; the bound also
    // keeps every address lookup cheap whatever the file claims.
    if (sectionCount_ > kMaxSections) return false;
    return file_.Has(sectionTable_, uint64_t{sectionCount_} * 40);
  }

  uint64_t resourceBase() const { return resourceBase_; }

  // `count` bytes at a relative virtual address, or an empty view when they
  // are not all present in one section's file data.
  Bytes At(uint64_t rva, uint64_t count) const {
    for (uint32_t i = 0; i < sectionCount_; ++i) {
      const uint64_t header = sectionTable_ + uint64_t{i} * 40;
      const uint64_t virtualAddress = *file_.U32(header + 12);
      const uint64_t rawSize = *file_.U32(header + 16);
      const uint64_t rawOffset = *file_.U32(header + 20);
      if (rva < virtualAddress || rva - virtualAddress >= rawSize) continue;
      const uint64_t inSection = rva - virtualAddress;
      if (count > rawSize - inSection) return Bytes(nullptr, 0);
      return file_.Slice(rawOffset + inSection, count);
    }
    return Bytes(nullptr, 0);
  }

  std::optional<uint32_t> U32(uint64_t rva) const {
    Bytes b = At(rva, 4);
    return b.size() == 4 ? b.U32(0) : std::nullopt;
  }
  std::optional<uint16_t> U16(uint64_t rva) const {
    Bytes b = At(rva, 2);
    return b.size() == 2 ? b.U16(0) : std::nullopt;
  }

 private:
  Bytes file_;
  uint64_t resourceBase_ = 0;
  uint64_t sectionTable_ = 0;
  uint32_t sectionCount_ = 0;
};

constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kVersionType = 16;

// One step down the resource tree: the first entry of the directory at
// `directory` (an offset from the resource base) whose id is `id`, or simply
// the first entry when `id` is empty. Named entries never match an id.
std::optional<uint32_t> FindEntry(const PeImage& pe, uint64_t directory, std::optional<uint32_t> id) {
  const uint64_t at = pe.resourceBase() + directory;
  auto named = pe.U16(at + 12);
  auto numbered = pe.U16(at + 14);
  if (!named || !numbered) return std::nullopt;
  const uint32_t total = uint32_t{*named} + *numbered;
  for (uint32_t i = 0; i < total; ++i) {
    auto name = pe.U32(at + 16 + uint64_t{i} * 8);
    auto target = pe.U32(at + 16 + uint64_t{i} * 8 + 4);
    if (!name || !target) return std::nullopt;
    if (!id || (!(*name & kSubdirectory) && *name == *id)) return *target;
  }
  return std::nullopt;
}

// The bytes of the first version resource: type 16, its first name, its
// first language.
Bytes VersionResource(const PeImage& pe) {
  auto names = FindEntry(pe, 0, kVersionType);
  if (!names || !(*names & kSubdirectory)) return Bytes(nullptr, 0);
  auto languages = FindEntry(pe, *names & ~kSubdirectory, std::nullopt);
  if (!languages || !(*languages & kSubdirectory)) return Bytes(nullptr, 0);
  auto data = FindEntry(pe, *languages & ~kSubdirectory, std::nullopt);
  if (!data || (*data & kSubdirectory)) return Bytes(nullptr, 0);
  const uint64_t dataEntry = pe.resourceBase() + *data;
  auto rva = pe.U32(dataEntry);
  auto size = pe.U32(dataEntry + 4);
  if (!rva || !size) return Bytes(nullptr, 0);
  return pe.At(*rva, *size);
}

// One node of the version information tree: a length, a value length, a
// type, a zero-terminated UTF-16 key, then (each on a four-byte boundary) the
// value and the children.
struct Block {
  uint64_t end = 0;            // one past the block's last byte
  std::wstring key;
  uint64_t valueOffset = 0;    // where the value starts
  uint64_t childrenOffset = 0; // where the first child starts
};

// Reads text until a zero unit or `end`, whichever comes first.
std::wstring ReadText(Bytes bytes, uint64_t offset, uint64_t end, uint64_t* after) {
  std::u16string units;
  uint64_t at = offset;
  while (at + 2 <= end) {
    const uint16_t unit = *bytes.U16(at);
    at += 2;
    if (unit == 0) break;
    units.push_back(static_cast<char16_t>(unit));
  }
  if (after) *after = at;
  return FromUtf16(units);
}

// The block at `offset`, which must fit into its parent ending at `limit`.
std::optional<Block> ReadBlock(Bytes bytes, uint64_t offset, uint64_t limit) {
  auto length = bytes.U16(offset);
  auto valueLength = bytes.U16(offset + 2);
  auto type = bytes.U16(offset + 4);
  if (!length || !valueLength || !type || *length < 6 || offset + *length > limit) return std::nullopt;
  Block block;
  block.end = offset + *length;
  uint64_t afterKey = 0;
  block.key = ReadText(bytes, offset + 6, block.end, &afterKey);
  block.valueOffset = Align4(afterKey);
  // Text values count their length in UTF-16 units, binary ones in bytes.
  const uint64_t valueBytes = *type == 1 ? uint64_t{*valueLength} * 2 : *valueLength;
  block.childrenOffset = Align4(block.valueOffset + valueBytes);
  return block;
}

// Calls `visit` for each child of `parent` until it returns true.
template <typename Visit>
bool ForEachChild(Bytes bytes, const Block& parent, Visit visit) {
  uint64_t at = parent.childrenOffset;
  while (at < parent.end) {
    auto child = ReadBlock(bytes, at, parent.end);
    if (!child) return false;
    if (visit(*child)) return true;
    at = Align4(child->end);
  }
  return false;
}

}  // namespace

std::optional<std::wstring> ReadVersionString(const uint8_t* data, size_t size, std::wstring_view key) {
  PeImage pe(Bytes(data, size));
  if (!pe.Open()) return std::nullopt;
  Bytes info = VersionResource(pe);
  auto root = ReadBlock(info, 0, info.size());
  if (!root || root->key != L"VS_VERSION_INFO") return std::nullopt;
  std::optional<std::wstring> found;
  ForEachChild(info, *root, [&](const Block& group) {
    if (group.key != L"StringFileInfo") return false;
    return ForEachChild(info, group, [&](const Block& table) {
      return ForEachChild(info, table, [&](const Block& entry) {
        if (!EqualsNoCase(entry.key, key)) return false;
        // A value that would begin past its block is empty, not an error.
        found = entry.valueOffset < entry.end ? ReadText(info, entry.valueOffset, entry.end, nullptr)
                                              : std::wstring();
        return true;
      });
    });
  });
  return found;
}

bool IsOurRendererLibrary(const uint8_t* data, size_t size) {
  return ReadVersionString(data, size, L"CompanyName") == std::wstring(kRendererCompanyName) &&
         ReadVersionString(data, size, L"ProductName") == std::wstring(kRendererProductName);
}

}  // namespace zor
