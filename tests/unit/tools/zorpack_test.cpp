// zorpack's commands and exit codes, run in-process against the test host.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/file_table.h"
#include "engine/result_codes.h"
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/wstr.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "tests/unit/tools/project_fixture.h"
#include "tools/project_json.h"
#include "tools/json_input.h"
#include "tools/zorpack/cli.h"

using namespace zortest;

namespace {

class Zorpack : public ::testing::Test {
 protected:
  void SetUp() override { host.AddDirectory(L"C:\\work"); }

  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return zorpack::Run(args, out, err);
  }

  static Bytes DefaultIndex() {
    CInstallProject project;
    FillProject(&project);
    return StoreProject(project);
  }

  zor::TestHost host;
  zor::ScopedHost scope{&host};
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace

TEST_F(Zorpack, NewWritesADescriptionOfTheDefaultProject) {
  ASSERT_EQ(Run({"new", "C:\\work\\project.json"}), 0) << err.str();
  CInstallProject loaded;
  std::string error;
  ASSERT_TRUE(zor::LoadProjectDescription(L"C:\\work\\project.json", &loaded, &error)) << error;
  EXPECT_EQ(StoreProject(loaded), DefaultIndex());
}

TEST_F(Zorpack, NewKeepsAnExistingFileUnlessForced) {
  host.AddFile(L"C:\\work\\project.json", "mine");
  EXPECT_EQ(Run({"new", "C:\\work\\project.json"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\project.json already exists; use --force to replace it\n");
  EXPECT_EQ(host.FileBytes(L"C:\\work\\project.json"), "mine");
  EXPECT_EQ(Run({"new", "--force", "C:\\work\\project.json"}), 0);
  EXPECT_NE(host.FileBytes(L"C:\\work\\project.json"), "mine");
  EXPECT_EQ(Run({"new", "C:\\nowhere\\project.json"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\nowhere\\project.json: no such folder\n");
}

TEST_F(Zorpack, IndexWritesTheProjectIndexOfADescription) {
  ASSERT_EQ(Run({"new", "C:\\work\\p.json"}), 0);
  ASSERT_EQ(Run({"index", "C:\\work\\p.json", "-o", "C:\\work\\p.idx"}), 0) << err.str();
  std::optional<std::string> index = host.FileBytes(L"C:\\work\\p.idx");
  ASSERT_TRUE(index);
  EXPECT_EQ(Bytes(index->begin(), index->end()), DefaultIndex());
}

TEST_F(Zorpack, DescribeJsonGivesADescriptionOfTheSameProject) {
  ASSERT_EQ(Run({"new", "C:\\work\\p.json"}), 0);
  ASSERT_EQ(Run({"describe", "C:\\work\\p.json"}), 0);
  EXPECT_NE(out.str().find("File group \"English File Groups\":"), std::string::npos) << out.str();
  ASSERT_EQ(Run({"describe", "--json", "C:\\work\\p.json"}), 0);
  EXPECT_NE(out.str().find("\"offset\": -1"), std::string::npos);  // every field, build outputs too
  CInstallProject again;
  zor::ProjectFromJsonText(out.str(), L"", &again);
  EXPECT_EQ(StoreProject(again), DefaultIndex());
}

TEST_F(Zorpack, ABadDescriptionNamesTheFileAndThePlace) {
  host.AddFile(L"C:\\work\\bad.json", R"({"product": {"version": 2}})");
  EXPECT_EQ(Run({"describe", "C:\\work\\bad.json"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\bad.json: product.version: expected a string\n");
  EXPECT_EQ(Run({"index", "C:\\work\\missing.json", "-o", "C:\\work\\x"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\missing.json: no such file\n");
  EXPECT_FALSE(host.HasFile(L"C:\\work\\x"));
}

TEST_F(Zorpack, UsageErrorsExitWithTwoAndHelpWithZero) {
  const struct {
    std::vector<std::string> args;
    int code;
  } cases[] = {
      {{}, 2},
      {{"build"}, 2},
      {{"verify"}, 2},
      {{"verify", "a.exe", "b.exe"}, 2},
      {{"extract", "a.exe"}, 2},  // no --dest
      {{"extract", "a.exe", "--dest"}, 2},
      {{"extract", "--dest", "out"}, 2},
      {{"unpack", "a.exe"}, 2},  // not a command
      {{"new"}, 2},
      {{"new", "a.json", "b.json"}, 2},
      {{"new", "--frce", "a.json"}, 2},
      {{"index", "a.json"}, 2},
      {{"--help"}, 0},
      {{"new", "--help"}, 0},
      {{"describe", "-h"}, 0},
      {{"index", "--help"}, 0},
      {{"verify", "--help"}, 0},
      {{"extract", "--help"}, 0},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    EXPECT_EQ(Run(c.args), c.code) << joined << err.str();
    if (c.code == 0) {
      EXPECT_NE(out.str().find("Usage: zorpack"), std::string::npos) << joined;
    } else {
      EXPECT_NE(err.str().find("--help"), std::string::npos) << joined << err.str();
    }
  }
  EXPECT_FALSE(host.HasFile(L"a.json"));

  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* command : {"build", "list", "verify", "extract", "new", "describe", "index"})
    EXPECT_NE(out.str().find(std::string("\n  ") + command + " "), std::string::npos) << command << out.str();
  EXPECT_EQ(Run({"unpack"}), 2);
  EXPECT_EQ(err.str(),
            "zorpack: unknown command \"unpack\" (build, list, verify, extract, new, describe, index)\n"
            "Run with --help for more information.\n");
  EXPECT_EQ(Run({"extract", "--help"}), 0);
  for (const char* option : {"PACKAGE", "--dest", "--group", "--folder"})
    EXPECT_NE(out.str().find(option), std::string::npos) << option << out.str();
}

namespace {

const char kProduct[] = R"({
  "product": {"name": "P", "engine": "engine.exe"},
  "fileGroups": [{"name": "Common", "tree": {"kind": "folder", "name": "App", "destination": true, "fromFolder": "dist",
                  "children": [{"kind": "file", "source": "readme.txt", "name": "ReadMe.txt"}]}}]})";

// The package with its index entry named the same whatever temporary file
// the builder stored the index in, so two builds compare byte for byte.
std::string WithFixedIndexName(const std::optional<std::string>& package) {
  if (!package) return "<missing>";
  zortest::SparseFile file(*package);
  zor::CFileTableEntry entries[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
  if (zor::ReadFileTable(file, entries, &count, &info) != zor::kResultOk) return "<no package>";
  for (int32_t i = 0; i < count; ++i) entries[i].m_strName = L"Zor1.tmp";
  std::string table;
  if (!zor::EncodeFileTable(entries, count, &table)) return "<no table>";
  return package->substr(0, static_cast<size_t>(info.tableStart)) + table;
}

class ZorpackPackage : public Zorpack {
 protected:
  void SetUp() override {
    Zorpack::SetUp();
    host.AddDirectory(L"C:\\work\\dist");
    host.AddDirectory(host.tempFolder);  // the builder writes the index there first
    host.AddFile(L"C:\\work\\engine.exe", std::string(3000, 'E'));
    host.AddFile(L"C:\\work\\readme.txt", "read me");
    host.AddFile(L"C:\\work\\dist\\app.exe", std::string(5000, 'a'));
    host.AddFile(L"C:\\work\\p.json", kProduct);
  }
};

}  // namespace

TEST_F(ZorpackPackage, BuildThenListGivesTheDescribedProjectWithItsStreams) {
  ASSERT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\out.exe", "--log", "C:\\work\\build.log"}), 0)
      << err.str();
  EXPECT_EQ(out.str(), "Built C:\\work\\out.exe with 2 packed files\n");
  EXPECT_TRUE(host.HasFile(L"C:\\work\\build.log"));

  ASSERT_EQ(Run({"list", "--json", "C:\\work\\out.exe"}), 0) << err.str();
  zor::Json listed = zor::ParseDescription(out.str());
  const zor::Json& app = listed["fileGroups"][0]["tree"]["children"][1];
  EXPECT_EQ(app["name"], "app.exe");
  EXPECT_GE(app["offset"].get<int>(), 3000);
  EXPECT_GT(app["packedSize"].get<int>(), 0);
  // Apart from the streams, the package holds the described project.
  CInstallProject fromPackage;
  zor::ProjectFromJson(listed, L"", &fromPackage);
  CInstallProject described;
  std::string error;
  ASSERT_TRUE(zor::LoadProjectDescription(L"C:\\work\\p.json", &described, &error)) << error;
  EXPECT_EQ(StoreProject(fromPackage), StoreProject(described));

  ASSERT_EQ(Run({"list", "C:\\work\\out.exe"}), 0);
  EXPECT_NE(out.str().find("app.exe  [offset"), std::string::npos) << out.str();
}

TEST_F(ZorpackPackage, BuildNamesWhatIsMissingAndLeavesNoPackage) {
  host.AddFile(L"C:\\work\\bad.json", R"({"product": {"engine": "engine.exe"},
      "fileGroups": [{"name": "G", "tree": {"kind": "folder", "name": "F", "children": [{"kind": "file", "source": "gone.dll"}]}}]})");
  EXPECT_EQ(Run({"build", "C:\\work\\bad.json", "-o", "C:\\work\\out.exe"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\bad.json: file group \"G\": F\\gone.dll: its source C:\\work\\gone.dll does not "
                       "exist or is no regular file\n");
  EXPECT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\out.exe", "--engine", "C:\\none.exe"}), 1);
  EXPECT_EQ(err.str(), "zorpack: the engine executable C:\\none.exe does not exist\n");
  host.AddFile(L"C:\\work\\noengine.json", "{}");
  EXPECT_EQ(Run({"build", "C:\\work\\noengine.json", "-o", "C:\\work\\out.exe"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\noengine.json: no engine executable; give product.engine or --engine FILE\n");
  // The output folder does not exist: the builder fails, and nothing is left.
  EXPECT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\missing\\out.exe", "--log", "C:\\work\\b.log"}), 1);
  EXPECT_NE(err.str().find("building C:\\work\\missing\\out.exe failed"), std::string::npos) << err.str();
  EXPECT_FALSE(host.HasFile(L"C:\\work\\out.exe"));
}

TEST_F(ZorpackPackage, ListRefusesWhatIsNoPackage) {
  EXPECT_EQ(Run({"list", "C:\\work\\p.json"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\p.json is not a package (no package trailer at its end)\n");
  EXPECT_EQ(Run({"list", "C:\\work\\none.exe"}), 1);
  EXPECT_EQ(err.str(), "zorpack: C:\\work\\none.exe cannot be opened\n");
}

TEST_F(ZorpackPackage, TextsWithControlsAndLoneSurrogatesSurviveListJsonAndPrintEscaped) {
  // sequence; the group holds C1 and bidirectional controls, the file name a
  // lone low surrogate and a right-to-left override.
  // controls.
  host.AddFile(L"C:\\work\\odd.json", R"({
    "product": {"name": {"utf16": [80, 55296, 27, 91, 50, 74]}, "engine": "engine.exe",
                "company": "Acme\u001b]0;owned\u0007"},
    "fileGroups": [{"name": "Com\u0085mon\u202e", "tree": {"kind": "folder", "name": "App", "destination": true,
      "children": [{"kind": "file", "source": "readme.txt", "name": {"utf16": [56320, 120, 8238]}}]}}]})");
  ASSERT_EQ(Run({"build", "C:\\work\\odd.json", "-o", "C:\\work\\odd.exe"}), 0) << err.str();
  ASSERT_EQ(Run({"index", "C:\\work\\odd.json", "-o", "C:\\work\\described.idx"}), 0) << err.str();

  ASSERT_EQ(Run({"list", "--json", "C:\\work\\odd.exe"}), 0) << err.str();
  EXPECT_EQ(out.str().find("\xEF\xBF\xBD"), std::string::npos) << "no text was replaced";
  host.AddFile(L"C:\\work\\listed.json", out.str());
  ASSERT_EQ(Run({"index", "C:\\work\\listed.json", "-o", "C:\\work\\listed.idx"}), 0) << err.str();
  EXPECT_EQ(host.FileBytes(L"C:\\work\\listed.idx"), host.FileBytes(L"C:\\work\\described.idx"));
  ASSERT_EQ(Run({"build", "C:\\work\\listed.json", "-o", "C:\\work\\again.exe"}), 0) << err.str();
  EXPECT_TRUE(WithFixedIndexName(host.FileBytes(L"C:\\work\\again.exe")) ==
              WithFixedIndexName(host.FileBytes(L"C:\\work\\odd.exe")));

  for (const char* command : {"list", "describe"}) {
    ASSERT_EQ(Run({command, std::string("list") == command ? "C:\\work\\odd.exe" : "C:\\work\\odd.json"}), 0);
    const std::string text = out.str();
    for (char control : {'\x1B', '\x07', '\r'}) EXPECT_EQ(text.find(control), std::string::npos) << command;
    for (const char* escaped : {"P\\uD800\\u001B[2J", "(Acme\\u001B]0;owned\\u0007)", "Com\\u0085mon\\u202E",
                                "\\uDC00x\\u202E"})
      EXPECT_NE(text.find(escaped), std::string::npos) << command << ": " << escaped << "\n" << text;
  }
}

TEST_F(ZorpackPackage, BuildGivesTheSameBytesForEveryThreadCount) {
  // Files of one and of several reads, more of them than threads.
  for (int i = 0; i < 12; ++i)
    host.AddFile(L"C:\\work\\dist\\part" + std::to_wstring(i) + L".bin",
                 zortest::SampleBytes(static_cast<size_t>(i * 23011 % 150000), static_cast<uint32_t>(i)));
  std::string first;
  for (const char* threads : {"1", "2", "7"}) {
    ASSERT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\out.exe", "--threads", threads}), 0) << err.str();
    EXPECT_EQ(out.str(), "Built C:\\work\\out.exe with 14 packed files\n");
    std::string package = WithFixedIndexName(host.FileBytes(L"C:\\work\\out.exe"));
    if (first.empty()) first = package;
    EXPECT_TRUE(package == first) << threads << " threads: " << package.size() << " bytes, " << first.size() << " with one";
  }
}

TEST_F(ZorpackPackage, ThreadCountsOutsideOneToSixtyFourAreUsageErrors) {
  for (const char* threads : {"0", "-1", "65", "4294967297", "two", "1.5", ""}) {
    EXPECT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\out.exe", "--threads", threads}), 2) << threads;
    EXPECT_NE(err.str().find("--threads"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(std::string("expected a number of threads from 1 to 64, not \"") + threads + "\""),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(host.HasFile(L"C:\\work\\out.exe")) << threads;
  }
  EXPECT_EQ(Run({"build", "C:\\work\\p.json", "-o", "C:\\work\\out.exe", "--threads", "64"}), 0) << err.str();
}
TEST_F(ZorpackPackage, ADescriptionGivesTheSameIndexFromAnyWorkingFolder) {
  host.AddFile(L"C:\\work\\p2.json", R"({"product": {"engine": "engine.exe"},
      "project": {"buildLog": "logs\\build.log"},
      "fileGroups": [{"name": "G", "tree": {"kind": "folder", "name": "App", "destination": true, "fromFolder": "dist",
                      "children": [{"kind": "file", "source": "readme.txt"}]}}]})");
  host.AddDirectory(L"C:\\other");
  const struct {
    const wchar_t* current;
    const char* description;
  } cases[] = {{L"C:\\work", "p2.json"}, {L"C:\\", "work\\p2.json"}, {L"C:\\other", "..\\work\\.\\p2.json"}};
  std::optional<std::string> first;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    host.currentFolder = c.current;
    ASSERT_EQ(Run({"index", c.description, "-o", "C:\\work\\p.idx"}), 0) << err.str();
    std::optional<std::string> index = host.FileBytes(L"C:\\work\\p.idx");
    ASSERT_TRUE(index);
    if (!first) first = index;
    EXPECT_EQ(*index, *first);
  }
  // What is stored are the full paths.
  CInstallProject loaded;
  std::string error;
  host.currentFolder = L"C:\\other";
  ASSERT_TRUE(zor::LoadProjectDescription(L"..\\work\\p2.json", &loaded, &error)) << error;
  EXPECT_EQ(loaded.GetProductInfo()->GetEnginePath(), L"C:\\work\\engine.exe");
  EXPECT_EQ(loaded.GetProjectInfo()->GetBuildLogPath(), L"C:\\work\\logs\\build.log");
  CNode* root = loaded.FindFileGroup(L"G")->GetTree().GetRoot();
  EXPECT_EQ(static_cast<CZipFileIndexObject*>(root->GetChild(0)->GetData())->GetSourcePath(),
            L"C:\\work\\readme.txt");
  EXPECT_EQ(static_cast<CZipFileIndexObject*>(root->GetChild(1)->GetData())->GetSourcePath(),
            L"C:\\work\\dist\\app.exe");
  // The engine given on the command line is the user's, against the working folder.
  ASSERT_EQ(Run({"build", "..\\work\\p2.json", "-o", "C:\\work\\out.exe", "--engine", "..\\work\\engine.exe"}), 0)
      << err.str();
  ASSERT_EQ(Run({"list", "--json", "C:\\work\\out.exe"}), 0);
  EXPECT_EQ(zor::ParseDescription(out.str())["product"]["engine"], "C:\\work\\engine.exe");
}

TEST_F(ZorpackPackage, BuildRefusesWhatTheExtractorCouldNotPlaceBeforeWritingAnything) {
  const struct {
    const char* node;     // a child of the destination folder "App"
    std::string message;  // after "zorpack: C:\work\bad.json: file group "G": "
  } cases[] = {
      {R"({"kind": "file", "source": "readme.txt", "name": "readme."})",
       "App\\readme.: its name ends in a dot or a space, which Windows drops, so it would name another entry"},
      {R"({"kind": "file", "source": "readme.txt", "name": "a|b"})",
       "App\\a|b: its name contains the character |, which Windows refuses in names"},
      {R"({"kind": "folder", "name": "COM\u00b2"})", "App\\COM\xc2\xb2: its name is a device name, which Windows opens "
                                                    "instead of a file"},
      {R"({"kind": "folder", "children": [{"kind": "file", "source": "readme.txt"}]})",
       "App: it is a folder without a name"},
      {R"({"kind": "file", "name": "lonely.txt"})", "App\\lonely.txt: it is a file without a source"},
      {R"({"kind": "file", "name": "d", "source": "dist"})", "App\\d: its source C:\\work\\dist is a folder, not a file"},
      {R"({"kind": "folder", "name": "F", "source": "readme.txt"})",
       "App\\F: it is a folder, but its source C:\\work\\readme.txt is a file"},
      {R"({"kind": "file", "name": "n.txt", "source": "read\u0000me.txt"})",
       "App\\n.txt: its source path holds a NUL character"},
      {R"({"kind": "file", "source": "readme.txt", "name": "APP.EXE"})",
       "App\\app.exe: its name is the one of App\\APP.EXE for Windows, letter case aside"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.node);
    host.AddFile(L"C:\\work\\bad.json", std::string(R"({"product": {"engine": "engine.exe"}, "fileGroups": [
        {"name": "G", "tree": {"kind": "folder", "name": "App", "destination": true, "fromFolder": "dist",
                               "children": [)") + c.node + "]}}]}");
    EXPECT_EQ(Run({"build", "C:\\work\\bad.json", "-o", "C:\\work\\out.exe"}), 1);
    EXPECT_EQ(err.str(), "zorpack: C:\\work\\bad.json: file group \"G\": " + c.message + "\n");
    EXPECT_FALSE(host.HasFile(L"C:\\work\\out.exe"));
  }
}

#ifndef _WIN32
namespace {

// Builds, in `dir` of the real file system, a description whose one file has
// the source `source`; returns the exit code, and what was said in `err`.
int BuildOneSource(zortest::ScratchDir& dir, const char* source, std::string* err) {
  zortest::WriteAll(dir.Path(L"engine.exe"), "MZ engine");
  zortest::WriteAll(dir.Path(L"p.json"), std::string(R"({"product": {"engine": "engine.exe"}, "fileGroups": [{"name": "G",
      "tree": {"kind": "folder", "name": "App", "destination": true,
               "children": [{"kind": "file", "source": ")") + source + R"("}]}}]})");
  std::ostringstream out, said;
  int code = zorpack::Run({"build", zor::ToUtf8(dir.Path(L"p.json")), "-o", zor::ToUtf8(dir.Path(L"out.exe"))}, out, said);
  *err = said.str();
  return code;
}

}  // namespace

TEST(ZorpackBuild, APipeAsASourceIsRefusedWithoutWaitingForIt) {
  zortest::ScratchDir dir;
  ASSERT_EQ(::mkfifo(zor::ToUtf8(dir.Path(L"pipe")).c_str(), 0644), 0);
  std::string err;
  EXPECT_EQ(BuildOneSource(dir, "pipe", &err), 1);
  EXPECT_EQ(err, "zorpack: " + zor::ToUtf8(dir.Path(L"p.json")) + ": file group \"G\": App\\pipe: its source " +
                     zor::ToUtf8(dir.Path(L"pipe")) + " does not exist or is no regular file\n");
  EXPECT_FALSE(zortest::Exists(dir.Path(L"out.exe")));
  // Nor does the host itself hand a pipe out as a file to read.
  long error = 0;
  EXPECT_FALSE(zor::CurrentHost().OpenFile(dir.Path(L"pipe"), zor::FileAccess::kRead, zor::kShareRead,
                                           zor::FileCreate::kOpenExisting, &error));
  EXPECT_EQ(error, zor::kErrAccessDenied);
}

TEST(ZorpackBuild, ASourceLargerThanAPackageFileCanBeIsRefusedBeforeItIsRead) {
  zortest::ScratchDir dir;
  // Sparse: 2 GiB of nothing costs no disk, and the build must not read it.
  const std::string big = zor::ToUtf8(dir.Path(L"big.bin"));
  zortest::WriteAll(dir.Path(L"big.bin"), "");
  ASSERT_EQ(::truncate(big.c_str(), 0x80000000LL), 0);
  std::string err;
  EXPECT_EQ(BuildOneSource(dir, "big.bin", &err), 1);
  EXPECT_EQ(err, "zorpack: " + zor::ToUtf8(dir.Path(L"p.json")) + ": file group \"G\": App\\big.bin: its source " +
                     big + " holds 2147483648 bytes, more than a file of a package can (2147483647)\n");
  EXPECT_FALSE(zortest::Exists(dir.Path(L"out.exe")));
}
#endif
