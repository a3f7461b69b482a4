// zorpack verify and extract against packages built on the test host, whole
// and damaged in the ways a download, a disk or a hand-edited index damage
// them.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <sstream>

#include "engine/file_table.h"
#include "model/archive.h"
#include "model/byte_stream.h"
#include "tests/unit/engine/package_fixture.h"
#include "tools/zorpack/cli.h"
#include "tools/zorpack/package_streams.h"

using zortest::FindNode;
using zortest::ItemOf;

namespace {

using zortest::Serialized;
using zortest::Zlib;

const std::wstring kPackage = L"C:\\Out\\package.exe";
const char kPackageArg[] = "C:\\Out\\package.exe";
const std::wstring kDest = L"C:\\Dest\\";
const std::wstring kAppPath = L"Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\app.exe";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ZorpackPackageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.FillProject(built);
    ASSERT_EQ(bench.Build(built, kPackage), zor::kResultOk);
    package = bench.Bytes(kPackage);
    zor::CMyExtract reader;
    ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
    indexOffset = reader.GetEntry(0).m_nOffset;
  }

  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return zorpack::Run(args, out, err);
  }

  static CZipFileIndexObject* Item(CInstallProject& project, const std::wstring& group, const std::wstring& name) {
    return ItemOf(FindNode(project.FindFileGroup(group)->GetTree().GetRoot(), name));
  }

  // The package with its file streams (less `cut` bytes at their end) and
  // a new index made from the built project after `edit`.
  void Repack(const std::function<void(CInstallProject&)>& edit, size_t cut = 0) {
    bench.host.AddFile(kPackage, package);
    zor::CMyExtract reader;
    ASSERT_EQ(reader.Open(kPackage), zor::kResultOk);
    CInstallProject& project = *reader.GetProject();
    edit(project);
    std::string index = Serialized(project);
    std::string body = package.substr(0, static_cast<size_t>(indexOffset) - cut);
    zor::CFileTableEntry entry;
    entry.m_strName = L"Zor7.tmp";
    entry.m_nOffset = static_cast<int32_t>(body.size());
    std::string stream = Zlib(index);
    entry.m_nPackedSize = static_cast<int32_t>(stream.size());
    entry.m_nExpandedSize = static_cast<int32_t>(index.size());
    std::string table;
    ASSERT_TRUE(zor::EncodeFileTable(&entry, 1, &table));
    bench.host.AddFile(kPackage, body + stream + table);
  }

  void FlipByte(int64_t at) {
    std::string bytes = package;
    bytes[static_cast<size_t>(at)] = static_cast<char>(bytes[static_cast<size_t>(at)] ^ 0x55);
    bench.host.AddFile(kPackage, bytes);
  }

  // Files the commands wrote: every file apart from the bench's own.
  std::vector<std::wstring> Written() const {
    std::vector<std::wstring> written;
    for (const std::wstring& p : bench.host.FilePaths()) {
      std::wstring lower = zor::AsciiLower(p);
      if (lower.rfind(L"c:\\src\\", 0) != 0 && lower.rfind(L"c:\\engine\\", 0) != 0 &&
          lower.rfind(L"c:\\out\\", 0) != 0)
        written.push_back(lower);
    }
    std::sort(written.begin(), written.end());
    return written;
  }

  zortest::PackageBench bench;
  CInstallProject built;
  std::string package;
  int32_t indexOffset = 0;
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace

TEST_F(ZorpackPackageFiles, VerifyPassesABuiltPackage) {
  EXPECT_EQ(Run({"verify", kPackageArg}), 0) << err.str();
  uint64_t bytes = 0;
  for (const auto& [name, content] : bench.sources) bytes += content.size();
  EXPECT_EQ(out.str(), "Checked 6 files in 2 groups: " + std::to_string(bytes) + " bytes from " +
                           std::to_string(indexOffset - bench.engine.size()) + " packed bytes; 0 damaged\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(ZorpackPackageFiles, VerifyNamesTheDamagedFileAndStillChecksTheOthers) {
  CZipFileIndexObject* app = Item(built, L"English", L"app.exe");
  FlipByte(app->GetOffset() + app->GetPackedSize() / 2);
  EXPECT_EQ(Run({"verify", kPackageArg}), 1);
  EXPECT_TRUE(Contains(out.str(), "group \"English\": " + zor::ToUtf8(kAppPath) + ": its stream is damaged ("))
      << out.str();
  EXPECT_TRUE(Contains(out.str(), "Checked 6 files in 2 groups: ")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "; 1 damaged\n")) << out.str();
  EXPECT_EQ(err.str(), "zorpack: C:\\Out\\package.exe: 1 damaged file\n");
}

