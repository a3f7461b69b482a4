// zorpack's commands and exit codes, run in-process against the test host.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/testhost/test_host.h"
#include "tests/unit/tools/project_fixture.h"
#include "tools/project_json.h"
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
      {{"build"}, 2},  // not in this build
      {{"new"}, 2},
      {{"new", "a.json", "b.json"}, 2},
      {{"new", "--frce", "a.json"}, 2},
      {{"index", "a.json"}, 2},
      {{"--help"}, 0},
      {{"new", "--help"}, 0},
      {{"describe", "-h"}, 0},
      {{"index", "--help"}, 0},
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
}
