#include "engine/build.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/file_table.h"
#include "engine/log_window.h"
#include "engine/system_error.h"
#include "model/archive.h"
#include "model/byte_stream.h"
#include "tests/unit/engine/package_fixture.h"

namespace {

using zortest::Serialized;

using zortest::CallbackLog;
using zortest::FileNode;
using zortest::FolderNode;
using zortest::Group;
using zortest::PackageBench;
using zortest::SystemNode;

const std::wstring kPackage = L"C:\\Out\\package.exe";

std::string Utf16(const std::wstring& s) {
  std::string out;
  zor::AppendUtf16Le(out, s);
  return out;
}

std::string LogLines(std::initializer_list<std::wstring> lines) {
  std::string out;
  for (const std::wstring& l : lines) out += Utf16(l + L"\r\n");
  return out;
}

std::string Expand(const std::string& package, int32_t offset) {
  z_stream s{};
  inflateInit(&s);
  std::string out(1 << 20, '\0'), result;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(package.data() + offset));
  s.avail_in = static_cast<uInt>(package.size() - static_cast<size_t>(offset));
  int r;
  do {
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    r = inflate(&s, Z_NO_FLUSH);
    result.append(out.data(), out.size() - s.avail_out);
  } while (r == Z_OK);
  inflateEnd(&s);
  EXPECT_EQ(r, Z_STREAM_END);
  return result;
}

