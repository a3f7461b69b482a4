#include "engine/extract.h"

#include <new>

#include "engine/paths.h"
#include "model/archive.h"
#include "model/byte_stream.h"

namespace zor {
namespace {

// Expands the stream at `offset` of `package` into `out`, reporting each
// chunk when a callback is given. True only when the stream reached its own
// end with its checksum intact, every byte was written, and no more than
// `limit` bytes came out (the check follows each chunk, so up to one buffer
// more may reach `out` before the stream is stopped).
bool ExpandStream(CAbstractZip& zip, File& package, int64_t offset, int32_t total, int64_t limit, File& out,
                  ProgressCallback callback, void* userData) {
  if (offset < 0 || package.Seek(offset, SeekFrom::kBegin) != offset) return false;
  zip.Begin(0);
  zip.SetTotal(total);
  int r = Z_OK;
  bool failed = false;
  int64_t produced = 0;
  auto drain = [&] {
    int32_t written = zip.ExpandWrite(&out);
    if (written < 0) failed = true;
    else produced += written;
    if (produced > limit) failed = true;
    return written;
  };
  for (;;) {
    int32_t n = zip.ExpandRead(&package);
    if (n < 0) failed = true;
    if (n <= 0) break;
    r = zip.Expand(Z_NO_FLUSH);
    drain();
    if (failed || r != Z_OK) break;
    if (callback) {
      int32_t percent = zip.GetPercent();
      callback(kProgressFileStep, &percent, userData);
    }
  }
  // With nothing more to read, zlib reports a buffer error on every call
  // that could not finish; it is only final once a call yields no output.
  while (!failed && r == Z_OK) {
    r = zip.Expand(Z_FINISH);
    int32_t written = drain();
    if (r == Z_BUF_ERROR && written > 0) r = Z_OK;
  }
  zip.End(0);
  return !failed && r == Z_STREAM_END;
}

// The project index on its way from the package to the archive: appended
// in memory, in one block reserved for the size its entry records.
class IndexBuffer : public File {
 public:
  explicit IndexBuffer(size_t expected) { bytes_.reserve(expected); }
  int64_t Read(void*, size_t) override { return -1; }
  int64_t Write(const void* buffer, size_t size) override {
    bytes_.append(static_cast<const char*>(buffer), size);
    return static_cast<int64_t>(size);
  }
  int64_t Seek(int64_t, SeekFrom) override { return -1; }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Flush() override { return true; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

void Trace(const std::wstring& text) { CurrentHost().DebugOutput(text); }

}  // namespace

CMyExtract::CMyExtract()
    : m_pZip(new CMyZip), m_pLog(new CMyLogSystem), m_strPackagePath(CurrentHost().ModulePath()) {}

CMyExtract::~CMyExtract() {
  delete m_pZip;
  delete m_pLog;
}

void CMyExtract::SetZip(CAbstractZip* zip) {
  if (zip == m_pZip) return;
  delete m_pZip;
  m_pZip = zip;
}

void CMyExtract::SetLog(CAbstractLogSystem* log) {
  if (log == m_pLog) return;
  delete m_pLog;
  m_pLog = log;
}

int32_t CMyExtract::SetLogWindow(WindowHandle window) {
  if (m_pLog) m_pLog->SetWindow(window);
  return 0;
}

File* CMyExtract::PackageForRun(std::unique_ptr<File>* opened) {
  if (m_package) return m_package.get();
  *opened = CurrentHost().OpenFile(m_strPackagePath, FileAccess::kRead, kShareRead | kShareWrite,
                                   FileCreate::kOpenExisting);
  return opened->get();
}

void CMyExtract::ResetProject() {
  // The project is embedded so GetProject's pointer stays valid for the
  // extractor's life; rebuilding it in place is the one way to empty every
  // record of it, descriptive ones included.
  m_project.~CInstallProject();
  new (&m_project) CInstallProject();
}

int32_t CMyExtract::Verify(const std::wstring& packagePath) {
  std::unique_ptr<File> package = CurrentHost().OpenFile(packagePath, FileAccess::kRead, kShareRead | kShareWrite,
                                                         FileCreate::kOpenExisting);
  if (!package) return kResultCannotOpen;
  TrailerInfo info;
  return FindTrailer(*package, &info);
}

int32_t CMyExtract::Open(const std::wstring& packagePath) {
  return Open(CurrentHost().OpenFile(packagePath, FileAccess::kRead, kShareRead | kShareWrite,
                                     FileCreate::kOpenExisting));
}

int32_t CMyExtract::Open(std::unique_ptr<File> package) {
  m_nCount = 0;
  m_package.reset();
  m_trailer = TrailerInfo();
  if (!package) return kResultCannotOpen;
  int32_t r = ReadFileTable(*package, m_table, &m_nCount, &m_trailer);
  if (r != kResultOk) return r;
  r = LoadIndex(package.get(), std::wstring());
  if (r == kResultOk) m_package = std::move(package);
  return r;
}

int32_t CMyExtract::LoadIndex(File* package, const std::wstring&) {
  ResetProject();
  if (!package || !m_pZip || m_nCount < 1) return kResultCannotCreate;
  const CFileTableEntry& index = m_table[0];
  if (index.m_nExpandedSize < 0 || index.m_nExpandedSize > kMaxIndexBytes) return kResultCannotCreate;
  const auto expected = static_cast<size_t>(index.m_nExpandedSize);
  try {
    // One buffer more than the record, so a stream that runs on is seen
    // running on without the block being moved.
    IndexBuffer buffer(expected + CMyZip::kBufferSize);
    if (!ExpandStream(*m_pZip, *package, index.m_nOffset, index.m_nPackedSize, index.m_nExpandedSize, buffer,
                      nullptr, nullptr) ||
        buffer.Bytes().size() != expected)
      return kResultCannotCreate;
    MemoryStream stream(buffer.Bytes().data(), buffer.Bytes().size());
    CArchive ar(&stream, CArchive::load);
    m_project.Serialize(ar);
  } catch (const std::exception&) {
    // A damaged archive, or no memory for the buffer or the project.
    ResetProject();
    return kResultCannotCreate;
  }
  return kResultOk;
}

int32_t CMyExtract::ExtractAll(const std::wstring& destination, ProgressCallback callback, void* userData) {
  if (destination.empty()) return kResultNoDestination;
  m_strDestination = destination;
  CreateDirectoryChain(AbsoluteOrAsGiven(destination));
  std::unique_ptr<File> opened;
  File* package = PackageForRun(&opened);
  if (!package) return kResultCannotOpen;
  for (CExtractFileList* group : m_project.GetFileGroups()) ExtractFileList(package, group, callback, userData);
  return kResultOk;
}

int32_t CMyExtract::ExtractGroup(const std::wstring& destination, const std::wstring& group, ProgressCallback callback,
                                 void* userData) {
  if (destination.empty()) return kResultNoDestination;
  CreateDirectoryChain(AbsoluteOrAsGiven(destination));
  std::unique_ptr<File> opened;
  File* package = PackageForRun(&opened);
  if (!package) return kResultCannotOpen;
  return ExtractGroupFrom(package, group, callback, userData);
}

int32_t CMyExtract::ExtractGroupFrom(File* package, const std::wstring& group, ProgressCallback callback,
                                     void* userData) {
  CExtractFileList* list = m_project.FindFileGroup(group);
  if (!list) return kResultNoGroup;
  return ExtractFileList(package, list, callback, userData);
}

int32_t CMyExtract::ExtractFileList(File* package, CExtractFileList* list, ProgressCallback callback,
                                    void* userData) {
  if (!list || !list->GetTree().GetRoot()) return kResultOk;
  return ExtractNode(package, list->GetTree().GetRoot(), callback, userData);
}

CMyExtract::Place CMyExtract::PlaceOf(CNode* node) {
  // Names collected from the parent upwards, joined once the anchor is known.
  std::vector<std::wstring> names;
  Place place;
  auto joined = [&](const std::wstring& base) {
    std::wstring path = base.empty() ? std::wstring() : WithSeparator(base);
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += *it + L"\\";
    return path;
  };
  for (CNode* a = node->GetParent(); a; a = a->GetParent()) {
    auto* item = DynamicDowncast<CZipFileIndexObject>(a->GetData());
    if (!item) continue;
    if (item->GetDestinationFlag()) {
      // Made absolute first: ".\out" or "x\..\y" name a folder as well
      // as "C:\out" does, and containment is only decided between
      // normalised paths.
      std::wstring destination = m_strDestination.empty() ? std::wstring() : AbsolutePath(m_strDestination);
      if (!destination.empty()) {
        place.anchor = destination;
        place.folderPath = joined(destination);
        Trace(L"create directory1" + place.folderPath);
      }
      return place;
    }
    if (item->GetPredefinedFlag()) {
      // A system folder is a complete path of its own: whatever lies above
      // it in the tree cannot lead anywhere else.
      std::wstring folder = item->GetTargetName();
      if (!folder.empty()) folder = AbsolutePath(folder);
      if (folder.empty()) continue;
      place.anchor = folder;
      place.folderPath = joined(folder);
      Trace(L"create directory2" + place.folderPath);
      return place;
    }
    const std::wstring& name = item->GetName();
    if (name.empty()) continue;
    if (!IsPlainName(name)) return Place();
    names.push_back(name);
    Trace(L"create directory2" + joined(std::wstring()));
  }
  return Place();
}

int32_t CMyExtract::ExtractNode(File* package, CNode* node, ProgressCallback callback, void* userData) {
  if (!node) return kResultOk;
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  if (item && !item->GetPredefinedFlag()) {
    Place place = PlaceOf(node);
    if (place.anchor.empty() || !IsWithinFolder(place.anchor, place.folderPath)) {
      // Relative to nothing we know: written here it would land in the
      // current folder, so it is not written at all.
      Trace(L"Skip " + item->GetName());
    } else if (ExtractItem(package, item, place.folderPath, callback, userData) != kResultOk) {
      return kResultCannotCreate;
    }
  }
  return ExtractChildren(package, node, callback, userData);
}

int32_t CMyExtract::ExtractChildren(File* package, CNode* node, ProgressCallback callback, void* userData) {
  if (!node) return kResultOk;
  for (int i = 0; i < node->GetChildCount(); ++i) ExtractNode(package, node->GetChild(i), callback, userData);
  return kResultOk;
}

int32_t CMyExtract::ExtractItem(File* package, CZipFileIndexObject* item, const std::wstring& folderPath,
                                ProgressCallback callback, void* userData) {
  if (!item || item->GetPredefinedFlag() || folderPath.empty()) return kResultOk;
  // A folder without a name is passed over in every path below it, so
  // there is nothing of its own to create.
  if (item->GetFolderFlag() && item->GetName().empty()) return kResultOk;
  if (!IsPlainName(item->GetName())) return kResultCannotCreate;
  Host& host = CurrentHost();
  std::wstring folder = WithSeparator(folderPath);
  std::wstring target = folder + item->GetName();

  if (item->GetFolderFlag()) {
    Trace(L"Create 4" + target);
    host.CreateDirectory(target);
    return kResultOk;
  }

  if (callback) {
    int32_t percent = m_pZip ? m_pZip->GetPercent() : 0;
    callback(kProgressFileBegin, &percent, userData);
  }
  Trace(L"Create 3" + target);
  if (!m_pZip || !package || item->GetOffset() < 0) return kResultCannotCreate;
  // A target that exists must be one we may replace.
  if (host.DirectoryExists(target)) return kResultCannotCreate;
  if (host.FileExists(target) && !host.OpenFile(target, FileAccess::kWrite, kShareRead | kShareWrite,
                                                FileCreate::kOpenExisting))
    return kResultCannotCreate;

  std::wstring partialPath;
  std::unique_ptr<File> partial = CreateUniqueFile(folder, L"~zr", &partialPath);
  if (!partial) return kResultCannotCreate;
  bool ok = ExpandStream(*m_pZip, *package, item->GetOffset(), item->GetPackedSize(), m_nFileLimit, *partial,
                         callback, userData);
  ok = partial->Flush() && ok;
  partial.reset();
  if (!ok || !host.MoveFile(partialPath, target)) {
    host.DeleteFile(partialPath);
    return kResultCannotCreate;
  }
  if (callback) {
    int32_t percent = m_pZip->GetPercent();
    callback(kProgressFileEnd, &percent, userData);
  }
  return kResultOk;
}

}  // namespace zor
