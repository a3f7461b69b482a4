#include "engine/build.h"

#include <limits>
#include <typeinfo>
#include <vector>

#include "engine/parallel_compressor.h"
#include "engine/paths.h"
#include "engine/system_error.h"
#include "model/archive.h"
#include "model/byte_stream.h"

namespace zor {
namespace {

constexpr int64_t kMaxPackageSize = std::numeric_limits<int32_t>::max();

const std::wstring& StartLine() {
  static const std::wstring line = std::wstring(38, L'-') + L"Build %s Start" + std::wstring(40, L'-');
  return line;
}
const std::wstring& SuccessLine() {
  static const std::wstring line = std::wstring(34, L'-') + L"Build project successfully" + std::wstring(29, L'-');
  return line;
}

void ReplaceAll(std::wstring& text, const std::wstring& what) {
  if (what.empty()) return;
  for (size_t pos = text.find(what); pos != std::wstring::npos; pos = text.find(what, pos)) text.erase(pos, what.size());
}

// Every file a build packs, in the order BuildFileGroups visits them.
void CollectItems(CNode* node, CParallelCompressor& compressor) {
  if (!node) return;
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  if (!item) return;
  if (!item->GetPredefinedFlag() && !node->HasChildren() && !item->GetSourcePath().empty())
    compressor.Add(item, item->GetSourcePath());
  for (int i = 0; i < node->GetChildCount(); ++i) CollectItems(node->GetChild(i), compressor);
}

}  // namespace

CMyBuild::CMyBuild() : m_pZip(new CMyZip), m_pLog(new CMyLogSystem) {}

CMyBuild::~CMyBuild() {
  m_pCompressor.reset();
  delete m_pZip;
  delete m_pLog;
}

void CMyBuild::SetZip(CAbstractZip* zip) {
  if (zip == m_pZip) return;
  delete m_pZip;
  m_pZip = zip;
}

void CMyBuild::SetLog(CAbstractLogSystem* log) {
  if (log == m_pLog) return;
  delete m_pLog;
  m_pLog = log;
}

CAbstractLogSystem& CMyBuild::Log() { return m_pLog ? *m_pLog : m_nullLog; }

void CMyBuild::SetProject(CInstallProject* project) {
  m_pProject = project;
  if (project) Log().SetLogFile(project->GetProjectInfo()->GetBuildLogPath());
}

int32_t CMyBuild::SetLogWindow(WindowHandle window) {
  Log().SetWindow(window);
  return 0;
}

void CMyBuild::StartParallel() {
  m_pCompressor.reset();
  // Another zip may compress differently; only our own is run on the
  // workers, so the bytes never depend on the thread count.
  if (m_nThreads == 0 || !m_pProject || !m_pZip || typeid(*m_pZip) != typeid(CMyZip)) return;
  CParallelCompressor::Limits limits;
  limits.workers = m_nThreads > 0 ? m_nThreads : 0;
  m_pCompressor = std::make_unique<CParallelCompressor>(limits);
  for (CExtractFileList* group : m_pProject->GetFileGroups()) CollectItems(group->GetTree().GetRoot(), *m_pCompressor);
  m_pCompressor->Start();
}

int32_t CMyBuild::Build(const std::wstring& outputPath, ProgressCallback callback, void* userData) {
  m_nCount = 0;
  Log().WriteText(StartLine(), outputPath);
  long error = 0;
  std::unique_ptr<File> output =
      CurrentHost().OpenFile(outputPath, FileAccess::kWrite, kShareRead, FileCreate::kCreateAlways, &error);
  if (!output) {
    SetLastSystemError(error);
    Log().WriteLastError(L"Error:Can not open file,Error is %s");
    return kResultCannotCreate;
  }
  StartParallel();
  int32_t r = BuildEngine(output.get(), callback, userData);
  if (r == kResultOk) r = BuildFileGroups(output.get(), callback, userData);
  m_pCompressor.reset();
  if (r == kResultOk) r = BuildProjectIndex(output.get(), callback, userData);
  if (r == kResultOk) r = BuildFileTable(output.get(), callback, userData);
  if (r == kResultOk && !output->Flush()) {
    Log().WriteLastError(L"Error:Can not write file,Error is %s");
    r = kResultCannotCreate;
  }
  output.reset();
  if (r != kResultOk) return r;
  Log().Write(SuccessLine());
  return kResultOk;
}

int32_t CMyBuild::BuildEngine(File* output, ProgressCallback, void*) {
  if (!m_pProject) {
    Log().Write(L"Error:No specifal project in build engine");
    return kResultNoProject;
  }
  std::wstring path = m_pProject->GetProductInfo()->GetEnginePath();
  if (path.empty()) {
    Log().Write(L"Error:Get empty engine path error in build engine");
    return kResultNoProject;
  }
  Log().WriteText(L"Build engine address in %s", path);
  long error = 0;
  std::unique_ptr<File> engine =
      CurrentHost().OpenFile(path, FileAccess::kRead, kShareRead, FileCreate::kOpenExisting, &error);
  if (!engine) {
    SetLastSystemError(error);
    Log().WriteNumber(L"Error:can not open engine file with error is %d", static_cast<int32_t>(error));
    return kResultNoProject;
  }
  std::vector<uint8_t> buffer(CMyZip::kBufferSize);
  int64_t copied = 0;
  for (;;) {
    int64_t n = engine->Read(buffer.data(), buffer.size());
    if (n < 0) {
      Log().WriteText(L"Error:can not read engine file %s", path);
      return kResultNoProject;
    }
    if (n == 0) break;
    copied += n;
    if (copied > kMaxPackageSize || output->Write(buffer.data(), static_cast<size_t>(n)) != n) {
      Log().WriteLastError(L"Error:Can not write file,Error is %s");
      return kResultCannotCreate;
    }
  }
  Log().Write(L"Build engine successfully");
  return kResultOk;
}

int32_t CMyBuild::BuildFileGroups(File* output, ProgressCallback callback, void* userData) {
  if (!m_pProject) {
    Log().Write(L"Error:No specifal project");
    return kResultNoProject;
  }
  for (CExtractFileList* group : m_pProject->GetFileGroups()) {
    int32_t r = BuildFileList(output, group, callback, userData);
    if (r != kResultOk) {
      Log().WriteText(L"Error when build %s", group->GetName());
      return r;
    }
  }
  return kResultOk;
}

int32_t CMyBuild::BuildFileList(File* output, CExtractFileList* list, ProgressCallback callback, void* userData) {
  if (!list || !list->GetTree().GetRoot()) return kResultOk;
  int32_t r = BuildNode(output, list->GetTree().GetRoot(), callback, userData);
  if (r != kResultOk) Log().WriteLastError(L"ERROR Build File Tree %s");
  return r;
}

int32_t CMyBuild::BuildNode(File* output, CNode* node, ProgressCallback callback, void* userData) {
  if (!node) return kResultOk;
  auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData());
  if (!item) return kResultOk;
  if (!item->GetPredefinedFlag() && !node->HasChildren()) {
    int32_t r = BuildItem(output, item, callback, userData);
    if (r != kResultOk) return r;
  }
  return BuildChildren(output, node, callback, userData);
}

