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
  // then empty) or 1002.
  int32_t Open(const std::wstring& packagePath) override;
  // Expands entry 0 into the temporary folder, loads the project from it
  // and removes the file again: 1005 or 1002.
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
  // stream that is missing, damaged or cut short.
  int32_t ExtractItem(File* package, CZipFileIndexObject* item, const std::wstring& folderPath,
                      ProgressCallback callback, void* userData) override;

  void SetPackagePath(const std::wstring& path) { m_strPackagePath = path; }
  const std::wstring& GetPackagePath() const { return m_strPackagePath; }
  int32_t GetCount() const { return m_nCount; }
  const CFileTableEntry& GetEntry(int i) const { return m_table[i]; }

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
  std::unique_ptr<File> OpenPackage(long* error = nullptr);

  CFileTableEntry m_table[kFileTableSlots];
  int32_t m_nCount = 0;
  CAbstractZip* m_pZip = nullptr;        // owned
  CAbstractLogSystem* m_pLog = nullptr;  // owned
  CInstallProject m_project;
  std::wstring m_strPackagePath;
  std::wstring m_strDestination;
};

}  // namespace zor
