// zorpack verify: every stream of a package checked against its index,
// without writing anything.
#include <algorithm>
#include <set>

#include "common/wstr.h"
#include "engine/extract.h"
#include "engine/file_table.h"
#include "tools/printable.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/package_streams.h"

namespace zorpack {

namespace {

// One stream found good, for the overlap check.
struct Span {
  int64_t begin;
  int64_t end;
  size_t file;  // index into the checked files
};

struct Checked {
  std::string label;
  std::string problem;  // empty while the file is good
};

std::string LengthMismatch(const StreamCheck& c, int32_t packedSize) {
  return "its stream is " + std::to_string(c.packedBytes) + " bytes long, but the index records " +
         std::to_string(packedSize);
}

}  // namespace

int VerifyPackage(const std::string& package, std::ostream& out, std::ostream& err) {
  const std::wstring path = zor::FromUtf8(package);
  std::unique_ptr<zor::File> file = zor::CurrentHost().OpenFile(
      path, zor::FileAccess::kRead, zor::kShareRead | zor::kShareWrite, zor::FileCreate::kOpenExisting);
  if (!file) {
    err << "zorpack: " << package << " " << OpenFailure(zor::kResultCannotOpen) << "\n";
    return kExitBadInput;
  }
  zor::CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo trailer;
  int32_t result = zor::ReadFileTable(*file, table, &count, &trailer);
  if (result != zor::kResultOk) {
    err << "zorpack: " << package << " " << OpenFailure(result, trailer) << "\n";
    return kExitBadInput;
  }

  std::vector<Checked> files;
  std::vector<Span> spans;
  // The file streams lie before the table's own streams (the project index).
  int64_t filesEnd = trailer.tableStart;
  for (int i = 0; i < count; ++i) filesEnd = std::min<int64_t>(filesEnd, table[i].m_nOffset);
  for (int i = 0; i < count; ++i) {
    const zor::CFileTableEntry& entry = table[i];
    StreamCheck c = i == 0 ? CheckStream(*file, entry.m_nOffset, trailer.tableStart, zor::kMaxIndexBytes,
                                         "a project index")
                           : CheckStream(*file, entry.m_nOffset, trailer.tableStart);
    std::string problem = c.problem;
    if (c.ok && c.packedBytes != entry.m_nPackedSize) problem = LengthMismatch(c, entry.m_nPackedSize);
    if (c.ok && problem.empty() && c.expandedBytes != static_cast<uint64_t>(static_cast<uint32_t>(entry.m_nExpandedSize)))
      problem = "it expands to " + std::to_string(c.expandedBytes) + " bytes, but the file table records " +
                std::to_string(entry.m_nExpandedSize);
    std::string label = i == 0 ? "project index" : "file table entry " + zor::Printable(entry.m_strName);
    if (i == 0 && !problem.empty()) {
      // Without its index nothing else in the package can be found.
      err << "zorpack: " << package << ": the project index is damaged: " << problem << "\n";
      return kExitBadInput;
    }
    if (c.ok) spans.push_back({entry.m_nOffset, entry.m_nOffset + c.packedBytes, files.size()});
    files.push_back({label, problem});
  }
  const size_t tableStreams = files.size();

  // The project is loaded from the very file just checked, which stays
  // open for the rest: a file put in its place meanwhile is never read.
  zor::CMyExtract extract;
  result = extract.Open(std::move(file));
  if (result != zor::kResultOk) {
    err << "zorpack: " << package << " " << OpenFailure(result) << "\n";
    return kExitBadInput;
  }
  zor::File* opened = extract.GetPackage();

  std::vector<Checked> badNames;  // folders and clashes: no stream of their own
  uint64_t expanded = 0;
  uint64_t packed = 0;
  int groups = 0;
  for (const CExtractFileList* group : extract.GetProject()->GetFileGroups()) {
    ++groups;
    const std::string groupLabel = "group \"" + zor::Printable(group->GetName()) + "\": ";
    for (const CNode* node : PreOrder(group->GetTree().GetRoot())) {
      // A name the extractor refuses is damage as much as a bad stream.
      auto* entry = DynamicDowncast<CZipFileIndexObject>(node->GetData());
      const std::string nameProblem = entry ? NodeNameProblem(*entry) : std::string();
      const CZipFileIndexObject* item = FileItemOf(node);
      if (!item) {
        if (!nameProblem.empty()) badNames.push_back({groupLabel + zor::Printable(TreePath(node)), nameProblem});
        continue;
      }
      Checked checked{groupLabel + zor::Printable(TreePath(node)), nameProblem};
      if (!nameProblem.empty()) {
        // reported by its name; the stream is not looked at
      } else if (item->GetOffset() < 0) {
        checked.problem = "it has no packed stream";
      } else {
        StreamCheck c = CheckStream(*opened, item->GetOffset(), filesEnd);
        checked.problem = c.problem;
        if (c.ok) {
          expanded += c.expandedBytes;
          packed += static_cast<uint64_t>(c.packedBytes);
          if (c.packedBytes != item->GetPackedSize()) checked.problem = LengthMismatch(c, item->GetPackedSize());
          spans.push_back({item->GetOffset(), item->GetOffset() + c.packedBytes, files.size()});
        }
      }
      files.push_back(checked);
    }
    for (const NameClash& clash : NameClashes(group->GetTree().GetRoot()))
      badNames.push_back({groupLabel + zor::Printable(TreePath(clash.node)), ClashProblem(clash)});
  }

  // The builder gives every listing its own stream, so two nodes sharing
  // bytes means the index has been tampered with or damaged.
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.begin != b.begin ? a.begin < b.begin : a.file < b.file; });
  const Span* reach = nullptr;  // the span reaching furthest so far
  for (const Span& s : spans) {
    if (reach && s.begin < reach->end) {
      Checked& later = files[s.file];
      if (later.problem.empty()) later.problem = "its stream overlaps that of " + files[reach->file].label;
    }
    if (!reach || s.end > reach->end) reach = &s;
  }

  size_t damaged = badNames.size();
  for (const Checked& f : files) {
    if (f.problem.empty()) continue;
    ++damaged;
    out << f.label << ": " << f.problem << "\n";
  }
  for (const Checked& f : badNames) out << f.label << ": " << f.problem << "\n";
  const size_t checked = files.size() - tableStreams;
  out << "Checked " << checked << " file" << (checked == 1 ? "" : "s") << " in " << groups << " group"
      << (groups == 1 ? "" : "s") << ": " << expanded << " bytes from " << packed << " packed bytes; " << damaged
      << " damaged\n";
  if (damaged > 0) {
    err << "zorpack: " << package << ": " << damaged << " damaged file" << (damaged == 1 ? "" : "s") << "\n";
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace zorpack