int32_t CMyBuild::BuildChildren(File* output, CNode* node, ProgressCallback callback, void* userData) {
  if (!node) return kResultOk;
  for (int i = 0; i < node->GetChildCount(); ++i) {
    int32_t r = BuildNode(output, node->GetChild(i), callback, userData);
    if (r != kResultOk) return r;
  }
  return kResultOk;
}

int32_t CMyBuild::BuildItem(File* output, CZipFileIndexObject* item, ProgressCallback callback, void* userData) {
  if (!item || item->GetSourcePath().empty() || !m_pZip) return kResultOk;
  const std::wstring source = item->GetSourcePath();
  Log().WriteText(L"Build:%s", source);

  bool parallel = m_pCompressor && m_pCompressor->IsNext(item, source);
  long error = 0;
  std::unique_ptr<File> file;
  bool opened;
  if (parallel) {
    opened = m_pCompressor->OpenNext(&error);
  } else {
    file = CurrentHost().OpenFile(source, FileAccess::kRead, kShareRead | kShareWrite, FileCreate::kOpenExisting,
                                  &error);
    opened = file != nullptr;
  }
  if (!opened) {
    SetLastSystemError(error);
    if (parallel) m_pCompressor->SkipNext();
    if (IsFolder(source)) return kResultOk;
    Log().WriteText(L"ERROR:Can not build %s", source);
    Log().WriteLastError(L"ERROR reason is %s");
    return kResultSourceFailed;
  }

  if (callback) callback(kProgressFileBegin, const_cast<wchar_t*>(source.c_str()), userData);
  int64_t offset = output->Seek(0, SeekFrom::kCurrent);
  bool readFailed = false, writeFailed = offset < 0 || offset > kMaxPackageSize;
  long readError = kErrSuccess;
  int32_t length = 0;
  if (writeFailed) {
    if (parallel) m_pCompressor->SkipNext();
  } else if (parallel) {
    CParallelCompressor::Outcome o = m_pCompressor->WriteNext(output, [&](int32_t percent) {
      if (callback) callback(kProgressFileStep, &percent, userData);
    });
    readFailed = o.readFailed;
    readError = o.readError;
    writeFailed = o.writeFailed;
    length = o.streamLength;
  } else {
    CAbstractZip& zip = *m_pZip;
    zip.Begin(1);
    int64_t size = file->Size();
    zip.SetTotal(size < 0 ? 0 : size > kMaxPackageSize ? static_cast<int32_t>(kMaxPackageSize)
                                                       : static_cast<int32_t>(size));
    for (;;) {
      int32_t n = zip.CompressRead(file.get());
      if (n < 0) {
        readFailed = true;
        readError = file->LastError();
      }
      if (n <= 0) break;
      int r = zip.Compress(Z_NO_FLUSH);
      if (zip.CompressWrite(output) < 0) writeFailed = true;
      if (writeFailed || r != Z_OK) break;
      if (callback) {
        int32_t percent = zip.GetPercent();
        callback(kProgressFileStep, &percent, userData);
      }
    }
    file.reset();
    int r = Z_OK;
    while (!readFailed && !writeFailed && r == Z_OK) {
      r = zip.Compress(Z_FINISH);
      if (zip.CompressWrite(output) < 0) writeFailed = true;
    }
    if (!readFailed && !writeFailed && r != Z_STREAM_END) readFailed = true;
    zip.End(1);
    length = zip.GetOutputTotal();
  }

  if (readFailed) {
    // The log names why the source stopped; a stream zlib could not finish
    // without any read failing can only have run out of memory.
    SetLastSystemError(readError != kErrSuccess ? readError : kErrNotEnoughMemory);
    Log().WriteText(L"ERROR:Can not build %s", source);
    Log().WriteLastError(L"ERROR reason is %s");
    return kResultSourceFailed;
  }
  if (writeFailed || offset + length > kMaxPackageSize) {
    Log().WriteLastError(L"Error:Can not write file,Error is %s");
    return kResultCannotCreate;
  }
  item->SetOffset(static_cast<int32_t>(offset));
  item->SetPackedSize(length);
  if (callback) callback(kProgressFileEnd, nullptr, userData);
  return kResultOk;
}

