// CAbstractBuild and CMyBuild: the package builder.
//
// A package is the engine executable, one zlib stream per file of every
// file group (groups in list order, each tree in pre-order), the project
// index stream and the file table. Every step is logged, and each file is
// reported through a ProgressCallback:
//   1000 the source is open and about to be packed   data: const wchar_t*, its path
//   1002 after each compressed chunk                 data: int32_t*, percent of the source
//   1001 the file's stream is complete               data: null
//
// Files are compressed on all processors while the package is still
// written strictly in order, so its bytes are those of a file-by-file
// build; the callback and the log are served on the caller's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/file_table.h"
#include "engine/log_system.h"
#include "engine/result_codes.h"
#include "engine/zip.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "model/obtree.h"
#include "platform/host.h"

namespace zor {

class CParallelCompressor;

class CAbstractBuild {
 public:
  virtual ~CAbstractBuild() = default;
  virtual void SetZip(CAbstractZip* zip) = 0;
  virtual void SetProject(CInstallProject* project) = 0;
  virtual void SetLog(CAbstractLogSystem* log) = 0;
  virtual int32_t Build(const std::wstring& outputPath, ProgressCallback callback, void* userData) = 0;
  virtual int32_t BuildEngine(File* output, ProgressCallback callback, void* userData) = 0;
  virtual int32_t BuildFileGroups(File* output, ProgressCallback callback, void* userData) = 0;
  virtual int32_t SetLogWindow(WindowHandle window) = 0;
};

class CMyBuild : public CAbstractBuild {
 public:
  CMyBuild();
  ~CMyBuild() override;
  CMyBuild(const CMyBuild&) = delete;
  CMyBuild& operator=(const CMyBuild&) = delete;

  void SetZip(CAbstractZip* zip) override;
  // Not owned. Hands the project's build log path to the log.
  void SetProject(CInstallProject* project) override;
  void SetLog(CAbstractLogSystem* log) override;
  // Writes the whole package: 1002, or the first failing step's code (1005
  // also when the output cannot be created or written). A failed build
  // leaves its partial output behind.
  int32_t Build(const std::wstring& outputPath, ProgressCallback callback, void* userData) override;
  // Copies the engine executable: 1002, 1008 or 1005.
  int32_t BuildEngine(File* output, ProgressCallback callback, void* userData) override;
  // Packs every file group: 1002, 1008 or the failing group's code.
  int32_t BuildFileGroups(File* output, ProgressCallback callback, void* userData) override;
  int32_t SetLogWindow(WindowHandle window) override;

  // Serializes the project into a temporary file and packs it as file-table
  // entry: 1002, 1008, 1009 or BuildItem's code. The temporary file is
  // removed afterwards.
  virtual int32_t BuildProjectIndex(File* output, ProgressCallback callback, void* userData);
  // Writes the file table, count, version and signature: 1002 or 1005.
  virtual int32_t BuildFileTable(File* output, ProgressCallback callback, void* userData);
  virtual int32_t BuildFileList(File* output, CExtractFileList* list, ProgressCallback callback, void* userData);
  // Packs the node when it is a leaf that is no predefined folder, then its
  // children.
  virtual int32_t BuildNode(File* output, CNode* node, ProgressCallback callback, void* userData);
  virtual int32_t BuildChildren(File* output, CNode* node, ProgressCallback callback, void* userData);
  // Packs one file and records its offset and packed size in the item:
  // 1002 (also for an empty source path or a source that is a folder), 1006
  // when the source cannot be read, 1005 when the output refuses the bytes
  // or the package would pass 2,147,483,647 bytes.
  virtual int32_t BuildItem(File* output, CZipFileIndexObject* item, ProgressCallback callback, void* userData);

  // 1 when an entry was added; 0 when the table is full or the source
  // cannot be opened.
  int AddFileTableEntry(const std::wstring& sourcePath, const std::wstring& baseFolder);
  // 1 when `path` names a folder.
  int IsFolder(const std::wstring& path);

  // Worker threads for compression: 0 packs file by file on the caller's
  // thread; below 0 (the default) uses every processor. Either way the
  // package's bytes are the same.
  void SetCompressionThreads(int threads) { m_nThreads = threads; }

  int32_t GetCount() const { return m_nCount; }
  const CFileTableEntry& GetEntry(int i) const { return m_table[i]; }

 private:
  CAbstractLogSystem& Log();
  void StartParallel();
  int32_t CompressInline(File* output, File* source, ProgressCallback callback, void* userData, int32_t* length,
                         bool* readFailed);

  CInstallProject* m_pProject = nullptr;  // not owned
  CAbstractZip* m_pZip = nullptr;         // owned
  CAbstractLogSystem* m_pLog = nullptr;   // owned
  CFileTableEntry m_table[kFileTableSlots];
  int32_t m_nCount = 0;
  int m_nThreads = -1;
  std::unique_ptr<CParallelCompressor> m_pCompressor;  // during Build only
  CMyLogSystem m_nullLog;  // stands in when the log was set to none
};

}  // namespace zor