TEST_F(ZorpackPackageFiles, VerifyHoldsEveryStreamToTheIndex) {
  const int32_t appOffset = Item(built, L"English", L"app.exe")->GetOffset();
  const int32_t appSize = Item(built, L"English", L"app.exe")->GetPackedSize();
  const struct {
    const char* what;
    std::function<void(CInstallProject&)> edit;
    size_t cut;
    std::string expected;  // the one line about the damaged file
  } cases[] = {
      {"packed size off by one",
       [&](CInstallProject& p) { Item(p, L"English", L"app.exe")->SetPackedSize(appSize + 1); }, 0,
       zor::ToUtf8(kAppPath) + ": its stream is " + std::to_string(appSize) + " bytes long, but the index records " +
           std::to_string(appSize + 1)},
      {"two files on one stream",
       [&](CInstallProject& p) {
         Item(p, L"English", L"core.dll")->SetOffset(appOffset);
         Item(p, L"English", L"core.dll")->SetPackedSize(appSize);
       },
       0,
       "Tarvex\\Lumaglimpse\\core.dll: its stream overlaps that of group \"English\": " + zor::ToUtf8(kAppPath)},
      {"stream inside the index",
       [&](CInstallProject& p) { Item(p, L"English", L"main.ini")->SetOffset(indexOffset + 2); }, 0,
       "Lumaglimpse\\gui\\main.ini: its stream would start at offset " + std::to_string(indexOffset + 2) +
           ", outside the packed files"},
      {"no stream", [](CInstallProject& p) { Item(p, L"English", L"driver.sys")->SetOffset(-1); }, 0,
       "[SystemFolder]\\driver.sys: it has no packed stream"},
      // driver.sys is packed last: cutting the end of the packed files cuts
      // its stream, which must not be read on into the index.
      {"last stream cut short", [](CInstallProject&) {}, 10,
       "[SystemFolder]\\driver.sys: its stream does not end before offset " + std::to_string(indexOffset - 10)},
      // Names the extractor refuses, whole streams or not.
      {"file name ending in a space", [](CInstallProject& p) { Item(p, L"English", L"core.dll")->SetName(L"core.dll "); },
       0, "Lumaglimpse\\core.dll : its name ends in a dot or a space, which Windows drops, so it would name another entry"},
      {"folder named as a device", [](CInstallProject& p) { Item(p, L"English", L"gui")->SetName(L"LPT\u00b9"); }, 0,
       "Lumaglimpse\\LPT\xc2\xb9: its name is a device name, which Windows opens instead of a file\n"},
      {"two names of one file", [](CInstallProject& p) { Item(p, L"English", L"gui")->SetName(L"HELP.chm"); }, 0,
       "Lumaglimpse\\HELP.chm: its name is the one of Destination Computer\\[ProgramFilesFolder]\\Tarvex\\"
       "Lumaglimpse\\help.chm for Windows, letter case aside\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Repack(c.edit, c.cut);
    EXPECT_EQ(Run({"verify", kPackageArg}), 1);
    EXPECT_TRUE(Contains(out.str(), c.expected)) << out.str();
    EXPECT_TRUE(Contains(out.str(), "Checked 6 files in 2 groups: ")) << out.str();
    EXPECT_TRUE(Contains(out.str(), "; 1 damaged\n")) << out.str();
    EXPECT_EQ(err.str(), "zorpack: C:\\Out\\package.exe: 1 damaged file\n");
  }
}

TEST_F(ZorpackPackageFiles, VerifyAndExtractRefuseWhatIsNoWholePackage) {
  std::string damagedIndex = package;
  damagedIndex[static_cast<size_t>(indexOffset) + 20] ^= 0x55;
  zor::CFileTableEntry none;
  std::string emptyTable;
  ASSERT_TRUE(zor::EncodeFileTable(&none, 0, &emptyTable));
  // The count field sits in front of the version and the signature.
  std::string badCount = package;
  badCount[badCount.size() - 34] = 21;
  std::string badName = package;
  badName[badName.size() - 38] = 7;  // an odd name length
  const struct {
    const char* what;
    std::optional<std::string> bytes;  // nullopt: no file at all
    std::string verifyError;           // after "zorpack: C:\Out\package.exe"
    std::string extractError;          // the same when extract says it differently
  } cases[] = {
      {"missing", std::nullopt, " cannot be opened", ""},
      {"not a package", std::string("{\"product\": {}}"), " is not a package (no package trailer at its end)", ""},
      {"cut in half", package.substr(0, package.size() / 2), " is not a package (no package trailer at its end)", ""},
      {"empty", "MZ" + emptyTable, " is a package without any entry", ""},
      {"count beyond the table", badCount, " has a package trailer, but its file table is damaged", ""},
      {"name length that is no length", badName, " has a package trailer, but its file table is damaged", ""},
      {"damaged index", damagedIndex, ": the project index is damaged: its stream is damaged (",
       " holds a project index that cannot be expanded or read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bench.host.DeleteFile(kPackage);
    if (c.bytes) bench.host.AddFile(kPackage, *c.bytes);
    EXPECT_EQ(Run({"verify", kPackageArg}), 1);
    EXPECT_EQ(err.str().rfind("zorpack: C:\\Out\\package.exe" + c.verifyError, 0), 0u) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest"}), 1);
    std::string expected = c.extractError.empty() ? c.verifyError : c.extractError;
    EXPECT_EQ(err.str(), "zorpack: C:\\Out\\package.exe" + expected + "\n");
    EXPECT_TRUE(Written().empty());
  }
}

TEST_F(ZorpackPackageFiles, ExtractAllGroupsPutsEveryByteInPlace) {
  ASSERT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--folder", "37=C:\\Mapped\\Sys",
                 "--folder", "[ProgramFilesFolder]=C:\\Mapped\\PF\\"}),
            0)
      << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(bench.Bytes(kDest + L"common.dat"), bench.sources[L"common.dat"]);
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), bench.sources[L"app.exe"]);
  EXPECT_EQ(bench.Bytes(kDest + L"core.dll"), bench.sources[L"core.dll"]);
  EXPECT_EQ(bench.Bytes(kDest + L"help.chm"), "");
  EXPECT_EQ(bench.Bytes(kDest + L"gui\\main.ini"), bench.sources[L"main.ini"]);
  EXPECT_EQ(bench.Bytes(L"C:\\Mapped\\Sys\\driver.sys"), bench.sources[L"driver.sys"]);
  EXPECT_EQ(Written().size(), 6u);
  // The folders on the way to the destination node land in the mapped folder.
  EXPECT_TRUE(bench.host.HasDirectory(L"C:\\Mapped\\PF\\Tarvex"));
  EXPECT_FALSE(bench.host.HasDirectory(L"C:\\Program Files\\Tarvex"));
  uint64_t bytes = 0;
  for (const auto& [name, content] : bench.sources) bytes += content.size();
  EXPECT_EQ(out.str(), "Extracted 6 files (" + std::to_string(bytes) + " bytes) from 2 groups into C:\\Dest\n");
}