struct Table {
  zor::CFileTableEntry entries[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
};

Table ReadTable(const std::string& package) {
  Table t;
  zortest::SparseFile file(package);
  EXPECT_EQ(zor::ReadFileTable(file, t.entries, &t.count, &t.info), zor::kResultOk);
  return t;
}

TEST(Build, PackageLayoutStreamsAndLog) {
  PackageBench bench;
  CInstallProject project;
  bench.FillProject(project);
  CallbackLog calls;
  ASSERT_EQ(bench.Build(project, kPackage, -1, &calls), zor::kResultOk);
  std::string package = bench.Bytes(kPackage);

  // The engine first, byte for byte.
  ASSERT_EQ(package.substr(0, bench.engine.size()), bench.engine);
  // Then the streams in pre-order, back to back, each the source's bytes.
  CExtractFileList* common = project.FindFileGroup(L"Common");
  CExtractFileList* english = project.FindFileGroup(L"English");
  int64_t expected = static_cast<int64_t>(bench.engine.size());
  for (auto [group, name] : std::initializer_list<std::pair<CExtractFileList*, const wchar_t*>>{
           {common, L"common.dat"}, {english, L"app.exe"}, {english, L"core.dll"}, {english, L"help.chm"},
           {english, L"main.ini"}, {english, L"driver.sys"}}) {
    CZipFileIndexObject* item = zortest::ItemOf(zortest::FindNode(group->GetTree().GetRoot(), name));
    EXPECT_EQ(item->GetOffset(), expected) << zor::ToUtf8(name);
    EXPECT_GT(item->GetPackedSize(), 0);
    EXPECT_EQ(package.substr(static_cast<size_t>(item->GetOffset()), 2), "\x78\x9C");
    EXPECT_EQ(Expand(package, item->GetOffset()), bench.sources[name]) << zor::ToUtf8(name);
    expected += item->GetPackedSize();
  }
  // Folders and system folders keep no stream.
  for (const wchar_t* name : {L"Tarvex", L"Lumaglimpse", L"gui", L"[SystemFolder]", L"[WindowsFolder]"}) {
    CZipFileIndexObject* item = zortest::ItemOf(zortest::FindNode(english->GetTree().GetRoot(), name));
    EXPECT_EQ(item->GetOffset(), -1);
    EXPECT_EQ(item->GetPackedSize(), 0);
  }

  // The index follows at once and holds the project with every offset.
  Table table = ReadTable(package);
  ASSERT_EQ(table.count, 1);
  const zor::CFileTableEntry& index = table.entries[0];
  EXPECT_EQ(index.m_nOffset, expected);
  EXPECT_EQ(index.m_nOffset + index.m_nPackedSize, table.info.tableStart);
  std::string stored = Serialized(project);
  EXPECT_EQ(index.m_nExpandedSize, static_cast<int32_t>(stored.size()));
  EXPECT_EQ(Expand(package, index.m_nOffset), stored);
  EXPECT_EQ(index.m_strName.rfind(L"Zor", 0), 0u);
  EXPECT_EQ(index.m_strName.substr(index.m_strName.size() - 4), L".tmp");
  EXPECT_EQ(table.info.tail, 0);
  EXPECT_EQ(static_cast<int64_t>(package.size()), table.info.fileSize);
  // The temporary index file is gone.
  EXPECT_TRUE(bench.FilesNamed(L"Zor").empty());

  // Callbacks: 1000 with the path, steps, 1001 without data, file by file.
  std::vector<std::wstring> begun;
  for (size_t i = 0; i < calls.calls.size(); ++i) {
    const auto& c = calls.calls[i];
    if (c.code == zor::kProgressFileBegin) {
      begun.push_back(c.text);
      EXPECT_TRUE(i == 0 || calls.calls[i - 1].code == zor::kProgressFileEnd);
    } else if (c.code == zor::kProgressFileStep) {
      EXPECT_GE(c.number, 0);
      EXPECT_LE(c.number, 100);
    } else {
      EXPECT_EQ(c.code, zor::kProgressFileEnd);
      EXPECT_TRUE(c.null);
    }
  }
  ASSERT_EQ(begun.size(), 7u);
  EXPECT_EQ(begun[0], bench.Src(L"common.dat"));
  EXPECT_EQ(begun[5], bench.Src(L"driver.sys"));
  EXPECT_EQ(begun[6].rfind(L"C:\\Temp\\Zor", 0), 0u);
  size_t appSteps = 0;
  for (size_t i = 0; i < calls.calls.size(); ++i)
    if (calls.calls[i].code == zor::kProgressFileStep && i > 2 && i < 10) ++appSteps;
  EXPECT_GE(appSteps, 3u);  // 150,000 bytes: four reads of 40,960

  // The log, line by line.
  std::wstring dashes38(38, L'-'), dashes40(40, L'-'), dashes34(34, L'-'), dashes29(29, L'-');
  EXPECT_EQ(bench.Bytes(L"C:\\Out\\build.log"),
            LogLines({dashes38 + L"Build " + kPackage + L" Start" + dashes40,
                      L"Build engine address in C:\\Engine\\setup.exe", L"Build engine successfully",
                      L"Build:C:\\Src\\common.dat", L"Build:C:\\Src\\app.exe", L"Build:C:\\Src\\core.dll",
                      L"Build:C:\\Src\\help.chm", L"Build:C:\\Src\\main.ini", L"Build:C:\\Src\\driver.sys",
                      L"Build:" + begun[6], L"Build project index file", L"Build file table data and singnature",
                      dashes34 + L"Build project successfully" + dashes29}));
}

TEST(Build, ParallelAndFileByFileBuildsAreIdenticalAndRepeatable) {
  PackageBench bench;
  // Enough files of mixed sizes to keep several workers busy.
  CInstallProject project;
  bench.FillProject(project);
  CNode* root = FolderNode(L"Bulk", {}, true);
  for (int i = 0; i < 40; ++i) {
    std::wstring name = L"bulk" + std::to_wstring(i) + L".bin";
    bench.AddSource(name, zortest::SampleBytes(static_cast<size_t>((i * 37919) % 200000), static_cast<uint32_t>(i)));
    root->AddChild(FileNode(name, bench.Src(name)));
  }
  project.AddFileGroup(Group(L"Bulk", root));

  std::vector<std::string> packages;
  std::vector<std::vector<int32_t>> codes;
  for (int threads : {0, 1, 3, -1, 0}) {
    CallbackLog calls;
    ASSERT_EQ(bench.Build(project, kPackage, threads, &calls), zor::kResultOk);
    packages.push_back(bench.Bytes(kPackage));
    codes.push_back(calls.Codes());
  }
  Table first = ReadTable(packages[0]);
  for (size_t i = 1; i < packages.size(); ++i) {
    Table t = ReadTable(packages[i]);
    ASSERT_EQ(t.count, 1);
    // Everything up to the table is the same; so is the entry but its name.
    EXPECT_EQ(t.info.tableStart, first.info.tableStart);
    EXPECT_TRUE(packages[i].compare(0, static_cast<size_t>(t.info.tableStart), packages[0], 0,
                                    static_cast<size_t>(first.info.tableStart)) == 0)
        << "build " << i;
    EXPECT_EQ(t.entries[0].m_nOffset, first.entries[0].m_nOffset);
    EXPECT_EQ(t.entries[0].m_nPackedSize, first.entries[0].m_nPackedSize);
    EXPECT_EQ(t.entries[0].m_nExpandedSize, first.entries[0].m_nExpandedSize);
    EXPECT_EQ(codes[i], codes[0]);
  }
}

TEST(Build, OnlyLeafFilesArePacked) {
  PackageBench bench;
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  bench.host.AddDirectory(L"C:\\Src\\folder");
  // A node with children is never packed itself, even naming a file; a
  // leaf naming a folder is skipped; system folders are never packed.
  CNode* parent = FileNode(L"parent", bench.Src(L"app.exe"));
  parent->AddChild(FileNode(L"core.dll", bench.Src(L"core.dll")));
  CNode* system = SystemNode(L"[SystemFolder]", PackageBench::kSystem);
  zortest::ItemOf(system)->SetSourcePath(bench.Src(L"driver.sys"));
  project.AddFileGroup(Group(
      L"G", FolderNode(L"root", {parent, FileNode(L"dir", L"C:\\Src\\folder"), system, FileNode(L"nosource", L"")})));
  CallbackLog calls;
  ASSERT_EQ(bench.Build(project, kPackage, -1, &calls), zor::kResultOk);
  std::string package = bench.Bytes(kPackage);
  CNode* root = project.FindFileGroup(L"G")->GetTree().GetRoot();
  EXPECT_EQ(zortest::ItemOf(parent)->GetOffset(), -1);
  EXPECT_EQ(zortest::ItemOf(zortest::FindNode(root, L"core.dll"))->GetOffset(),
            static_cast<int32_t>(bench.engine.size()));
  EXPECT_EQ(zortest::ItemOf(zortest::FindNode(root, L"dir"))->GetOffset(), -1);
  EXPECT_EQ(zortest::ItemOf(system)->GetOffset(), -1);
  EXPECT_EQ(zortest::ItemOf(zortest::FindNode(root, L"nosource"))->GetOffset(), -1);
  // core.dll and the index.
  std::vector<int32_t> codes = calls.Codes();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), zor::kProgressFileBegin), 2);
}

