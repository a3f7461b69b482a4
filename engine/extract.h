// CAbstractExtract and CMyExtract: the package reader.
//
// Open finds the trailer of a package, expands the project index and loads
// the project; the extraction operations then recreate the folders and
// files of one file group (or of all) below the destination and the
// system's folders, reporting each file through a ProgressCallback:
//   1000 before a file is expanded   data: int32_t*, the zip's percentage
//   1002 after each expanded chunk   data: int32_t*, the file's percentage
//   1001 after the file is in place  data: int32_t*, its final percentage
//
// Names in a package are data, not paths: a node whose name could leave its
// folder is refused, and a node whose place reaches neither the destination
// nor a resolved system folder is skipped, so nothing is ever written
// anywhere else. The destination and system folders themselves are taken as
// the absolute folders they name (".\out" against the working folder)
// before containment is decided; a folder without a name is passed over. A file is expanded beside its target and renamed into
// place only once its whole stream has checked out, so a damaged package
// never replaces a good file.
//
// Sizes are bounded where a package lets a stream run on: the project index
// is expanded into memory, only up to the expanded size its file-table
// entry records and never past kMaxIndexBytes, and checked whole before the
// project is loaded from it; a file's stream is stopped, and its partial
// file removed, once it expands past kMaxFileBytes.
//
// Open keeps the package it opened until the extractor goes or opens
// another; every extraction reads that one file, since the offsets in the
// loaded project belong to it and to no file put in its place since.
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

// The product's own project index is about 47 KB for some two hundred
// files: a project takes roughly a quarter of a kilobyte per file. 64 MiB
// is room for a quarter of a million files, far beyond any setup, while a
// hostile package can make the reader hold no more than that.
constexpr int32_t kMaxIndexBytes = 64 << 20;
// Sizes in a package are signed 32-bit on both sides (file table, progress
// totals), so no file it describes is longer than this; a stream expanding
// further is taken for a bomb, not a file.
constexpr int64_t kMaxFileBytes = 0x7FFFFFFF;

class CAbstractExtract {
 public:
  virtual ~CAbstractExtract() = default;
  virtual int32_t ExtractAll(const std::wstring& destination, ProgressCallback callback, void* userData) = 0;
  virtual int32_t Verify(const std::wstring& packagePath) = 0;
  virtual int32_t Open(const std::wstring& packagePath) = 0;
  virtual int32_t LoadIndex(File* package, const std::wstring& tempFolder) = 0;
  virtual void SetZip(CAbstractZip* zip) = 0;
  virtual void SetLog(CAbstractLogSystem* log) = 0;
  virtual int32_t SetLogWindow(WindowHandle window) = 0;
  virtual CInstallProject* GetProject() = 0;
  virtual void SetDestination(const std::wstring& destination) = 0;
  virtual std::wstring GetDestination() = 0;
  virtual int32_t ExtractGroup(const std::wstring& destination, const std::wstring& group, ProgressCallback callback,
                               void* userData) = 0;
  virtual int32_t ExtractGroupFrom(File* package, const std::wstring& group, ProgressCallback callback,
                                   void* userData) = 0;
  virtual int32_t ExtractFileList(File* package, CExtractFileList* list, ProgressCallback callback,
                                  void* userData) = 0;
  virtual int32_t ExtractNode(File* package, CNode* node, ProgressCallback callback, void* userData) = 0;
  virtual int32_t ExtractChildren(File* package, CNode* node, ProgressCallback callback, void* userData) = 0;
  virtual int32_t ExtractItem(File* package, CZipFileIndexObject* item, const std::wstring& folderPath,
                              ProgressCallback callback, void* userData) = 0;
};

class CMyExtract : public CAbstractExtract {
 public:
  CMyExtract();
  ~CMyExtract() override;
  CMyExtract(const CMyExtract&) = delete;
  CMyExtract& operator=(const CMyExtract&) = delete;