TEST_F(ZorpackPackageFiles, ExtractOneGroupWritesOnlyThatGroup) {
  ASSERT_EQ(Run({"extract", "--group", "Common", kPackageArg, "--dest", "C:\\Dest"}), 0) << err.str();
  EXPECT_EQ(bench.Bytes(kDest + L"common.dat"), bench.sources[L"common.dat"]);
  EXPECT_EQ(Written(), std::vector<std::wstring>{L"c:\\dest\\common.dat"});
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(Contains(out.str(), "Extracted 1 file (90000 bytes) from 1 group into C:\\Dest")) << out.str();
}

TEST_F(ZorpackPackageFiles, UnmappedSystemFoldersAreSkippedWithAWarning) {
  // The host knows the system folder; only a mapping may send files there.
  ASSERT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--group", "English"}), 0) << err.str();
  EXPECT_EQ(err.str(),
            "zorpack: warning: group \"English\": 1 file below [SystemFolder] (folder 37) skipped: no path is "
            "mapped for it (--folder 37=PATH)\n");
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Windows\\System32\\driver.sys"));
  EXPECT_FALSE(bench.host.HasDirectory(L"C:\\Program Files\\Tarvex"));
  EXPECT_EQ(Written().size(), 4u);  // app.exe, core.dll, help.chm, gui\main.ini
  EXPECT_TRUE(Contains(out.str(), "Extracted 4 files (")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "; 1 skipped\n")) << out.str();

  // The same folder mapped by its name, in any letter case.
  ASSERT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--group", "English", "--folder",
                 "[systemfolder]=C:\\Sys"}),
            0);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(bench.Bytes(L"C:\\Sys\\driver.sys"), bench.sources[L"driver.sys"]);
}