TEST(Build, GroupsOfFoldersOnlyGiveEngineIndexAndTable) {
  PackageBench bench;
  CInstallProject project;
  project.GetProductInfo()->SetEnginePath(L"C:\\Engine\\setup.exe");
  project.AddFileGroup(Group(L"Empty", FolderNode(L"a", {FolderNode(L"b")})));
  project.AddFileGroup(new CExtractFileList);  // no tree at all
  ASSERT_EQ(bench.Build(project, kPackage, 0), zor::kResultOk);
  std::string package = bench.Bytes(kPackage);
  Table t = ReadTable(package);
  ASSERT_EQ(t.count, 1);
  EXPECT_EQ(t.entries[0].m_nOffset, static_cast<int32_t>(bench.engine.size()));
  EXPECT_EQ(Expand(package, t.entries[0].m_nOffset), Serialized(project));
}

TEST(Build, TwoBuildsWithOneBuilderDifferOnlyInTheIndexName) {
  PackageBench bench;
  CInstallProject project;
  bench.FillProject(project);
  zor::CMyBuild builder;
  builder.SetProject(&project);
  ASSERT_EQ(builder.Build(L"C:\\Out\\one.exe", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(builder.GetCount(), 1);
  ASSERT_EQ(builder.Build(L"C:\\Out\\two.exe", nullptr, nullptr), zor::kResultOk);
  EXPECT_EQ(builder.GetCount(), 1);
  Table one = ReadTable(bench.Bytes(L"C:\\Out\\one.exe"));
  Table two = ReadTable(bench.Bytes(L"C:\\Out\\two.exe"));
  ASSERT_EQ(one.count, 1);
  ASSERT_EQ(two.count, 1);
  EXPECT_NE(one.entries[0].m_strName, two.entries[0].m_strName);
  EXPECT_EQ(bench.Bytes(L"C:\\Out\\one.exe").substr(0, static_cast<size_t>(one.info.tableStart)),
            bench.Bytes(L"C:\\Out\\two.exe").substr(0, static_cast<size_t>(two.info.tableStart)));
}

struct FailCase {
  const char* what;
  std::function<void(PackageBench&, CInstallProject&, zor::CMyBuild&)> arrange;
  int32_t expected;
  std::vector<std::wstring> logTail;  // the last lines of the log
};

class BuildFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(BuildFailure, ReportsTheCodeAndLogsWhy) {
  const FailCase& c = GetParam();
  PackageBench bench;
  CInstallProject project;
  bench.FillProject(project);
  zor::CMyBuild builder;
  builder.SetProject(&project);
  c.arrange(bench, project, builder);
  EXPECT_EQ(builder.Build(kPackage, nullptr, nullptr), c.expected);
  std::string log = bench.Bytes(L"C:\\Out\\build.log");
  std::string tail = LogLines({});
  for (const std::wstring& l : c.logTail) tail += Utf16(l);
  ASSERT_GE(log.size(), tail.size());
  EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << zor::ToUtf8(zor::FromUtf16Le(
      reinterpret_cast<const uint8_t*>(log.data()), log.size() / 2));
}

// The system's own wording differs between Windows, Wine and our Linux
// table; the lines must carry whatever it says.
const std::wstring kNotFound = zor::SystemErrorText(zor::kErrFileNotFound);
const std::wstring kSharing = zor::SystemErrorText(zor::kErrSharingViolation);
const std::wstring kDenied = zor::SystemErrorText(zor::kErrAccessDenied);
const std::wstring kDeviceError = zor::SystemErrorText(zor::kErrIoDevice);

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildFailure,
    ::testing::Values(
        FailCase{"NoProject", [](PackageBench&, CInstallProject&, zor::CMyBuild& b) { b.SetProject(nullptr); },
                 zor::kResultNoProject, {L"Error:No specifal project in build engine\r\n"}},
        FailCase{"EmptyEnginePath",
                 [](PackageBench&, CInstallProject& p, zor::CMyBuild&) { p.GetProductInfo()->SetEnginePath(L""); },
                 zor::kResultNoProject, {L"Error:Get empty engine path error in build engine\r\n"}},
        FailCase{"MissingEngine",
                 [](PackageBench&, CInstallProject& p, zor::CMyBuild&) {
                   p.GetProductInfo()->SetEnginePath(L"C:\\Engine\\none.exe");
                 },
                 zor::kResultNoProject,
                 {L"Build engine address in C:\\Engine\\none.exe\r\n",
                  L"Error:can not open engine file with error is 2\r\n"}},
        FailCase{"MissingSource",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild&) {
                   b.sources.erase(L"core.dll");
                   b.host.DeleteFile(b.Src(L"core.dll"));
                 },
                 zor::kResultSourceFailed,
                 {L"Build:C:\\Src\\core.dll\r\n", L"ERROR:Can not build C:\\Src\\core.dll\r\n",
                  L"ERROR reason is " + kNotFound + L"\r\n", L"ERROR Build File Tree " + kNotFound + L"\r\n",
                  L"Error when build English\r\n"}},
        FailCase{"LockedSource",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild&) { b.host.lockedFiles.insert(b.Src(L"main.ini")); },
                 zor::kResultSourceFailed,
                 {L"ERROR:Can not build C:\\Src\\main.ini\r\n",
                  L"ERROR reason is " + kSharing + L"\r\n", L"ERROR Build File Tree " + kSharing + L"\r\n",
                  L"Error when build English\r\n"}},
        // A disk giving up inside a file: the log says so, whichever way the
        // file was compressed.
        FailCase{"SourceFailsPartWay",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild&) { b.host.readFaults[b.Src(L"app.exe")] = 50000; },
                 zor::kResultSourceFailed,
                 {L"ERROR:Can not build C:\\Src\\app.exe\r\n", L"ERROR reason is " + kDeviceError + L"\r\n",
                  L"ERROR Build File Tree " + kDeviceError + L"\r\n", L"Error when build English\r\n"}},
        FailCase{"SourceFailsPartWayFileByFile",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild& builder) {
                   b.host.readFaults[b.Src(L"app.exe")] = 50000;
                   builder.SetCompressionThreads(0);
                 },
                 zor::kResultSourceFailed,
                 {L"ERROR:Can not build C:\\Src\\app.exe\r\n", L"ERROR reason is " + kDeviceError + L"\r\n",
                  L"ERROR Build File Tree " + kDeviceError + L"\r\n", L"Error when build English\r\n"}},
        FailCase{"OutputCannotBeCreated",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild&) { b.host.readOnlyFiles.insert(kPackage); b.host.AddFile(kPackage, "old"); },
                 zor::kResultCannotCreate, {L"Error:Can not open file,Error is " + kDenied + L"\r\n"}},
        FailCase{"NoTemporaryFolder",
                 [](PackageBench& b, CInstallProject&, zor::CMyBuild&) { b.host.tempFolder = L"C:\\NoTemp\\"; },
                 zor::kResultIndexFailed, {L"Build:C:\\Src\\driver.sys\r\n"}}),
    [](const ::testing::TestParamInfo<FailCase>& info) { return info.param.what; });

