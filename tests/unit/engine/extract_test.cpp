#include "engine/extract.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "engine/file_table.h"
#include "engine/paths.h"
#include "model/archive.h"
#include "model/byte_stream.h"
#include "tests/unit/engine/package_fixture.h"

namespace {

using zortest::Serialized;
using zortest::Zlib;

using zortest::CallbackLog;
using zortest::FileNode;
using zortest::FolderNode;
using zortest::Group;
using zortest::PackageBench;
using zortest::SystemNode;

const std::wstring kPackage = L"C:\\Out\\package.exe";
const std::wstring kDest = L"C:\\Program Files\\Tarvex\\Lumaglimpse\\";

// A package made by hand: engine, then `body`, then an index stream, table.
std::string HandPackage(const std::string& body, const std::string& indexStream, int32_t expanded,
                        const std::wstring& name = L"Zor1.tmp") {
  std::string engine = "MZ-engine";
  zor::CFileTableEntry e;
  e.m_strName = name;
  e.m_nOffset = static_cast<int32_t>(engine.size() + body.size());
  e.m_nPackedSize = static_cast<int32_t>(indexStream.size());
  e.m_nExpandedSize = expanded;
  std::string table;
  EXPECT_TRUE(zor::EncodeFileTable(&e, 1, &table));
  return engine + body + indexStream + table;
}

// Files the host holds whose path is not one of the bench's own.
std::vector<std::wstring> Written(const PackageBench& bench) {
  std::vector<std::wstring> out;
  for (const std::wstring& p : bench.host.FilePaths()) {
    std::wstring lower = zor::AsciiLower(p);
    if (lower.rfind(L"c:\\src\\", 0) == 0 || lower.rfind(L"c:\\engine\\", 0) == 0 || lower.rfind(L"c:\\out\\", 0) == 0)
      continue;
    out.push_back(p);
  }
  std::sort(out.begin(), out.end());
  return out;
}

class Extract : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.FillProject(built);
    ASSERT_EQ(bench.Build(built, kPackage), zor::kResultOk);
    reader.SetPackagePath(kPackage);
  }
  int32_t OpenAndExtract(const std::wstring& group, CallbackLog* calls = nullptr) {
    EXPECT_EQ(reader.Open(kPackage), zor::kResultOk);
    reader.SetDestination(kDest);
    return reader.ExtractGroup(kDest, group, calls ? &CallbackLog::Record : nullptr, calls);
  }

  PackageBench bench;
  CInstallProject built;
  zor::CMyExtract reader;
};

TEST_F(Extract, RoundTripPutsEveryFileInItsPlace) {
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  EXPECT_EQ(reader.GetCount(), 1);
  EXPECT_EQ(reader.GetProject()->GetProductInfo()->GetVersion(), L"3.0.1");
  // The loaded groups carry the offsets of the streams.
  EXPECT_EQ(Serialized(*reader.GetProject()), Serialized(built));
  EXPECT_TRUE(bench.FilesNamed(L"Zor").empty());  // the index file is gone again

  reader.SetDestination(kDest);
  EXPECT_EQ(reader.GetDestination(), kDest);
  CallbackLog calls;
  calls.builder = false;
  EXPECT_EQ(reader.ExtractGroup(kDest, L"Common", &CallbackLog::Record, &calls), zor::kResultOk);
  EXPECT_EQ(reader.ExtractGroup(kDest, L"English", &CallbackLog::Record, &calls), zor::kResultOk);

  EXPECT_EQ(bench.Bytes(kDest + L"common.dat"), bench.sources[L"common.dat"]);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), bench.sources[L"app.exe"]);
  EXPECT_EQ(bench.Bytes(kDest + L"core.dll"), bench.sources[L"core.dll"]);
  EXPECT_EQ(bench.Bytes(kDest + L"help.chm"), "");
  EXPECT_EQ(bench.Bytes(kDest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
  EXPECT_EQ(bench.Bytes(L"C:\\Windows\\System32\\driver.sys"), bench.sources[L"driver.sys"]);
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\Program Files\\Tarvex"));
  EXPECT_TRUE(bench.host.HasDirectory(kDest + L"gui"));
  EXPECT_EQ(Written(bench).size(), 6u);

  // Each file: 1000, its steps, 1001 with its final percentage.
  std::vector<int32_t> codes = calls.Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), zor::kProgressFileBegin), 6);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), zor::kProgressFileEnd), 6);
  for (size_t i = 0; i < calls.calls.size(); ++i) {
    const auto& c = calls.calls[i];
    EXPECT_FALSE(c.null);
    if (c.code == zor::kProgressFileBegin) {
      EXPECT_TRUE(i == 0 || calls.calls[i - 1].code == zor::kProgressFileEnd);
    }
    if (c.code == zor::kProgressFileEnd) {
      EXPECT_EQ(c.number, 100);
    }
  }
  // Debug traces name the places, as the setup's developers expect them.
  auto& lines = bench.host.debugLines;
  EXPECT_NE(std::find(lines.begin(), lines.end(), L"create directory1" + kDest), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), L"Create 3" + kDest + L"gui\\main.ini"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), L"Create 4C:\\Program Files\\Tarvex"), lines.end());
}