TEST_F(ZorpackPackageFiles, UnknownGroupsAndBadMappingsAreUsageErrors) {
  const struct {
    std::vector<std::string> extra;
    std::string error;
  } cases[] = {
      {{"--group", "english"},
       "zorpack: C:\\Out\\package.exe has no file group \"english\" (its groups: \"Common\", \"English\"; names "
       "match case-sensitively)\n"},
      {{"--group", "Common", "--group", "Nope"},
       "zorpack: C:\\Out\\package.exe has no file group \"Nope\" (its groups: \"Common\", \"English\")\n"},
      {{"--folder", "37"}, "zorpack: --folder \"37\": expected ID=PATH, with ID a folder number such as 37 or a "
                           "folder name such as [SystemFolder]\n"},
      {{"--folder", "sys=C:\\S"}, "zorpack: --folder \"sys=C:\\S\": expected ID=PATH, with ID a folder number such "
                                  "as 37 or a folder name such as [SystemFolder]\n"},
      {{"--folder", "37="}, "zorpack: --folder \"37=\": expected ID=PATH, with ID a folder number such as 37 or a "
                            "folder name such as [SystemFolder]\n"},
      {{"--folder", "-1=C:\\S"}, "zorpack: --folder \"-1=C:\\S\": expected ID=PATH, with ID a folder number such "
                                 "as 37 or a folder name such as [SystemFolder]\n"},
      {{"--folder", "[NoSuchFolder]=C:\\S"},
       "zorpack: --folder \"[NoSuchFolder]=C:\\S\": no system folder is named [NoSuchFolder]\n"},
      {{"--folder", "37=C:\\A", "--folder", "0x25=C:\\B"},
       "zorpack: folder 37 is mapped twice (\"0x25=C:\\B\")\n"},
      {{"--folder", "[QuickLuanchFolder]=C:\\Q"},
       "zorpack: --folder \"[QuickLuanchFolder]=C:\\Q\": the quick-launch folder lies in the application-data "
       "folder; map that one instead (--folder 26=PATH)\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"extract", kPackageArg, "--dest", "C:\\Dest"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(Run(args), 2) << c.error;
    EXPECT_EQ(err.str(), c.error);
    EXPECT_TRUE(Written().empty());
    EXPECT_FALSE(bench.host.HasDirectory(L"C:\\Dest"));
  }
}

TEST_F(ZorpackPackageFiles, ExtractNamesEveryFileThatDidNotArriveAndKeepsWhatWasThere) {
  CZipFileIndexObject* app = Item(built, L"English", L"app.exe");
  FlipByte(app->GetOffset() + app->GetPackedSize() / 2);
  bench.host.AddDirectory(L"C:\\Dest");
  bench.host.AddFile(kDest + L"app.exe", "the good old one");
  EXPECT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--folder", "37=C:\\Sys"}), 1);
  EXPECT_TRUE(Contains(err.str(), "zorpack: C:\\Out\\package.exe: group \"English\": " + zor::ToUtf8(kAppPath) +
                                      ": its stream is damaged ("))
      << err.str();
  EXPECT_TRUE(Contains(err.str(), "zorpack: C:\\Out\\package.exe: 1 entry could not be extracted\n")) << err.str();
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), "the good old one");
  EXPECT_EQ(bench.Bytes(kDest + L"core.dll"), bench.sources[L"core.dll"]);
  EXPECT_EQ(bench.Bytes(L"C:\\Sys\\driver.sys"), bench.sources[L"driver.sys"]);
  EXPECT_TRUE(bench.FilesNamed(L"~zr").empty());
  EXPECT_TRUE(Contains(out.str(), "Extracted 5 files (")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "; 1 not extracted\n")) << out.str();

  // A folder whose name would climb out of the destination is refused with
  // everything below it; its siblings still arrive.
  Repack([](CInstallProject& p) { ItemOf(FindNode(p.FindFileGroup(L"English")->GetTree().GetRoot(), L"gui"))
                                      ->SetName(L".."); });
  bench.host.DeleteFile(kDest + L"core.dll");
  EXPECT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest\\Inner", "--group", "English"}), 1);
  EXPECT_TRUE(Contains(err.str(), "Lumaglimpse\\..: its name is made of dots and spaces alone, so it names no "
                                  "entry of its own; refused; not extracted\n"))
      << err.str();
  EXPECT_TRUE(Contains(err.str(), ": 2 entries could not be extracted\n")) << err.str();
  EXPECT_EQ(bench.Bytes(L"C:\\Dest\\Inner\\core.dll"), bench.sources[L"core.dll"]);
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Dest\\main.ini"));
  EXPECT_FALSE(bench.host.HasFile(L"C:\\Dest\\Inner\\main.ini"));
}

