// Reading a package's streams and trees for the commands that check or
// unpack one: what a stream decodes to without keeping its output, and how
// to name a node of a file group to a person.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/extract.h"
#include "engine/file_table.h"
#include "model/file_list.h"
#include "model/obtree.h"
#include "platform/host.h"

namespace zorpack {

struct StreamCheck {
  bool ok = false;
  std::string problem;         // why the stream is bad, when not ok
  int64_t packedBytes = 0;     // bytes of the package the stream took up
  uint64_t expandedBytes = 0;  // bytes it expanded to
};

// Expands the zlib stream at `offset` of `package` into nothing, reading no
// byte at or beyond `limit`. It is good when it reaches its own end with a
// matching Adler-32 before `limit`, having expanded to no more than
// `maxExpanded` bytes (it is stopped there; `whatHolds` names what cannot
// be longer). Memory stays the same whatever the size of the stream.
StreamCheck CheckStream(zor::File& package, int64_t offset, int64_t limit, int64_t maxExpanded = zor::kMaxFileBytes,
                        const char* whatHolds = "any file of a package");

// The names from the tree's root down to `node`, joined with backslashes
// (nodes without a name are passed over), as a person finds it in a listing.
std::wstring TreePath(const CNode* node);

// The node's item when it is a file: no folder, no system folder.
const CZipFileIndexObject* FileItemOf(const CNode* node);

// Every node of the tree below and including `node`, in pre-order, without
// recursion so a deep tree cannot exhaust the stack.
std::vector<const CNode*> PreOrder(const CNode* node);

// One entry of a folder that Windows would take for an earlier one: their
// names differ at most in letter case or in dots and spaces at the end.
struct NameClash {
  const CNode* node;   // the later entry, in pre-order
  const CNode* first;  // the entry it clashes with
};
// Every clash in the tree below `root`. Entries are the named folders and
// files of a folder; nodes without a record and folders without a name are
// passed over, as the path walk passes them, so what lies below them counts
// as entries of the folder above; a system folder is no entry of its
// parent but a folder of its own.
std::vector<NameClash> NameClashes(const CNode* root);
// What is wrong with the later entry of `clash`, worded to follow its path.
std::string ClashProblem(const NameClash& clash);

// Why a folder or file node cannot be created under its name, as a sentence
// part after its path ("its name ends in a dot ..."); empty when it can.
// System folders and folders without a name are not created at all.
std::string NodeNameProblem(const CZipFileIndexObject& item);

// What an engine result from opening a package means, as the end of a
// sentence that starts with the package's name; `trailer` (what the trailer
// search found) tells a damaged file table from a file that is no package.
std::string OpenFailure(int32_t result, const zor::TrailerInfo& trailer = zor::TrailerInfo());

}  // namespace zorpack