TEST(Build, FileTableEntriesRecordFolderAndName) {
  PackageBench bench;
  zor::CMyBuild builder;
  bench.host.AddFile(L"C:\\Base\\sub\\x.bin", "12345");
  EXPECT_EQ(builder.AddFileTableEntry(L"C:\\Base\\sub\\x.bin", L"C:\\Base"), 1);
  const zor::CFileTableEntry& e = builder.GetEntry(0);
  EXPECT_EQ(e.m_strName, L"x.bin");
  EXPECT_EQ(e.m_strSourcePath, L"C:\\Base\\sub\\x.bin");
  EXPECT_EQ(e.m_strFolder, L"sub\\");
  EXPECT_EQ(e.m_nExpandedSize, 5);
  EXPECT_EQ(builder.AddFileTableEntry(L"C:\\Base\\missing", L"C:\\Base"), 0);
  for (int i = 1; i < 20; ++i) EXPECT_EQ(builder.AddFileTableEntry(L"C:\\Base\\sub\\x.bin", L"C:\\Base\\"), 1);
  EXPECT_EQ(builder.AddFileTableEntry(L"C:\\Base\\sub\\x.bin", L"C:\\Base\\"), 0);
  EXPECT_EQ(builder.GetCount(), 20);
  EXPECT_EQ(builder.IsFolder(L"C:\\Out"), 1);
  EXPECT_EQ(builder.IsFolder(L"C:\\Base\\sub\\x.bin"), 0);
}

TEST(Build, WindowGetsTheLogLinesEvenWithoutALogFile) {
  PackageBench bench;
  std::vector<std::u16string> lines;
  zor::LogWindowSink previous = zor::SetLogWindowSink(
      [&](zor::WindowHandle, uint32_t, const char16_t* t, uint32_t bytes) { lines.emplace_back(t, bytes / 2); });
  CInstallProject project;
  bench.FillProject(project);
  project.GetProjectInfo()->SetBuildLogPath(L"");
  zor::CMyBuild builder;
  builder.SetProject(&project);
  EXPECT_EQ(builder.SetLogWindow(42), 0);
  EXPECT_EQ(builder.Build(kPackage, nullptr, nullptr), zor::kResultOk);
  zor::SetLogWindowSink(previous);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[1], u"Build engine address in C:\\Engine\\setup.exe\r\n");
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Out\\build.log"));
}

}  // namespace