int32_t CMyBuild::BuildProjectIndex(File* output, ProgressCallback callback, void* userData) {
  if (!m_pProject) return kResultNoProject;
  Host& host = CurrentHost();
  std::wstring tempFolder = host.TempFolder();
  std::wstring path;
  long error = 0;
  std::unique_ptr<File> file = CreateUniqueFile(tempFolder, L"Zor", &path, &error);
  if (!file) {
    SetLastSystemError(error);
    return kResultIndexFailed;
  }
  bool stored = true;
  try {
    FileStream stream(file.get());
    CArchive ar(&stream, CArchive::store);
    m_pProject->Serialize(ar);
    ar.Close();
  } catch (const std::exception&) {
    stored = false;
  }
  stored = file->Flush() && stored;
  file.reset();
  if (!stored) {
    host.DeleteFile(path);
    return kResultIndexFailed;
  }
  if (!AddFileTableEntry(path, tempFolder)) {
    Log().WriteNumber(L"Error when build projectIndexFile add file error %D", static_cast<int32_t>(LastSystemError()));
    host.DeleteFile(path);
    return kResultIndexFailed;
  }
  CZipFileIndexObject index;
  index.SetSourcePath(path);
  int32_t r = BuildItem(output, &index, callback, userData);
  host.DeleteFile(path);
  if (r != kResultOk) return r;
  m_table[m_nCount - 1].m_nOffset = index.GetOffset();
  m_table[m_nCount - 1].m_nPackedSize = index.GetPackedSize();
  Log().Write(L"Build project index file");
  return kResultOk;
}

int CMyBuild::AddFileTableEntry(const std::wstring& sourcePath, const std::wstring& baseFolder) {
  if (m_nCount >= kFileTableSlots) return 0;
  long error = 0;
  std::unique_ptr<File> file = CurrentHost().OpenFile(sourcePath, FileAccess::kRead, kShareRead | kShareWrite,
                                                      FileCreate::kOpenExisting, &error);
  if (!file) {
    SetLastSystemError(error);
    return 0;
  }
  int64_t size = file->Size();
  file.reset();
  CFileTableEntry& e = m_table[m_nCount];
  e = CFileTableEntry();
  e.m_nExpandedSize = size < 0 ? 0 : size > kMaxPackageSize ? static_cast<int32_t>(kMaxPackageSize)
                                                            : static_cast<int32_t>(size);
  e.m_strSourcePath = sourcePath;
  e.m_strName = FileNameOf(sourcePath);
  e.m_strFolder = sourcePath;
  ReplaceAll(e.m_strFolder, e.m_strName);
  ReplaceAll(e.m_strFolder, WithSeparator(baseFolder));
  ++m_nCount;
  return 1;
}

int CMyBuild::IsFolder(const std::wstring& path) { return CurrentHost().DirectoryExists(path) ? 1 : 0; }

int32_t CMyBuild::BuildFileTable(File* output, ProgressCallback, void*) {
  std::string bytes;
  if (!EncodeFileTable(m_table, m_nCount, &bytes)) return kResultCannotCreate;
  int64_t at = output->Seek(0, SeekFrom::kCurrent);
  if (at < 0 || at + static_cast<int64_t>(bytes.size()) > kMaxPackageSize ||
      output->Write(bytes.data(), bytes.size()) != static_cast<int64_t>(bytes.size()))
    return kResultCannotCreate;
  Log().Write(L"Build file table data and singnature");
  return kResultOk;
}

}  // namespace zor