  // Creates the destination and extracts every file group into it: 1011,
  // 1000 or 1002.
  int32_t ExtractAll(const std::wstring& destination, ProgressCallback callback, void* userData) override;
  // Checks the trailer only: 1000, 1001, 1004 or 1002.
  int32_t Verify(const std::wstring& packagePath) override;
  // Reads the file table and loads the project from the index: 1000, 1001,
  // 1004, 1005 (the index cannot be expanded or decoded; the project is
  // then empty) or 1002. On 1002 the package stays open for the extraction
  // operations; on anything else no package is held.
  int32_t Open(const std::wstring& packagePath) override;
  // The same on a package the caller opened; the extractor takes it over.
  int32_t Open(std::unique_ptr<File> package);
  // Expands entry 0 into memory and loads the project from it: 1005 (the
  // project is then empty) or 1002. The index is refused before anything is
  // loaded when its entry records more than kMaxIndexBytes, or its stream
  // does not end, checksum intact, at exactly the recorded size. Nothing is
  // written, so `tempFolder` is not used.
  int32_t LoadIndex(File* package, const std::wstring& tempFolder) override;
  void SetZip(CAbstractZip* zip) override;
  void SetLog(CAbstractLogSystem* log) override;
  int32_t SetLogWindow(WindowHandle window) override;
  CInstallProject* GetProject() override { return &m_project; }
  void SetDestination(const std::wstring& destination) override { m_strDestination = destination; }
  std::wstring GetDestination() override { return m_strDestination; }
  // Extracts the named group below the stored destination (`destination` is
  // only created): 1011, 1000, or what ExtractGroupFrom returned.
  int32_t ExtractGroup(const std::wstring& destination, const std::wstring& group, ProgressCallback callback,
                       void* userData) override;
  // 1010 when no group has exactly that name, else ExtractFileList's result.
  int32_t ExtractGroupFrom(File* package, const std::wstring& group, ProgressCallback callback,
                           void* userData) override;
  int32_t ExtractFileList(File* package, CExtractFileList* list, ProgressCallback callback, void* userData) override;
  // Extracts the node and then its children; 1005 when the node itself
  // failed (its children are then left alone).
  int32_t ExtractNode(File* package, CNode* node, ProgressCallback callback, void* userData) override;
  int32_t ExtractChildren(File* package, CNode* node, ProgressCallback callback, void* userData) override;
  // Creates the folder or expands the file `item` into `folderPath`: 1002,
  // or 1005 for a refused name, a target that cannot be written, or a
  // stream that is missing, damaged, cut short or longer than the file
  // limit.
  int32_t ExtractItem(File* package, CZipFileIndexObject* item, const std::wstring& folderPath,
                      ProgressCallback callback, void* userData) override;

  void SetPackagePath(const std::wstring& path) { m_strPackagePath = path; }
  const std::wstring& GetPackagePath() const { return m_strPackagePath; }
  int32_t GetCount() const { return m_nCount; }
  const CFileTableEntry& GetEntry(int i) const { return m_table[i]; }
  // What the trailer search of the last Open found (see TrailerInfo).
  const TrailerInfo& GetTrailer() const { return m_trailer; }
  // The package the last successful Open read, or null.
  File* GetPackage() const { return m_package.get(); }
  // The longest file a stream may expand to (kMaxFileBytes unless lowered).
  void SetFileLimit(int64_t bytes) { m_nFileLimit = bytes; }
  int64_t GetFileLimit() const { return m_nFileLimit; }

 private:
  // Where a node's children go: the folder path, and the folder it was
  // anchored to (the destination or a system folder); empty when the walk
  // reached neither.
  struct Place {
    std::wstring folderPath;
    std::wstring anchor;
  };
  Place PlaceOf(CNode* node);
  void ResetProject();
  // The package Open keeps, or, before any Open succeeded, the file at the
  // package path (owned by `opened`).
  File* PackageForRun(std::unique_ptr<File>* opened);

  CFileTableEntry m_table[kFileTableSlots];
  int32_t m_nCount = 0;
  CAbstractZip* m_pZip = nullptr;        // owned
  CAbstractLogSystem* m_pLog = nullptr;  // owned
  CInstallProject m_project;
  std::wstring m_strPackagePath;
  std::wstring m_strDestination;
  std::unique_ptr<File> m_package;
  TrailerInfo m_trailer;
  int64_t m_nFileLimit = kMaxFileBytes;
};

}  // namespace zor
