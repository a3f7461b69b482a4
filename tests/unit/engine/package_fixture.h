// A small product for builder and reader tests: an engine, a few source
// files and file groups shaped like a real product's, on the test host.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "engine/build.h"
#include "engine/extract.h"
#include "model/archive.h"
#include "model/byte_stream.h"
#include "model/file_list.h"
#include "model/install_project.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/engine/engine_fixtures.h"

namespace zortest {

inline CNode* Node(CZipFileIndexObject* item, std::initializer_list<CNode*> children = {}) {
  CNode* node = new CNode;
  node->SetData(item);
  for (CNode* c : children) node->AddChild(c);
  return node;
}

inline CNode* FolderNode(const std::wstring& name, std::initializer_list<CNode*> children = {},
                         bool destination = false) {
  auto* item = new CZipFileIndexObject;
  item->SetName(name);
  item->SetFolderFlag(1);
  item->SetDestinationFlag(destination ? 1 : 0);
  return Node(item, children);
}

inline CNode* SystemNode(const std::wstring& keyword, int id, std::initializer_list<CNode*> children = {}) {
  auto* item = new CZipFileIndexObject;
  CPreDefineFolder folder(keyword, id);
  item->SetPredefinedFolder(&folder);
  item->SetFolderFlag(1);
  item->SetPredefinedFlag(1);
  return Node(item, children);
}

inline CNode* FileNode(const std::wstring& name, const std::wstring& source) {
  auto* item = new CZipFileIndexObject;
  item->SetName(name);
  item->SetSourcePath(source);
  return Node(item);
}

inline CExtractFileList* Group(const std::wstring& name, CNode* root) {
  auto* group = new CExtractFileList;
  group->SetName(name);
  group->GetTree().SetRoot(root);
  return group;
}

inline CZipFileIndexObject* ItemOf(CNode* node) { return static_cast<CZipFileIndexObject*>(node->GetData()); }

// Finds the first node named `name` in pre-order.
inline CNode* FindNode(CNode* node, const std::wstring& name) {
  if (!node) return nullptr;
  if (auto* item = DynamicDowncast<CZipFileIndexObject>(node->GetData()))
    if (item->GetName() == name) return node;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (CNode* n = FindNode(node->GetChild(i), name)) return n;
  return nullptr;
}

struct CallbackLog {
  struct Call {
    int32_t code;
    std::wstring text;  // the builder's source path for 1000
    int32_t number;     // the percentage, -1 without one
    bool null;
  };
  std::vector<Call> calls;
  // How the builder's and the reader's callbacks read their data.
  bool builder = true;

  static void Record(int32_t code, void* data, void* user) {
    auto* self = static_cast<CallbackLog*>(user);
    Call c{code, std::wstring(), -1, data == nullptr};
    if (data && self->builder && code == zor::kProgressFileBegin)
      c.text = static_cast<const wchar_t*>(data);
    else if (data)
      c.number = *static_cast<int32_t*>(data);
    self->calls.push_back(c);
  }
  std::vector<int32_t> Codes() const {
    std::vector<int32_t> out;
    for (const Call& c : calls) out.push_back(c.code);
    return out;
  }
};

// The test host with an engine, sources and the system folders mapped.
class PackageBench {
 public:
  static constexpr int kProgramFiles = 38;
  static constexpr int kSystem = 37;
  static constexpr int kWindows = 36;

  PackageBench() : scope_(&host) {
    host.AddDirectory(L"C:\\Temp");
    host.AddDirectory(L"C:\\Out");
    host.AddDirectory(L"C:\\Program Files");
    host.AddDirectory(L"C:\\Windows");
    host.AddDirectory(L"C:\\Windows\\System32");
    host.specialFolders[kProgramFiles] = L"C:\\Program Files";
    host.specialFolders[kSystem] = L"C:\\Windows\\System32";
    host.specialFolders[kWindows] = L"C:\\Windows";
    engine = "MZ" + SampleBytes(70001, 99);
    host.AddFile(L"C:\\Engine\\setup.exe", engine);
    AddSource(L"app.exe", SampleBytes(150000, 1));
    AddSource(L"core.dll", SampleBytes(5000, 2));
    AddSource(L"help.chm", std::string());
    AddSource(L"main.ini", "[main]\r\nlang=9\r\n");
    AddSource(L"driver.sys", SampleBytes(30000, 3));
    AddSource(L"common.dat", SampleBytes(90000, 4));
  }

  void AddSource(const std::wstring& name, const std::string& bytes) {
    host.AddFile(L"C:\\Src\\" + name, bytes);
    sources[name] = bytes;
  }
  std::wstring Src(const std::wstring& name) const { return L"C:\\Src\\" + name; }

  // A project with the groups "Common" and "English".
  void FillProject(CInstallProject& project) {
    project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
    project.GetProductInfo()->SetVersion(L"3.0.1");
    project.GetProjectInfo()->SetBuildLogPath(L"C:\\Out\\build.log");
    project.AddFileGroup(Group(
        L"Common",
        SystemNode(L"Destination Computer", -1,
                   {SystemNode(L"[ProgramFilesFolder]", kProgramFiles,
                               {FolderNode(L"Tarvex", {FolderNode(L"Lumaglimpse",
                                                                  {FileNode(L"common.dat", Src(L"common.dat"))},
                                                                  true)})})})));
    project.AddFileGroup(Group(
        L"English",
        SystemNode(L"Destination Computer", -1,
                   {SystemNode(L"[ProgramFilesFolder]", kProgramFiles,
                               {FolderNode(L"Tarvex",
                                           {FolderNode(L"Lumaglimpse",
                                                       {FileNode(L"app.exe", Src(L"app.exe")),
                                                        FileNode(L"core.dll", Src(L"core.dll")),
                                                        FileNode(L"help.chm", Src(L"help.chm")),
                                                        FolderNode(L"gui", {FileNode(L"main.ini", Src(L"main.ini"))})},
                                                       true)})}),
                    SystemNode(L"[SystemFolder]", kSystem, {FileNode(L"driver.sys", Src(L"driver.sys"))}),
                    SystemNode(L"[WindowsFolder]", kWindows)})));
  }

  // Builds `project` into `path` and returns the builder's result.
  int32_t Build(CInstallProject& project, const std::wstring& path, int threads = -1,
                CallbackLog* log = nullptr) {
    zor::CMyBuild builder;
    builder.SetCompressionThreads(threads);
    builder.SetProject(&project);
    return builder.Build(path, log ? &CallbackLog::Record : nullptr, log);
  }

  std::string Bytes(const std::wstring& path) const {
    auto b = host.FileBytes(path);
    return b ? *b : std::string("<missing>");
  }

  // Paths of the files whose name starts with `prefix` (any folder).
  std::vector<std::wstring> FilesNamed(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const std::wstring& p : host.FilePaths())
      if (zor::AsciiLower(p.substr(p.find_last_of(L"\\/") + 1)).rfind(zor::AsciiLower(prefix), 0) == 0)
        out.push_back(p);
    return out;
  }

  zor::TestHost host;
  std::string engine;
  std::map<std::wstring, std::string> sources;

 private:
  zor::ScopedHost scope_;
};

// The project's archive bytes, as the builder stores them in the index.
inline std::string Serialized(CInstallProject& project) {
  MemoryStream stream;
  CArchive ar(&stream, CArchive::store);
  project.Serialize(ar);
  ar.Close();
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

}  // namespace zortest