TEST_F(Extract, LargeFilesReportEveryChunk) {
  std::string big;
  std::mt19937 rng(5);
  for (int i = 0; i < 200000; ++i) big += static_cast<char>(rng());
  bench.AddSource(L"video.bin", big);
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  project.AddFileGroup(Group(L"G", FolderNode(L"D", {FileNode(L"video.bin", bench.Src(L"video.bin"))}, true)));
  ASSERT_EQ(bench.Build(project, kPackage), zor::kResultOk);
  CallbackLog calls;
  calls.builder = false;
  ASSERT_EQ(OpenAndExtract(L"G", &calls), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(kDest + L"video.bin"), big);
  std::vector<int32_t> steps;
  for (const auto& c : calls.calls)
    if (c.code == zor::kProgressFileStep) steps.push_back(c.number);
  ASSERT_GE(steps.size(), 4u);  // 200,000 packed bytes in reads of 40,960
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_EQ(calls.calls.front().code, zor::kProgressFileBegin);
  EXPECT_EQ(calls.calls.back().code, zor::kProgressFileEnd);
}

TEST_F(Extract, GroupNamesMatchExactly) {
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  reader.SetDestination(kDest);
  EXPECT_EQ(reader.ExtractGroup(kDest, L"english", nullptr, nullptr), zor::kResultNoGroup);
  EXPECT_EQ(reader.ExtractGroup(kDest, L"Nope", nullptr, nullptr), zor::kResultNoGroup);
  EXPECT_TRUE(Written(bench).empty());
  EXPECT_EQ(reader.ExtractGroup(kDest, L"English", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(Written(bench).size(), 5u);
}

TEST_F(Extract, EmptyDestinationIsRefusedBeforeAnythingIsOpened) {
  reader.SetPackagePath(L"C:\\missing.exe");
  EXPECT_EQ(reader.ExtractGroup(L"", L"English", nullptr, nullptr), zor::kResultNoDestination);
  EXPECT_EQ(reader.ExtractAll(L"", nullptr, nullptr), zor::kResultNoDestination);
  EXPECT_EQ(reader.ExtractGroup(kDest, L"English", nullptr, nullptr), zor::kResultCannotOpen);
  EXPECT_EQ(reader.ExtractAll(kDest, nullptr, nullptr), zor::kResultCannotOpen);
  EXPECT_EQ(reader.Open(L"C:\\missing.exe"), zor::kResultCannotOpen);
  EXPECT_EQ(reader.Verify(L"C:\\missing.exe"), zor::kResultCannotOpen);
}

TEST_F(Extract, ExtractAllCreatesTheDestinationLevelByLevel) {
  const std::wstring dest = L"C:\\New\\Deep\\Er\\";
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  EXPECT_EQ(reader.ExtractAll(dest, nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(reader.GetDestination(), dest);
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\New\\Deep"));
  EXPECT_EQ(bench.Bytes(dest + L"common.dat"), bench.sources[L"common.dat"]);
  EXPECT_EQ(bench.Bytes(dest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
}

TEST_F(Extract, ExistingTargetsAreReplacedUnlessTheyCannotBeWritten) {
  bench.host.AddDirectory(L"C:\\Program Files\\Tarvex");
  bench.host.AddDirectory(kDest);
  bench.host.AddFile(kDest + L"app.exe", "old app");
  bench.host.AddFile(kDest + L"core.dll", "read-only dll");
  bench.host.readOnlyFiles.insert(kDest + L"core.dll");
  bench.host.AddFile(kDest + L"help.chm", "open elsewhere");
  bench.host.lockedFiles.insert(kDest + L"help.chm");
  EXPECT_EQ(OpenAndExtract(L"English"), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), bench.sources[L"app.exe"]);
  EXPECT_EQ(bench.Bytes(kDest + L"core.dll"), "read-only dll");
  EXPECT_EQ(bench.Bytes(kDest + L"help.chm"), "open elsewhere");
  EXPECT_EQ(bench.Bytes(kDest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
  EXPECT_EQ(bench.Bytes(L"C:\\Windows\\System32\\driver.sys"), bench.sources[L"driver.sys"]);
  EXPECT_TRUE(bench.FilesNamed(L"~zr").empty());

  zor::CMyExtract direct;
  zortest::SparseFile package(bench.Bytes(kPackage));
  CNode* core = zortest::FindNode(reader.GetProject()->FindFileGroup(L"English")->GetTree().GetRoot(), L"core.dll");
  EXPECT_EQ(direct.ExtractItem(&package, zortest::ItemOf(core), kDest, nullptr, nullptr), zor::kResultCannotCreate);
}

TEST_F(Extract, DamagedStreamsNeverReplaceGoodFiles) {
  std::string package = bench.Bytes(kPackage);
  CNode* root = built.FindFileGroup(L"English")->GetTree().GetRoot();
  CZipFileIndexObject* app = zortest::ItemOf(zortest::FindNode(root, L"app.exe"));
  CZipFileIndexObject* core = zortest::ItemOf(zortest::FindNode(root, L"core.dll"));
  package[static_cast<size_t>(app->GetOffset() + app->GetPackedSize() / 2)] ^= 0x5A;  // the data
  package[static_cast<size_t>(core->GetOffset() + core->GetPackedSize() - 1)] ^= 0x01;  // the checksum
  bench.host.AddFile(kPackage, package);
  bench.host.AddDirectory(L"C:\\Program Files\\Tarvex");
  bench.host.AddDirectory(kDest);
  bench.host.AddFile(kDest + L"app.exe", "good app");
  CallbackLog calls;
  calls.builder = false;
  EXPECT_EQ(OpenAndExtract(L"English", &calls), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), "good app");
  EXPECT_FALSE(bench.host.HasFile(kDest + L"core.dll"));
  EXPECT_EQ(bench.Bytes(kDest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
  EXPECT_TRUE(bench.FilesNamed(L"~zr").empty());
  // Failed files are announced but never completed.
  std::vector<int32_t> codes = calls.Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), zor::kProgressFileBegin), 5);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), zor::kProgressFileEnd), 3);

  zor::CMyExtract direct;
  direct.SetDestination(kDest);
  zortest::SparseFile damaged(package);
  EXPECT_EQ(direct.ExtractItem(&damaged, app, kDest, nullptr, nullptr), zor::kResultCannotCreate);
  // A stream that simply stops: the file ends before the stream does.
  std::string whole = bench.Bytes(kPackage);
  zortest::SparseFile cut(whole.substr(0, static_cast<size_t>(app->GetOffset() + app->GetPackedSize() - 20)));
  EXPECT_EQ(direct.ExtractItem(&cut, app, kDest, nullptr, nullptr), zor::kResultCannotCreate);
  CZipFileIndexObject unpacked(*app);
  unpacked.SetOffset(-1);
  EXPECT_EQ(direct.ExtractItem(&damaged, &unpacked, kDest, nullptr, nullptr), zor::kResultCannotCreate);
  unpacked.SetOffset(0x7FFFFFF0);
  EXPECT_EQ(direct.ExtractItem(&damaged, &unpacked, kDest, nullptr, nullptr), zor::kResultCannotCreate);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), "good app");
  EXPECT_TRUE(bench.FilesNamed(L"~zr").empty());
}

