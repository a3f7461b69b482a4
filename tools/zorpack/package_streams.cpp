#include "tools/zorpack/package_streams.h"

#include <zlib.h>

#include <algorithm>
#include <map>
#include <memory>

#include "engine/paths.h"
#include "engine/result_codes.h"
#include "tools/printable.h"

namespace zorpack {

StreamCheck CheckStream(zor::File& package, int64_t offset, int64_t limit, int64_t maxExpanded,
                        const char* whatHolds) {
  StreamCheck check;
  if (offset < 0 || offset >= limit) {
    check.problem = "its stream would start at offset " + std::to_string(offset) +
                    ", outside the packed files (offsets 0 to " + std::to_string(limit - 1) + ")";
    return check;
  }
  if (package.Seek(offset, zor::SeekFrom::kBegin) != offset) {
    check.problem = "the package cannot be positioned at offset " + std::to_string(offset);
    return check;
  }
  constexpr size_t kChunk = 64 * 1024;
  // Heap buffers: this runs on threads with small stacks too.
  std::unique_ptr<uint8_t[]> in(new uint8_t[kChunk]);
  std::unique_ptr<uint8_t[]> out(new uint8_t[kChunk]);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    check.problem = "zlib cannot start (out of memory)";
    return check;
  }
  int64_t position = offset;
  int r = Z_OK;
  while (r != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (position >= limit) {
        check.problem = "its stream does not end before offset " + std::to_string(limit) +
                        ", where the packed files end";
        break;
      }
      size_t want = static_cast<size_t>(std::min<int64_t>(kChunk, limit - position));
      int64_t n = package.Read(in.get(), want);
      if (n < 0) {
        check.problem = "the package cannot be read at offset " + std::to_string(position);
        break;
      }
      if (n == 0) {
        check.problem = "the package ends inside its stream";
        break;
      }
      position += n;
      z.next_in = in.get();
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out.get();
    z.avail_out = static_cast<uInt>(kChunk);
    r = inflate(&z, Z_NO_FLUSH);
    check.expandedBytes += kChunk - z.avail_out;
    if (check.expandedBytes > static_cast<uint64_t>(std::max<int64_t>(0, maxExpanded))) {
      check.problem = "its stream expands past " + std::to_string(maxExpanded) + " bytes, more than " + whatHolds +
                      " can hold";
      r = Z_DATA_ERROR;
      break;
    }
    if (r == Z_OK || r == Z_STREAM_END) continue;
    // Without input left, zlib cannot go on until it gets more: read on.
    if (r == Z_BUF_ERROR && z.avail_in == 0) {
      r = Z_OK;
      continue;
    }
    if (r == Z_NEED_DICT)
      check.problem = "its stream asks for a preset dictionary, which packages never use";
    else if (r == Z_MEM_ERROR)
      check.problem = "zlib ran out of memory";
    else
      check.problem = std::string("its stream is damaged (") + (z.msg ? z.msg : "zlib error") + ")";
    break;
  }
  check.packedBytes = position - offset - z.avail_in;
  check.ok = r == Z_STREAM_END;
  inflateEnd(&z);
  return check;
}

std::string OpenFailure(int32_t result, const zor::TrailerInfo& trailer) {
  switch (result) {
    case zor::kResultCannotOpen: return "cannot be opened";
    case zor::kResultNotPackage:
      if (trailer.trailerFound) return "has a package trailer, but its file table is damaged";
      return "is not a package (no package trailer at its end)";
    case zor::kResultEmptyPackage: return "is a package without any entry";
    case zor::kResultCannotCreate: return "holds a project index that cannot be expanded or read";
    default: return "cannot be read (engine result " + std::to_string(result) + ")";
  }
}

std::wstring TreePath(const CNode* node) {
  std::vector<std::wstring> names;
  for (const CNode* n = node; n; n = n->GetParent()) {
    auto* item = DynamicDowncast<CZipFileIndexObject>(n->GetData());
    if (item && !item->GetName().empty()) names.push_back(item->GetName());
  }
  std::wstring path;
  for (auto it = names.rbegin(); it != names.rend(); ++it) path += (path.empty() ? L"" : L"\\") + *it;
  return path.empty() ? L"(unnamed node)" : path;
}

const CZipFileIndexObject* FileItemOf(const CNode* node) {
  auto* item = node ? DynamicDowncast<CZipFileIndexObject>(node->GetData()) : nullptr;
  if (!item || item->GetFolderFlag() || item->GetPredefinedFlag()) return nullptr;
  return item;
}

namespace {

bool PassedOver(const CNode* node) {
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  return !item || (item->GetFolderFlag() && !item->GetPredefinedFlag() && item->GetName().empty());
}

}  // namespace

std::vector<NameClash> NameClashes(const CNode* root) {
  std::vector<NameClash> clashes;
  for (const CNode* folder : PreOrder(root)) {
    if (PassedOver(folder) && folder != root) continue;  // its entries belong to the folder above
    std::map<std::wstring, const CNode*> seen;
    std::vector<const CNode*> pending;
    for (int i = folder->GetChildCount(); i-- > 0;) pending.push_back(folder->GetChild(i));
    while (!pending.empty()) {
      const CNode* n = pending.back();
      pending.pop_back();
      if (PassedOver(n)) {
        for (int i = n->GetChildCount(); i-- > 0;) pending.push_back(n->GetChild(i));
        continue;
      }
      auto* item = DynamicDowncast<CZipFileIndexObject>(n->GetData());
      if (item->GetPredefinedFlag() || item->GetName().empty()) continue;
      auto [it, added] = seen.emplace(zor::NameKey(item->GetName()), n);
      if (!added) clashes.push_back({n, it->second});
    }
  }
  std::map<const CNode*, size_t> position;
  for (const CNode* n : PreOrder(root)) position.emplace(n, position.size());
  std::sort(clashes.begin(), clashes.end(),
            [&](const NameClash& a, const NameClash& b) { return position[a.node] < position[b.node]; });
  return clashes;
}

std::string ClashProblem(const NameClash& clash) {
  return "its name is the one of " + zor::Printable(TreePath(clash.first)) + " for Windows, letter case aside";
}

std::string NodeNameProblem(const CZipFileIndexObject& item) {
  if (item.GetPredefinedFlag() || (item.GetFolderFlag() && item.GetName().empty())) return std::string();
  std::string problem = zor::NameProblem(item.GetName());
  return problem.empty() ? problem : "its name " + problem;
}

std::vector<const CNode*> PreOrder(const CNode* node) {
  std::vector<const CNode*> order;
  std::vector<const CNode*> pending;
  if (node) pending.push_back(node);
  while (!pending.empty()) {
    const CNode* n = pending.back();
    pending.pop_back();
    order.push_back(n);
    for (int i = n->GetChildCount(); i-- > 0;) pending.push_back(n->GetChild(i));
  }
  return order;
}

}  // namespace zorpack