TEST_F(ZorpackPackageFiles, DestinationsAndMappedFoldersNameFoldersInAnyForm) {
  // The working folder completes relative forms; "." and ".." components
  // are resolved before anything is decided about containment.
  bench.host.currentFolder = L"C:\\Work";
  bench.host.AddDirectory(L"C:\\Work");
  const struct {
    const char* dest;
    const char* sys;
    std::wstring destFolder;
    std::wstring sysFolder;
  } cases[] = {
      {".", "37=./sys", L"C:\\Work\\", L"C:\\Work\\sys\\"},
      {"./out", "37=sys\\..\\sys2", L"C:\\Work\\out\\", L"C:\\Work\\sys2\\"},
      {"x/../y", "37=C:\\S\\.\\T", L"C:\\Work\\y\\", L"C:\\S\\T\\"},
      {"C:\\a\\..\\b\\", "37=..\\up", L"C:\\b\\", L"C:\\up\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dest);
    ASSERT_EQ(Run({"extract", kPackageArg, "--dest", c.dest, "--folder", c.sys, "--group", "English"}), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(bench.Bytes(c.destFolder + L"app.exe"), bench.sources[L"app.exe"]);
    EXPECT_EQ(bench.Bytes(c.destFolder + L"gui\\main.ini"), bench.sources[L"main.ini"]);
    EXPECT_EQ(bench.Bytes(c.sysFolder + L"driver.sys"), bench.sources[L"driver.sys"]);
    EXPECT_TRUE(Contains(out.str(), "Extracted 5 files (")) << out.str();
  }
}

TEST_F(ZorpackPackageFiles, EveryFileLeftOutForAFaultOfThePackageIsAnError) {
  const struct {
    const char* what;
    std::function<void(CInstallProject&)> edit;
    std::string message;  // after "zorpack: C:\Out\package.exe: group \"English\": "
  } cases[] = {
      {"name ending in a dot", [](CInstallProject& p) { Item(p, L"English", L"core.dll")->SetName(L"core.dll."); },
       "Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\core.dll.: its name ends in a dot or a "
       "space, which Windows drops, so it would name another entry; refused; not extracted\n"},
      {"reserved character", [](CInstallProject& p) { Item(p, L"English", L"core.dll")->SetName(L"core?.dll"); },
       "Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\core?.dll: its name contains the "
       "character ?, which Windows refuses in names; refused; not extracted\n"},
      {"file without a name", [](CInstallProject& p) { Item(p, L"English", L"core.dll")->SetName(L""); },
       "Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse: its name is empty; refused; not "
       "extracted\n"},
      {"one file for Windows, letter case aside",
       [](CInstallProject& p) {
         Item(p, L"English", L"core.dll")->SetName(L"\u00c9T\u00c9.CHM");
         Item(p, L"English", L"help.chm")->SetName(L"\u00e9t\u00e9.chm");
       },
       "Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\\xc3\xa9t\xc3\xa9.chm: its name is the "
       "one of Destination Computer\\[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\\xc3\x89T\xc3\x89.CHM for "
       "Windows, letter case aside; refused; not extracted\n"},
      {"placed nowhere",
       [](CInstallProject& p) {
         CNode* root = p.FindFileGroup(L"English")->GetTree().GetRoot();
         root->AddChild(zortest::FolderNode(L"Loose", {zortest::FileNode(L"x.txt", L"C:\\Src\\core.dll")}));
         zortest::ItemOf(FindNode(root, L"x.txt"))->SetOffset(Item(p, L"English", L"core.dll")->GetOffset());
       },
       "1 file below Destination Computer: it stands for no system folder and no destination folder lies between, "
       "so they have no place; not extracted\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Repack(c.edit);
    EXPECT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--folder", "37=C:\\Sys", "--group", "English"}), 1);
    EXPECT_TRUE(Contains(err.str(), "zorpack: C:\\Out\\package.exe: group \"English\": " + c.message)) << err.str();
    EXPECT_TRUE(Contains(err.str(), "zorpack: C:\\Out\\package.exe: 1 entry could not be extracted\n")) << err.str();
    EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), bench.sources[L"app.exe"]);  // the others still arrive
  }
  // Two names of one file: the later is refused, so the earlier is kept.
  Repack([](CInstallProject& p) { Item(p, L"English", L"core.dll")->SetName(L"App.EXE"); });
  bench.host.DeleteFile(kDest + L"app.exe");
  EXPECT_EQ(Run({"extract", kPackageArg, "--dest", "C:\\Dest", "--group", "English", "--folder", "37=C:\\Sys"}), 1);
  EXPECT_TRUE(Contains(err.str(), "Lumaglimpse\\App.EXE: its name is the one of Destination Computer\\"
                                  "[ProgramFilesFolder]\\Tarvex\\Lumaglimpse\\app.exe for Windows, letter case "
                                  "aside; refused; not extracted\n"))
      << err.str();
  EXPECT_EQ(bench.Bytes(kDest + L"app.exe"), bench.sources[L"app.exe"]);
}

namespace {

// The test host, counting how often one path is opened.
class OpenCountingHost : public zor::TestHost {
 public:
  explicit OpenCountingHost(std::wstring watched) : watched_(std::move(watched)) {}
  std::unique_ptr<zor::File> OpenFile(const std::wstring& path, zor::FileAccess access, uint32_t share,
                                      zor::FileCreate create, long* error) override {
    if (zor::EqualsNoCase(path, watched_)) ++opens;
    return TestHost::OpenFile(path, access, share, create, error);
  }
  int opens = 0;

 private:
  std::wstring watched_;
};

TEST_F(ZorpackPackageFiles, VerifyAndExtractReadThePackageThroughOneHandle) {
  // Opened once, nothing can be put in its place between two reads.
  CZipFileIndexObject* app = Item(built, L"English", L"app.exe");
  std::string damaged = package;
  damaged[static_cast<size_t>(app->GetOffset() + app->GetPackedSize() / 2)] ^= 0x55;
  for (const std::string* bytes : {&package, &damaged}) {
    for (std::vector<std::string> args : {std::vector<std::string>{"verify", kPackageArg},
                                          std::vector<std::string>{"extract", kPackageArg, "--dest", "C:\\Dest"}}) {
      OpenCountingHost host(kPackage);
      zor::ScopedHost scope(&host);
      host.AddFile(kPackage, *bytes);
      host.AddDirectory(L"C:\\Dest");
      EXPECT_EQ(Run(args), bytes == &package ? 0 : 1) << args[0] << err.str();
      EXPECT_EQ(host.opens, 1) << args[0];
    }
  }
}

TEST(ZorpackStreams, AStreamThatExpandsPastTheLimitIsNamedAsSuch) {
  std::string stream = Zlib(std::string(200000, 'x'));
  zortest::SparseFile file(stream);
  const int64_t size = static_cast<int64_t>(stream.size());
  zorpack::StreamCheck whole = zorpack::CheckStream(file, 0, size, 200000);
  EXPECT_TRUE(whole.ok) << whole.problem;
  zorpack::StreamCheck over = zorpack::CheckStream(file, 0, size, 100000);
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.problem, "its stream expands past 100000 bytes, more than any file of a package can hold");
}

}  // namespace