TEST_F(Extract, AStreamLongerThanAFileCanBeIsStoppedAndLeavesNothing) {
  // With the limit lowered to 20,000 bytes, app.exe (150,000) and driver.sys
  // (30,000) are stopped part-way and their partial files removed; a target
  // already there stays as it was, and the smaller files still arrive.
  bench.host.AddDirectory(L"C:\\Program Files\\Tarvex");
  bench.host.AddDirectory(kDest);
  bench.host.AddFile(kDest + L"app.exe", "good app");
  reader.SetFileLimit(20000);
  EXPECT_EQ(reader.GetFileLimit(), 20000);
  EXPECT_EQ(OpenAndExtract(L"English"), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), "good app");
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Windows\\System32\\driver.sys"));
  EXPECT_EQ(bench.Bytes(kDest + L"core.dll"), bench.sources[L"core.dll"]);
  EXPECT_EQ(bench.Bytes(kDest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
  EXPECT_TRUE(bench.FilesNamed(L"~zr").empty());
  EXPECT_EQ(zor::CMyExtract().GetFileLimit(), 0x7FFFFFFF);
}

TEST_F(Extract, NamesThatCouldLeaveTheirFolderAreRefused) {
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  reader.SetDestination(kDest);
  CNode* root = reader.GetProject()->FindFileGroup(L"English")->GetTree().GetRoot();
  CZipFileIndexObject* app = zortest::ItemOf(zortest::FindNode(root, L"app.exe"));
  zortest::SparseFile package(bench.Bytes(kPackage));
  bench.host.AddDirectory(L"C:\\Program Files\\Tarvex");
  bench.host.AddDirectory(kDest);
  for (const wchar_t* name : {L"", L".", L"..", L"..\\..\\evil.exe", L"a/b", L"C:\\evil.exe", L"x:y", L"CON"}) {
    CZipFileIndexObject bad(*app);
    bad.SetName(name);
    EXPECT_EQ(reader.ExtractItem(&package, &bad, kDest, nullptr, nullptr), zor::kResultCannotCreate)
        << zor::ToUtf8(name);
    bad.SetFolderFlag(1);
    // A folder without a name is passed over, as the path walk does.
    EXPECT_EQ(reader.ExtractItem(&package, &bad, kDest, nullptr, nullptr),
              *name ? zor::kResultCannotCreate : zor::kResultOk);
  }
  EXPECT_TRUE(Written(bench).empty());

  // In a tree: a refused folder takes its subtree with it, siblings go on.
  CNode* gui = zortest::FindNode(root, L"gui");
  zortest::ItemOf(gui)->SetName(L"..");
  CNode* core = zortest::FindNode(root, L"core.dll");
  zortest::ItemOf(core)->SetName(L"..\\core.dll");
  EXPECT_EQ(reader.ExtractNode(&package, gui, nullptr, nullptr), zor::kResultCannotCreate);
  EXPECT_EQ(reader.ExtractGroupFrom(&package, L"English", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(Written(bench),
            (std::vector<std::wstring>{L"C:\\Program Files\\Tarvex\\Lumaglimpse\\app.exe",
                                       L"C:\\Program Files\\Tarvex\\Lumaglimpse\\help.chm",
                                       L"C:\\Windows\\System32\\driver.sys"}));
}

TEST_F(Extract, NodesAnchoredToNothingAreSkipped) {
  bench.AddSource(L"loose.txt", "loose");
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  // A plain folder at the top, a system folder this machine does not know,
  // and a destination folder while no destination is set.
  project.AddFileGroup(Group(L"Top", FolderNode(L"Top", {FileNode(L"loose.txt", bench.Src(L"loose.txt")),
                                                         FolderNode(L"Sub")})));
  project.AddFileGroup(Group(L"Unknown", SystemNode(L"[Nowhere]", 99, {FileNode(L"loose.txt", bench.Src(L"loose.txt"))})));
  project.AddFileGroup(Group(L"Dest", FolderNode(L"D", {FileNode(L"loose.txt", bench.Src(L"loose.txt"))}, true)));
  ASSERT_EQ(bench.Build(project, kPackage), zor::kResultOk);
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  zortest::SparseFile package(bench.Bytes(kPackage));
  for (const wchar_t* group : {L"Top", L"Unknown", L"Dest"})
    EXPECT_EQ(reader.ExtractGroupFrom(&package, group, nullptr, nullptr), zor::kResultOk);
  EXPECT_TRUE(Written(bench).empty());
  for (const auto& d : bench.host.debugLines) EXPECT_EQ(d.find(L"Create"), std::wstring::npos) << zor::ToUtf8(d);
}

TEST_F(Extract, NestedDestinationFolders) {
  bench.AddSource(L"f.txt", "f");
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  project.AddFileGroup(Group(
      L"G", SystemNode(L"[ProgramFilesFolder]", PackageBench::kProgramFiles,
                       {FolderNode(L"Outer", {FolderNode(L"Inner", {FileNode(L"f.txt", bench.Src(L"f.txt"))}, true)},
                                   true)})));
  ASSERT_EQ(bench.Build(project, kPackage), zor::kResultOk);
  const std::wstring dest = L"C:\\Chosen\\";
  bench.host.AddDirectory(L"C:\\Chosen");
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  reader.SetDestination(dest);
  EXPECT_EQ(reader.ExtractGroup(dest, L"G", nullptr, nullptr), zor::kResultOk);
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\Program Files\\Outer"));  // from its own ancestors
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\Chosen\\Inner"));          // an empty subfolder
  EXPECT_EQ(bench.Bytes(L"C:\\Chosen\\f.txt"), "f");                  // relative to the destination
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Chosen\\Inner\\f.txt"));
}

TEST_F(Extract, ADestinationWithoutItsSeparatorStillHoldsTheFiles) {
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  std::wstring dest = L"C:\\Plain";
  reader.SetDestination(dest);
  EXPECT_EQ(reader.ExtractGroup(dest, L"Common", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(L"C:\\Plain\\common.dat"), bench.sources[L"common.dat"]);
}

TEST_F(Extract, DestinationsAreTakenAsTheFoldersTheyName) {
  // Relative forms and ones with "." or ".." components hold the files
  // like the plain form; the working folder completes them.
  bench.host.currentFolder = L"C:\\Work";
  bench.host.AddDirectory(L"C:\\Work");
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  struct Case {
    const wchar_t* dest;
    const wchar_t* lands;
  };
  for (const Case& c : std::initializer_list<Case>{{L".", L"C:\\Work\\common.dat"},
                                                   {L".\\out", L"C:\\Work\\out\\common.dat"},
                                                   {L"x\\..\\y\\", L"C:\\Work\\y\\common.dat"},
                                                   {L"C:\\a\\.\\b\\..\\c", L"C:\\a\\c\\common.dat"}}) {
    reader.SetDestination(c.dest);
    EXPECT_EQ(reader.ExtractGroup(c.dest, L"Common", nullptr, nullptr), zor::kResultOk);
    EXPECT_EQ(bench.Bytes(c.lands), bench.sources[L"common.dat"]) << zor::ToUtf8(c.dest);
  }
}

TEST_F(Extract, FoldersWithoutANameArePassedOver) {
  // Found in foreign packages: the folder stands for nothing in the path,
  // and what lies below it is still placed.
  bench.AddSource(L"f.txt", "f");
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  project.AddFileGroup(Group(L"G", FolderNode(L"D", {FolderNode(L"", {FileNode(L"f.txt", bench.Src(L"f.txt")),
                                                                      FolderNode(L"sub")})},
                                              true)));
  ASSERT_EQ(bench.Build(project, kPackage), zor::kResultOk);
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  reader.SetDestination(L"C:\\Chosen\\");
  EXPECT_EQ(reader.ExtractGroup(L"C:\\Chosen\\", L"G", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(bench.Bytes(L"C:\\Chosen\\f.txt"), "f");
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\Chosen\\sub"));
}

TEST_F(Extract, VerifyAndOpenTellPackagesApart) {
  EXPECT_EQ(reader.Verify(kPackage), zor::kResultOk);
  bench.host.AddFile(L"C:\\Out\\plain.exe", std::string(20000, 'M'));
  EXPECT_EQ(reader.Verify(L"C:\\Out\\plain.exe"), zor::kResultNotPackage);
  EXPECT_EQ(reader.Open(L"C:\\Out\\plain.exe"), zor::kResultNotPackage);
  std::string empty;
  ASSERT_TRUE(zor::EncodeFileTable(nullptr, 0, &empty));
  bench.host.AddFile(L"C:\\Out\\empty.exe", "MZ" + empty);
  EXPECT_EQ(reader.Verify(L"C:\\Out\\empty.exe"), zor::kResultEmptyPackage);
  EXPECT_EQ(reader.Open(L"C:\\Out\\empty.exe"), zor::kResultEmptyPackage);
  EXPECT_EQ(reader.GetCount(), 0);
}

TEST_F(Extract, AnIndexThatCannotBeLoadedLeavesAnEmptyProject) {
  std::string stored = Serialized(built);
  std::string garbage = zortest::SampleBytes(5000, 8);
  std::string badStream = Zlib(stored);
  badStream[badStream.size() / 2] ^= 0x40;
  const int32_t whole = static_cast<int32_t>(stored.size());
  struct Case {
    const char* what;
    std::string package;
  } cases[] = {
      {"damaged stream", HandPackage("", badStream, whole)},
      {"stream that is no stream", HandPackage("", garbage, whole)},
      {"stream cut short", HandPackage("", Zlib(stored).substr(0, 100), whole)},
      {"no archive inside", HandPackage("", Zlib(garbage), static_cast<int32_t>(garbage.size()))},
      {"archive cut short", HandPackage("", Zlib(stored.substr(0, stored.size() - 7)), whole - 7)},
      // The entry's size is checked against the stream before anything is
      // loaded from it.
      {"stream longer than its entry says", HandPackage("", Zlib(stored), whole - 1)},
      {"stream shorter than its entry says", HandPackage("", Zlib(stored), whole + 1)},
      {"entry size of nothing", HandPackage("", Zlib(stored), 0)},
      {"entry size above the limit", HandPackage("", Zlib(stored), zor::kMaxIndexBytes + 1)},
  };
  for (const Case& c : cases) {
    // A loaded project first, to see that a failed load does not keep it.
    ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
    bench.host.AddFile(L"C:\\Out\\bad.exe", c.package);
    EXPECT_EQ(reader.Open(L"C:\\Out\\bad.exe"), zor::kResultCannotCreate) << c.what;
    EXPECT_EQ(reader.GetProject()->GetFileGroups().GetCount(), 0u) << c.what;
    EXPECT_EQ(reader.GetProject()->GetProductInfo()->GetVersion(), L"") << c.what;
    EXPECT_TRUE(bench.FilesNamed(L"Zor").empty()) << c.what;
  }
}

// Counts what the zip hands out while expanding.
class CountingZip : public zor::CMyZip {
 public:
  int32_t Begin(int32_t compress) override {
    ++streams;
    return CMyZip::Begin(compress);
  }
  int32_t ExpandWrite(zor::File* file) override {
    int32_t n = CMyZip::ExpandWrite(file);
    if (n > 0) expanded += n;
    return n;
  }
  int streams = 0;
  int64_t expanded = 0;
};

TEST_F(Extract, AnIndexIsExpandedNoFurtherThanItsEntrySays) {
  // A small stream that would expand to 16 MB: the reader stops one buffer
  // past the recorded size, and does not start at all on a record above the
  // limit.
  std::string bomb = Zlib(std::string(16 << 20, '\0'));
  const struct {
    int32_t recorded;
    int streams;
    int64_t mostExpanded;
  } cases[] = {
      {1000, 1, 1000 + zor::CMyZip::kBufferSize},
      {zor::kMaxIndexBytes + 1, 0, 0},
  };
  for (const auto& c : cases) {
    auto* zip = new CountingZip;
    reader.SetZip(zip);
    bench.host.AddFile(L"C:\\Out\\bomb.exe", HandPackage("", bomb, c.recorded));
    EXPECT_EQ(reader.Open(L"C:\\Out\\bomb.exe"), zor::kResultCannotCreate);
    EXPECT_EQ(zip->streams, c.streams) << c.recorded;
    EXPECT_LE(zip->expanded, c.mostExpanded) << c.recorded;
  }
}

TEST_F(Extract, OpeningWritesNothingWhateverTheIndexIsNamed) {
  // The index is expanded in memory: its stored name never reaches the file
  // system, and a temporary folder that is missing or full is no obstacle.
  std::string stored = Serialized(built);
  bench.host.tempFolder = L"C:\\NoSuchFolder\\";
  for (const wchar_t* name : {L"Zor1.tmp", L"..\\..\\Windows\\Zor1.tmp", L"NUL", L""}) {
    bench.host.AddFile(L"C:\\Out\\named.exe", HandPackage("", Zlib(stored), static_cast<int32_t>(stored.size()), name));
    std::vector<std::wstring> before = bench.host.FilePaths();
    ASSERT_EQ(reader.Open(L"C:\\Out\\named.exe"), zor::kResultOk) << zor::ToUtf8(name);
    EXPECT_EQ(reader.GetProject()->GetFileGroups().GetCount(), 2u);
    EXPECT_EQ(bench.host.FilePaths(), before) << zor::ToUtf8(name);
  }
}

TEST_F(Extract, WithoutAZipNothingIsExpanded) {
  ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
  reader.SetZip(nullptr);
  reader.SetDestination(kDest);
  EXPECT_EQ(reader.ExtractGroup(kDest, L"English", nullptr, nullptr), zor::kResultOk);
  EXPECT_TRUE(Written(bench).empty());
  EXPECT_EQ(reader.Open(kPackage), zor::kResultCannotCreate);
  reader.SetZip(new zor::CMyZip);
  EXPECT_EQ(reader.Open(kPackage), zor::kResultOk);
}

TEST_F(Extract, LogWindowIsPassedToTheLog) {
  auto* log = new zor::CMyLogSystem;
  reader.SetLog(log);
  EXPECT_EQ(reader.SetLogWindow(77), 0);
  EXPECT_EQ(log->GetWindow(), 77u);
  reader.SetLog(nullptr);
  EXPECT_EQ(reader.SetLogWindow(78), 0);
}

}  // namespace

namespace {

// Two builds of one project whose files differ in their bytes but not in
// their lengths, so a reader mixing them would find streams where it looks.
struct TwoPackages {
  std::string first, second;
  std::string firstCommon;  // common.dat as the first package holds it
};

TwoPackages BuildTwo() {
  TwoPackages two;
  PackageBench bench;
  CInstallProject a, b;
  bench.FillProject(a);
  EXPECT_EQ(bench.Build(a, kPackage), zor::kResultOk);
  two.first = bench.Bytes(kPackage);
  two.firstCommon = bench.sources[L"common.dat"];
  for (const auto& [name, bytes] : std::map<std::wstring, std::string>(bench.sources))
    bench.AddSource(name, zortest::SampleBytes(bytes.size(), 77));
  bench.FillProject(b);
  EXPECT_EQ(bench.Build(b, kPackage), zor::kResultOk);
  two.second = bench.Bytes(kPackage);
  return two;
}

TEST(ExtractOnePackage, APackageReplacedDuringTheRunIsNeverMixedIn) {
  // On the platform's own file system: the second package is moved over
  // the first between Open and the extraction. The reader keeps reading
  // the file it opened (where the system refuses the move, that is the
  // same file anyway).
  TwoPackages two = BuildTwo();
  ASSERT_NE(two.first, two.second);
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("zor-one-package-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir / "dest");
  const fs::path first = dir / "setup.exe", second = dir / "other.exe";
  std::ofstream(first, std::ios::binary) << two.first;
  std::ofstream(second, std::ios::binary) << two.second;
  {
    zor::CMyExtract reader;
    reader.SetPackagePath(first.wstring());
    ASSERT_EQ(reader.Open(first.wstring()), zor::kResultOk);
    bool moved = zor::CurrentHost().MoveFile(second.wstring(), first.wstring());
    std::wstring dest = (dir / "dest").wstring() + L"\\";
    reader.SetDestination(dest);
    EXPECT_EQ(reader.ExtractGroup(dest, L"Common", nullptr, nullptr), zor::kResultOk) << moved;
    std::ifstream in(dir / "dest" / "common.dat", std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got, two.firstCommon) << "moved: " << moved;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// The test host, except that one path is a huge sparse package whose reads
// are counted.
class HugePackageHost : public zor::TestHost {
 public:
  HugePackageHost(int64_t size, std::string tail) : size_(size), tail_(std::move(tail)) {}
  std::unique_ptr<zor::File> OpenFile(const std::wstring& path, zor::FileAccess access, uint32_t share,
                                      zor::FileCreate create, long* error) override {
    if (path != L"C:\\huge.exe") return TestHost::OpenFile(path, access, share, create, error);
    return std::make_unique<Counted>(size_, tail_, this);
  }
  int64_t bytesRead = 0;

 private:
  struct Counted : zortest::SparseFile {
    Counted(int64_t size, const std::string& tail, HugePackageHost* host) : SparseFile(size, tail), host_(host) {}
    int64_t Read(void* buffer, size_t size) override {
      int64_t n = SparseFile::Read(buffer, size);
      if (n > 0) host_->bytesRead += n;
      return n;
    }
    HugePackageHost* host_;
  };
  int64_t size_;
  std::string tail_;
};

TEST(ExtractOpen, AGigabytePackageCostsTheTrailerAndTheIndexOnly) {
  CInstallProject project;
  project.GetProductInfo()->SetVersion(L"9.9");
  project.AddFileGroup(Group(L"G", FolderNode(L"D", {}, true)));
  std::string stored = Serialized(project);
  std::string index = Zlib(stored);
  const int64_t size = int64_t{1} << 30;
  for (int64_t tail : {int64_t{0}, int64_t{300000}}) {
    zor::CFileTableEntry e;
    e.m_strName = L"Zor5.tmp";
    e.m_nExpandedSize = static_cast<int32_t>(stored.size());
    std::string table;
    int64_t tableStart = size - tail - 200;  // leaves room for the table
    e.m_nOffset = static_cast<int32_t>(tableStart - static_cast<int64_t>(index.size()));
    e.m_nPackedSize = static_cast<int32_t>(index.size());
    ASSERT_TRUE(zor::EncodeFileTable(&e, 1, &table));
    tableStart = size - tail - static_cast<int64_t>(table.size());
    e.m_nOffset = static_cast<int32_t>(tableStart - static_cast<int64_t>(index.size()));
    ASSERT_TRUE(zor::EncodeFileTable(&e, 1, &table));
    HugePackageHost host(size, index + table + std::string(static_cast<size_t>(tail), '\x7F'));
    zor::ScopedHost scope(&host);
    host.AddDirectory(L"C:\\Temp");
    zor::CMyExtract reader;
    ASSERT_EQ(reader.Open(L"C:\\huge.exe"), zor::kResultOk);
    EXPECT_EQ(reader.GetProject()->GetProductInfo()->GetVersion(), L"9.9");
    EXPECT_LE(host.bytesRead, 400000 + 22 + static_cast<int64_t>(index.size() + table.size()) + tail / 1000 + 40960)
        << tail;
    if (tail == 0) {
      EXPECT_LE(host.bytesRead, 22 + 2 * static_cast<int64_t>(index.size() + table.size()));
    }
  }
}

}  // namespace
