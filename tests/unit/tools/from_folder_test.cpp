// The "fromFolder" shorthand: a folder of the building machine becomes folder
// and file nodes, the same way whatever order the system lists it in.
#include <gtest/gtest.h>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/tools/project_fixture.h"
#include "tools/project_json.h"

using namespace zortest;

namespace {

// One line per node below `node`: indent, name, and the source of files.
void Outline(const CNode* node, int depth, std::string* out) {
  for (int i = 0; i < node->GetChildCount(); ++i) {
    const CNode* child = node->GetChild(i);
    auto* item = static_cast<const CZipFileIndexObject*>(child->GetData());
    *out += std::string(static_cast<size_t>(depth) * 2, ' ') + zor::ToUtf8(item->GetName());
    if (item->GetFolderFlag()) *out += "/";
    if (!item->GetSourcePath().empty()) *out += " <- " + zor::ToUtf8(item->GetSourcePath());
    *out += "\n";
    Outline(child, depth + 1, out);
  }
}

class FromFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // Added in an order unlike the sorted one, names in mixed case.
    host.AddDirectory(L"C:\\src");
    host.AddDirectory(L"C:\\src\\dist");
    host.AddDirectory(L"C:\\src\\dist\\sub");
    host.AddDirectory(L"C:\\src\\dist\\Empty");
    host.AddDirectory(L"C:\\src\\dist\\sub\\deeper");
    host.AddFile(L"C:\\src\\dist\\sub\\x.dll", "x");
    host.AddFile(L"C:\\src\\dist\\b.txt", "b");
    host.AddFile(L"C:\\src\\dist\\A.txt", "a");
    host.AddFile(L"C:\\src\\dist\\sub\\deeper\\readme", "r");
    host.AddFile(L"C:\\src\\other.txt", "o");
  }

  // Loads `json` as C:\src\project.json; the message on failure.
  std::string Load(const std::string& json, CInstallProject* project) {
    host.AddFile(L"C:\\src\\project.json", json);
    std::string error;
    zor::LoadProjectDescription(L"C:\\src\\project.json", project, &error);
    return error;
  }

  zor::TestHost host;
  zor::ScopedHost scope{&host};
};

}  // namespace

TEST_F(FromFolder, FillsAFolderNodeFilesFirstThenFoldersEachSortedByName) {
  CInstallProject project;
  ASSERT_EQ(Load(R"({"fileGroups": [{"name": "Common", "tree": {"kind": "folder", "name": "App",
      "destination": true, "fromFolder": "dist",
      "children": [{"kind": "file", "source": "other.txt"}]}}]})",
                 &project),
            "");
  const CNode* root = project.GetFileGroups().GetHead()->GetTree().GetRoot();
  std::string outline;
  Outline(root, 0, &outline);
  // Written children come first, then the folder's contents.
  EXPECT_EQ(outline,
            "other.txt <- C:\\src\\other.txt\n"
            "A.txt <- C:\\src\\dist\\A.txt\n"
            "b.txt <- C:\\src\\dist\\b.txt\n"
            "Empty/\n"
            "sub/\n"
            "  x.dll <- C:\\src\\dist\\sub\\x.dll\n"
            "  deeper/\n"
            "    readme <- C:\\src\\dist\\sub\\deeper\\readme\n");
  auto* rootItem = static_cast<const CZipFileIndexObject*>(root->GetData());
  EXPECT_EQ(rootItem->GetDestinationFlag(), 1);
}

TEST_F(FromFolder, DescribesTheSameTreeAsWrittenOutNodes) {
  CInstallProject shorthand;
  ASSERT_EQ(Load(R"({"fileGroups": [{"tree": {"kind": "predefined", "systemFolder": 38, "fromFolder": "C:/src/dist/sub"}}]})",
                 &shorthand),
            "");
  CInstallProject written;
  ASSERT_EQ(Load(R"({"fileGroups": [{"tree": {"kind": "predefined", "systemFolder": 38, "children": [
      {"kind": "file", "source": "C:/src/dist/sub/x.dll"},
      {"kind": "folder", "name": "deeper", "children": [{"kind": "file", "source": "C:/src/dist/sub/deeper/readme"}]}]}}]})",
                 &written),
            "");
  EXPECT_EQ(StoreProject(shorthand), StoreProject(written));
}

TEST_F(FromFolder, AFolderThatCannotBeReadIsAnErrorNamingIt) {
  CInstallProject project;
  EXPECT_EQ(Load(R"({"fileGroups": [{"tree": {"kind": "folder", "children": [{"kind": "folder", "fromFolder": "missing"}]}}]})",
                 &project),
            "C:\\src\\project.json: fileGroups[0].tree.children[0].fromFolder: cannot read the folder C:\\src\\missing");
  EXPECT_TRUE(project.GetFileGroups().IsEmpty());
}

TEST_F(FromFolder, AMissingDescriptionIsNamed) {
  CInstallProject project;
  std::string error;
  EXPECT_FALSE(zor::LoadProjectDescription(L"C:\\src\\nothing.json", &project, &error));
  EXPECT_EQ(error, "C:\\src\\nothing.json: no such file");
}
