// A package whose engine is signed after the build, the way a release is
// signed: osslsigncode appends an Authenticode signature block behind the
// package (aligned to 8 bytes) and points the engine's certificate-table
// entry at it. The reader must still find the trailer in front of that
// block and extract every file unchanged.
//
// Runs the real tools (openssl makes a throwaway certificate, osslsigncode
// signs and verifies) on real files; scripts/install-deps installs both.
#if !defined(_WIN32)

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/build.h"
#include "engine/extract.h"
#include "engine/file_table.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "tests/unit/engine/package_fixture.h"

namespace {

using zortest::ReadAll;
using zortest::ScratchDir;
using zortest::WriteAll;

void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The smallest well-formed 32-bit Windows program: headers and one code
// section holding a single `ret`, 1,024 bytes in all.
std::string MinimalPe() {
  std::string b(1024, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, 0x40);  // e_lfanew
  b.replace(0x40, 4, std::string("PE\0\0", 4));
  const size_t coff = 0x44;
  Put16(b, coff + 0, 0x14C);   // i386
  Put16(b, coff + 2, 1);       // one section
  Put16(b, coff + 16, 0xE0);   // optional header size
  Put16(b, coff + 18, 0x0102); // executable, 32-bit
  const size_t opt = coff + 20;
  Put16(b, opt + 0, 0x10B);      // PE32
  Put32(b, opt + 4, 0x200);      // size of code
  Put32(b, opt + 16, 0x1000);    // entry point
  Put32(b, opt + 20, 0x1000);    // base of code
  Put32(b, opt + 24, 0x2000);    // base of data
  Put32(b, opt + 28, 0x400000);  // image base
  Put32(b, opt + 32, 0x1000);    // section alignment
  Put32(b, opt + 36, 0x200);     // file alignment
  Put16(b, opt + 40, 5);         // operating system 5.0
  Put16(b, opt + 48, 5);         // subsystem 5.0
  Put32(b, opt + 56, 0x2000);    // size of image
  Put32(b, opt + 60, 0x200);     // size of headers
  Put16(b, opt + 68, 2);         // GUI
  Put32(b, opt + 72, 0x100000);  // stack reserve
  Put32(b, opt + 76, 0x1000);    // stack commit
  Put32(b, opt + 80, 0x100000);  // heap reserve
  Put32(b, opt + 84, 0x1000);    // heap commit
  Put32(b, opt + 92, 16);        // data directories
  const size_t sec = opt + 0xE0;
  b.replace(sec, 5, ".text");
  Put32(b, sec + 8, 1);            // virtual size
  Put32(b, sec + 12, 0x1000);      // virtual address
  Put32(b, sec + 16, 0x200);       // raw size
  Put32(b, sec + 20, 0x200);       // raw offset
  Put32(b, sec + 36, 0x60000020);  // code, execute, read
  b[0x200] = '\xC3';
  return b;
}

std::string Quoted(const std::wstring& path) { return "'" + zor::ToUtf8(path) + "'"; }

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class SignedPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Shell("command -v openssl && command -v osslsigncode"))
        << "openssl and osslsigncode are needed: run scripts/install-deps";
    ASSERT_TRUE(Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Zor Test Signer' -keyout " +
                      Quoted(dir.Path(L"key.pem")) + " -out " + Quoted(dir.Path(L"cert.pem"))));
    WriteAll(dir.Path(L"engine.exe"), MinimalPe());
    sources = {{L"app.exe", zortest::SampleBytes(150000, 1)},
               {L"readme.txt", std::string(20000, 'r')},
               {L"empty.dat", std::string()},
               {L"media.bin", zortest::SampleBytes(60000, 9)}};
    for (const auto& s : sources) WriteAll(dir.Path(L"src\\" + s.first), s.second);
    CInstallProject project;
    project.GetProductInfo()->SetEnginePath(dir.Path(L"engine.exe"));
    CNode* product = zortest::FolderNode(L"Product", {}, true);
    for (const auto& s : sources) product->AddChild(zortest::FileNode(s.first, dir.Path(L"src\\" + s.first)));
    project.AddFileGroup(zortest::Group(L"Main", product));
    zor::CMyBuild builder;
    builder.SetProject(&project);
    ASSERT_EQ(builder.Build(dir.Path(L"setup.exe"), nullptr, nullptr), zor::kResultOk);
    package = ReadAll(dir.Path(L"setup.exe"));
  }

  // Signs the package with a description of `chars` characters (which
  // lengthens the signature block by about one byte each) into signed.exe;
  // returns the bytes the signing appended, or -1.
  int64_t Sign(size_t chars) {
    std::wstring out = dir.Path(L"signed.exe");
    std::remove(zor::ToUtf8(out).c_str());
    if (!Shell("osslsigncode sign -certs " + Quoted(dir.Path(L"cert.pem")) + " -key " +
               Quoted(dir.Path(L"key.pem")) + " -n '" + std::string(chars, 'd') + "' -in " +
               Quoted(dir.Path(L"setup.exe")) + " -out " + Quoted(out)))
      return -1;
    return static_cast<int64_t>(ReadAll(out).size()) - static_cast<int64_t>(package.size());
  }

  // What every signed package must satisfy.
  void CheckSigned(int64_t appended) {
    std::wstring path = dir.Path(L"signed.exe");
    std::string bytes = ReadAll(path);
    // Signing changes the engine's checksum and certificate-table entry and
    // appends; from the first stream on, the package is as built.
    ASSERT_GT(bytes.size(), package.size());
    EXPECT_EQ(bytes.substr(1024, package.size() - 1024), package.substr(1024));
    EXPECT_TRUE(Shell("osslsigncode verify -CAfile " + Quoted(dir.Path(L"cert.pem")) + " -in " + Quoted(path)))
        << "the signature covers the whole package and checks out";

    auto file = zor::CurrentHost().OpenFile(path, zor::FileAccess::kRead, zor::kShareRead,
                                            zor::FileCreate::kOpenExisting);
    ASSERT_TRUE(file);
    zor::TrailerInfo info;
    ASSERT_EQ(zor::FindTrailer(*file, &info), zor::kResultOk);
    EXPECT_EQ(info.tail, appended);

    zor::CMyExtract reader;
    reader.SetPackagePath(path);
    ASSERT_EQ(reader.Open(path), zor::kResultOk);
    std::wstring dest = dir.Path(L"out" + std::to_wstring(appended));
    ASSERT_EQ(reader.ExtractAll(dest, nullptr, nullptr), zor::kResultOk);
    for (const auto& s : sources)
      EXPECT_EQ(ReadAll(dir.Path(L"out" + std::to_wstring(appended) + L"\\" + s.first)), s.second)
          << zor::ToUtf8(s.first);
  }

  ScratchDir dir;
  std::map<std::wstring, std::string> sources;
  std::string package;
};

TEST_F(SignedPackage, OpensAndExtractsAfterSigning) {
  int64_t appended = Sign(8);
  ASSERT_GT(appended, 0) << "osslsigncode refused the package";
  CheckSigned(appended);
}

TEST_F(SignedPackage, OpensWhenTheSignatureBlockPutsTheTrailerAcrossASearchWindowBorder) {
  // The trailer's signature straddles the border between the last two
  // 8,000-byte search windows when 7,979 to 7,999 bytes follow it. The
  // signature block grows about one byte per description character, in
  // steps of 8, so a few tries land inside that band.
  int64_t appended = Sign(8);
  ASSERT_GT(appended, 0);
  size_t chars = 8;
  for (int attempt = 0; attempt < 8 && (appended < 7979 || appended > 7999); ++attempt) {
    chars = static_cast<size_t>(static_cast<int64_t>(chars) + 7989 - appended);
    appended = Sign(chars);
    ASSERT_GT(appended, 0);
  }
  ASSERT_GE(appended, 7979) << chars;
  ASSERT_LE(appended, 7999) << chars;
  CheckSigned(appended);
}

}  // namespace

#endif  // !_WIN32
