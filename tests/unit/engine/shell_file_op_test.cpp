#include "engine/shell_file_op.h"

#include <gtest/gtest.h>

#include "tests/unit/engine/engine_fixtures.h"

namespace {

// Records what reaches the shell for the life of the object.
class ShellCapture {
 public:
  explicit ShellCapture(int result = 0, bool abort = false) {
    previous_ = zor::SetShellFileOpHandler([this, result, abort](zor::ShellFileOpRecord& r) {
      Seen s;
      s.record = r;
      auto list = [](const wchar_t* p) {
        std::wstring out;
        if (!p) return out;
        while (*p || *(p + 1)) out.push_back(*p++);
        return out + std::wstring(2, L'\0');
      };
      s.from = list(r.from);
      s.to = list(r.to);
      s.title = r.progressTitle ? r.progressTitle : L"";
      seen.push_back(s);
      if (abort) r.anyOperationsAborted = 1;
      return result;
    });
  }
  ~ShellCapture() { zor::SetShellFileOpHandler(previous_); }
  struct Seen {
    zor::ShellFileOpRecord record;
    std::wstring from, to, title;
  };
  std::vector<Seen> seen;

 private:
  zor::ShellFileOpHandler previous_;
};

TEST(ShellFileOp, ListsAreZeroSeparatedAndEndWithTwoZeros) {
  zor::CShellFileOp op;
  EXPECT_EQ(op.FromList(), L"");
  op.AddFrom(L"a");
  EXPECT_EQ(op.FromList(), std::wstring(L"a\0\0", 3));
  op.AddFrom(L"bb");
  op.AddFrom(L"c");
  EXPECT_EQ(op.FromList(), std::wstring(L"a\0bb\0c\0\0", 8));
  EXPECT_EQ(op.FromCapacity(), 8u);  // grown to exactly what is needed
  op.ClearFrom();
  EXPECT_EQ(op.FromList(), L"");
  EXPECT_EQ(op.Record().from, nullptr);
  op.ReserveFrom(100);
  EXPECT_EQ(op.FromCapacity(), 101u);
  op.AddFrom(L"x");
  EXPECT_EQ(op.FromList(), std::wstring(L"x\0\0", 3));
  EXPECT_EQ(op.FromCapacity(), 101u);
  EXPECT_EQ(op.Record().from[0], L'x');
}

TEST(ShellFileOp, ConstructionRunsTheOperationAtOnce) {
  ShellCapture shell(0);
  zor::CShellFileOp op(0x55, zor::kShellCopy, L"C:\\a.txt", L"", 0x14, L"Copying");
  ASSERT_EQ(shell.seen.size(), 1u);
  EXPECT_EQ(op.Result(), 0);
  const auto& s = shell.seen[0];
  EXPECT_EQ(s.record.owner, 0x55u);
  EXPECT_EQ(s.record.operation, 2u);
  EXPECT_EQ(s.record.flags, 0x14);
  EXPECT_EQ(s.from, std::wstring(L"C:\\a.txt\0\0", 10));
  EXPECT_EQ(s.to, std::wstring(2, L'\0'));  // an empty to path: two zeros
  EXPECT_EQ(s.title, L"Copying");
}

TEST(ShellFileOp, EachOperationSetsItsCodeAndReportsTheResult) {
  ShellCapture shell(0x7C, true);
  zor::CShellFileOp op;
  op.AddFrom(L"x");
  op.SetFlags(0x10);
  EXPECT_EQ(op.GetFlags(), 0x10);
  op.SetOwner(9);
  op.SetProgressTitle(L"t");
  EXPECT_EQ(op.Move(), 0x7C);
  EXPECT_TRUE(op.AnyOperationsAborted());
  op.SetProgressTitle(L"");
  EXPECT_EQ(op.Copy(), 0x7C);
  EXPECT_EQ(op.Delete(), 0x7C);
  EXPECT_EQ(op.Rename(), 0x7C);
  ASSERT_EQ(shell.seen.size(), 4u);
  EXPECT_EQ(shell.seen[0].record.operation, 1u);
  EXPECT_EQ(shell.seen[0].title, L"t");
  EXPECT_EQ(shell.seen[1].record.operation, 2u);
  EXPECT_EQ(shell.seen[1].title, L"");
  EXPECT_EQ(shell.seen[2].record.operation, 3u);
  EXPECT_EQ(shell.seen[3].record.operation, 4u);
  // Each run starts with a cleared aborted flag.
  EXPECT_EQ(shell.seen[3].record.anyOperationsAborted, 0);
}

#ifdef _WIN32
TEST(ShellFileOp, TheShellCopiesAFile) {
  zortest::ScratchDir dir;
  zortest::WriteAll(dir.Path(L"a.txt"), "shell");
  // Silent, no confirmation, no error window.
  zor::CShellFileOp op(0, zor::kShellCopy, dir.Path(L"a.txt"), dir.Path(L"b.txt"), 0x0614, L"");
  EXPECT_EQ(op.Result(), 0);
  EXPECT_EQ(zortest::ReadAll(dir.Path(L"b.txt")), "shell");
}
#else
TEST(ShellFileOp, WithoutAShellTheOperationFails) {
  zor::CShellFileOp op;
  op.AddFrom(L"/tmp/nothing");
  EXPECT_NE(op.Delete(), 0);
}
#endif

}  // namespace
