#include "model/obtree.h"

#include <gtest/gtest.h>

#include "model/predefined_folder.h"
#include "model/byte_stream.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/heap_peak.h"

using namespace zortest;

namespace {
CNode* Leaf(const wchar_t* name) {
  auto* n = new CNode;
  n->SetData(new CPreDefineFolder(name, 0));
  return n;
}
}  // namespace

TEST(ObTree, RootWithFourLeavesStoresInPreOrder) {
  CObTree tree;
  CNode* root = Leaf(L"r");
  for (const wchar_t* n : {L"a", L"b", L"c", L"d"}) root->AddChild(Leaf(n));
  tree.SetRoot(root);
  Bytes got = StoreRecord(tree);
  Bytes want = Cat({ClassRecord("CPreDefineFolder"), Str(L"r"), Int(0), Int(4)});
  for (const wchar_t* n : {L"a", L"b", L"c", L"d"}) want = Cat({want, B({0x01, 0x80}), Str(n), Int(0), Int(0)});
  EXPECT_EQ(got, want);
}

TEST(ObTree, LoadRebuildsShapeParentsAndCounts) {
  CObTree tree;
  CNode* root = Leaf(L"r");
  CNode* first = Leaf(L"1");
  first->AddChild(Leaf(L"1.1"));
  root->AddChild(first);
  root->AddChild(Leaf(L"2"));
  tree.SetRoot(root);
  Bytes bytes = StoreRecord(tree);

  CObTree back;
  ASSERT_EQ(Load(bytes, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::none);
  CNode* r = back.GetRoot();
  ASSERT_EQ(r->GetChildCount(), 2);
  EXPECT_EQ(r->GetLoadedChildCount(), 2);
  EXPECT_EQ(r->GetChild(0)->GetParent(), r);
  EXPECT_EQ(r->GetChild(0)->GetChild(0)->GetParent(), r->GetChild(0));
  EXPECT_EQ(r->GetChild(0)->GetLoadedChildCount(), 1);
  EXPECT_EQ(static_cast<CPreDefineFolder*>(r->GetChild(0)->GetChild(0)->GetData())->GetName(), L"1.1");
  EXPECT_EQ(r->GetChild(2), nullptr);
  EXPECT_EQ(r->GetChild(-1), nullptr);
  EXPECT_EQ(StoreRecord(back), bytes);
}

TEST(ObTree, NullDataAndMissingRootStoreAReadableRecord) {
  CObTree rootless;
  EXPECT_EQ(StoreRecord(rootless), Cat({Word(0), Int(0)}));
  CObTree back;
  EXPECT_EQ(Load(StoreRecord(rootless), [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException::none);
  ASSERT_NE(back.GetRoot(), nullptr);
  EXPECT_EQ(back.GetRoot()->GetData(), nullptr);
}

TEST(ObTree, HostileShapesFailCleanly) {
  CObTree t;
  // A child count far beyond the bytes left.
  EXPECT_EQ(Load(Cat({Word(0), Int(0x7FFFFFFF)}), [&](CArchive& ar) { t.Serialize(ar); }), CArchiveException::endOfFile);
  // A chain deeper than any real folder tree.
  Bytes deep;
  for (int i = 0; i < 5000; ++i) deep = Cat({deep, Word(0), Int(1)});
  deep = Cat({deep, Word(0), Int(0)});
  EXPECT_EQ(Load(deep, [&](CArchive& ar) { t.Serialize(ar); }), CArchiveException::generic);
}

TEST(ObTree, RemoveAndDetachKeepTheNodeAlive) {
  CNode root;
  CNode* child = Leaf(L"c");
  root.AddChild(child);
  root.AddChild(nullptr);
  EXPECT_EQ(root.GetChildCount(), 1);
  EXPECT_EQ(child->Detach(), child);
  EXPECT_EQ(root.GetChildCount(), 0);
  EXPECT_EQ(child->GetParent(), &root);  // left as it was
  delete child;
}

TEST(ObTree, AMillionNodesLoadWithinTensOfMegabytes) {
  if (!HeapPeak::Available()) GTEST_SKIP() << "no heap counting in this build";
  // A root, 1,000 folders of 999 leaves each: 1,000,001 nodes stored in
  // six bytes each (a null data reference and a child count).
  const Bytes leaf = Cat({Word(0), Int(0)});
  Bytes stored = Cat({Word(0), Int(1000)});
  stored.reserve(6 * 1000001);
  for (int f = 0; f < 1000; ++f) {
    for (const Bytes& part : {Word(0), Int(999)}) stored.insert(stored.end(), part.begin(), part.end());
    for (int l = 0; l < 999; ++l) stored.insert(stored.end(), leaf.begin(), leaf.end());
  }
  MemoryStream stream(stored.data(), stored.size());
  CObTree tree;
  int64_t peak = HeapPeak::Of([&] {
    CArchive ar(&stream, CArchive::load);
    tree.Serialize(ar);
  });
  ASSERT_EQ(tree.GetRoot()->GetChildCount(), 1000);
  ASSERT_EQ(tree.GetRoot()->GetChild(999)->GetChildCount(), 999);
  EXPECT_LE(peak, int64_t{80} << 20) << "bytes per node: " << peak / 1000001;
  RecordProperty("bytesPerNode", static_cast<int>(peak / 1000001));
}
