// zor-bench: measures the package engine against the tools a user would
// compare it with, in one run, and prints each figure beside its reference.
//
//   zor-bench run [--work DIR] [--runs N]   everything below, with a table
//   zor-bench corpus DIR                     make (or reuse) the corpus
//   zor-bench build PROJECT.json OUT THREADS build a package with THREADS
//                                            compression threads (0: file by
//                                            file, -1: all processors)
//   zor-bench extract PACKAGE DEST           open a package, extract all groups
//   zor-bench compare A B                    are two builds the same package?
//   zor-bench open-index [--work DIR] [--package FILE]
//                                            only the rows of opening hostile
//                                            1 MB packages with a 1 GiB index
//                                            against FILE (default: the demo
//                                            package of the win64 build)
//   zor-bench open-cost PACKAGE TEMP         open a package, print its peak
//                                            memory and temporary disk
//
// The build on all processors is zorpack's (`zorpack build`), from a project
// description of the corpus; the one-thread build for comparison loads the
// same description the same way. Every timed step runs as a child process,
// the engine's as well as gzip's,
// so both sides pay the same start-up and are measured by the same clock;
// each is run several times, interleaved, and the best time counts, since
// the machine is shared.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/build.h"
#include "engine/extract.h"
#include "engine/file_table.h"
#include "model/install_project.h"
#include "platform/posix/posix_host.h"
#include "tools/project_json.h"
#include "tests/bench/corpus.h"
#include "tests/bench/index_bench.h"
#include "tests/bench/open_bench.h"
#include "tests/bench/process.h"

namespace fs = std::filesystem;
using namespace zorbench;

namespace {

int Build(const fs::path& description, const fs::path& out, int threads) {
  CInstallProject project;
  std::string error;
  if (!zor::LoadProjectDescription(description.wstring(), &project, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  zor::CMyBuild builder;
  builder.SetCompressionThreads(threads);
  builder.SetProject(&project);
  int32_t r = builder.Build(out.wstring(), nullptr, nullptr);
  if (r != zor::kResultOk) {
    std::cerr << "build failed with " << r << "\n";
    return 1;
  }
  return 0;
}

// Counts what the callback sees, as a progress bar would, without drawing.
void CountFiles(int32_t code, void*, void* user) {
  if (code == zor::kProgressFileEnd) ++*static_cast<long*>(user);
}

// A child reports its own peak on this line. The parent cannot take it from
// wait4: the kernel folds the spawning process's own peak into the child's
// ru_maxrss when the child's exec replaces the shared address space.
const char kPeakLabel[] = "peak-kb ";

// What `extract` printed as its peak, or -1.
long ReportedPeakKb(const fs::path& output) {
  std::ifstream in(output);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(kPeakLabel, 0) == 0) return std::strtol(line.c_str() + sizeof kPeakLabel - 1, nullptr, 10);
  return -1;
}

int Extract(const fs::path& package, const fs::path& dest) {
  zor::CMyExtract reader;
  reader.SetPackagePath(package.wstring());
  int32_t r = reader.Open(package.wstring());
  if (r != zor::kResultOk) {
    std::cerr << "open failed with " << r << "\n";
    return 1;
  }
  long files = 0;
  r = reader.ExtractAll((dest / "").wstring(), &CountFiles, &files);
  if (r != zor::kResultOk) {
    std::cerr << "extract failed with " << r << "\n";
    return 1;
  }
  std::cout << files << " files\n" << kPeakLabel << PeakResidentKb() << "\n";
  return 0;
}

bool SameBytes(const fs::path& a, const fs::path& b, int64_t length) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (length > 0) {
    std::streamsize n = static_cast<std::streamsize>(std::min<int64_t>(length, static_cast<int64_t>(ba.size())));
    fa.read(ba.data(), n);
    fb.read(bb.data(), n);
    if (fa.gcount() != n || fb.gcount() != n || std::memcmp(ba.data(), bb.data(), static_cast<size_t>(n)) != 0)
      return false;
    length -= n;
  }
  return true;
}

// Two builds of one project are the same package when everything up to the
// file table is identical and the tables differ at most in the index's
// temporary file name, which each build draws anew.
bool SamePackage(const fs::path& a, const fs::path& b, std::string* why) {
  zor::PosixHost host;
  zor::CFileTableEntry ta[zor::kFileTableSlots], tb[zor::kFileTableSlots];
  int32_t ca = 0, cb = 0;
  zor::TrailerInfo ia, ib;
  auto fa = host.OpenFile(a.wstring(), zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting);
  auto fb = host.OpenFile(b.wstring(), zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting);
  if (!fa || !fb || zor::ReadFileTable(*fa, ta, &ca, &ia) != zor::kResultOk ||
      zor::ReadFileTable(*fb, tb, &cb, &ib) != zor::kResultOk) {
    *why = "not both packages";
    return false;
  }
  if (ia.tableStart != ib.tableStart || ca != cb) {
    *why = "streams of different lengths";
    return false;
  }
  if (!SameBytes(a, b, ia.tableStart)) {
    *why = "stream bytes differ";
    return false;
  }
  for (int i = 0; i < ca; ++i)
    if (ta[i].m_nOffset != tb[i].m_nOffset || ta[i].m_nPackedSize != tb[i].m_nPackedSize ||
        ta[i].m_nExpandedSize != tb[i].m_nExpandedSize) {
      *why = "file tables differ";
      return false;
    }
  return true;
}

// Every corpus file is in `dest` with its bytes, and nothing else is.
bool SameTree(const std::vector<CorpusFile>& files, const fs::path& dest, std::string* why) {
  for (const CorpusFile& f : files) {
    fs::path got = dest / f.relative;
    std::error_code ec;
    if (fs::file_size(got, ec) != f.size || ec || !SameBytes(f.path, got, static_cast<int64_t>(f.size))) {
      *why = "differs: " + f.relative.string();
      return false;
    }
  }
  size_t count = 0;
  for (const auto& e : fs::recursive_directory_iterator(dest))
    if (e.is_regular_file()) ++count;
  if (count != files.size()) {
    *why = std::to_string(count - files.size()) + " extra files";
    return false;
  }
  return true;
}

void Remove(const fs::path& p) {
  std::error_code ec;
  fs::remove_all(p, ec);
}

ChildRun MustRun(const std::vector<std::string>& argv, const std::string& out = std::string()) {
  ChildRun r = RunChild(argv, out);
  if (r.exitCode != 0) {
    std::string cmd;
    for (const std::string& a : argv) cmd += a + " ";
    throw std::runtime_error("failed (" + std::to_string(r.exitCode) + "): " + cmd);
  }
  return r;
}

struct Row {
  std::string figure, measured, reference, ratio, target, result;
};

std::string Fixed(double v, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", digits, v);
  return buf;
}

std::string Seconds(double s) { return Fixed(s, 2) + " s"; }
std::string Mb(double bytes) { return Fixed(bytes / 1e6, 1) + " MB"; }

void PrintTable(const std::vector<Row>& rows) {
  const char* heads[] = {"figure", "measured", "reference", "ratio", "target", "result"};
  size_t w[6] = {};
  for (int i = 0; i < 6; ++i) w[i] = std::strlen(heads[i]);
  for (const Row& r : rows) {
    const std::string* c[] = {&r.figure, &r.measured, &r.reference, &r.ratio, &r.target, &r.result};
    for (int i = 0; i < 6; ++i) w[i] = std::max(w[i], c[i]->size());
  }
  auto line = [&](const std::string* c[6]) {
    std::string s;
    for (int i = 0; i < 6; ++i) {
      s += *c[i];
      if (i < 5) s += std::string(w[i] - c[i]->size() + 2, ' ');
    }
    std::cout << s << "\n";
  };
  std::string h[6];
  for (int i = 0; i < 6; ++i) h[i] = heads[i];
  const std::string* hp[] = {&h[0], &h[1], &h[2], &h[3], &h[4], &h[5]};
  line(hp);
  size_t total = 0;
  for (size_t x : w) total += x + 2;
  std::cout << std::string(total - 2, '-') << "\n";
  for (const Row& r : rows) {
    const std::string* c[] = {&r.figure, &r.measured, &r.reference, &r.ratio, &r.target, &r.result};
    line(c);
  }
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

const char* Verdict(bool ok) { return ok ? "PASS" : "FAIL"; }

// Opening `reference` and the hostile packages, each in a child of its own
// so each peak is its own: bounded by the index cap, not by the bomb.
std::vector<Row> IndexRows(const fs::path& work, const fs::path& reference, const std::string& name) {
  const std::string self = SelfPath();
  auto measure = [&](const fs::path& package) {
    const fs::path report = work / "open-cost.out";
    MustRun({self, "open-cost", package.string(), (work / "open-temp").string()}, report.string());
    return ParseOpenCost(report);
  };
  auto figures = [](const OpenCost& c) {
    return "peak " + Fixed(c.peakKb / 1024.0, 1) + " MiB, temp " + std::to_string(c.written) + " bytes written, " +
           std::to_string(c.tempLeft) + " left, open " + std::to_string(c.result) + ", " +
           Fixed(c.seconds * 1000, 1) + " ms";
  };
  std::vector<Row> rows;
  OpenCost ref = measure(reference);
  bool refOk = ref.result == zor::kResultOk && ref.written == 0 && ref.tempLeft == 0;
  rows.push_back({"open " + name + ": peak memory, temporary disk", figures(ref),
                  std::to_string(fs::file_size(reference)) + " bytes, " + std::to_string(ref.groups) + " groups", "-",
                  "opens, no temp", Verdict(refOk)});
  const struct {
    const char* what;
    int32_t recorded;
  } bombs[] = {{"1 GiB (as it is)", 1 << 30}, {"64 MiB (the cap)", zor::kMaxIndexBytes}, {"47,072 bytes", 47072}};
  const int64_t slack = 8 << 20;
  for (const auto& b : bombs) {
    const fs::path bomb = work / "index-bomb.pkg";
    WriteIndexBomb(bomb, b.recorded);
    OpenCost c = measure(bomb);
    int64_t over = (c.peakKb - ref.peakKb) * 1024;
    bool ok = c.result == zor::kResultCannotCreate && over <= zor::kMaxIndexBytes + slack && c.written == 0 &&
              c.tempLeft == 0;
    rows.push_back({"open " + std::to_string(fs::file_size(bomb)) + "-byte package, 1 GiB index recorded as " + b.what,
                    figures(c), name + ": peak " + Fixed(ref.peakKb / 1024.0, 1) + " MiB",
                    (over >= 0 ? "+" : "") + Fixed(static_cast<double>(over) / (1 << 20), 1) + " MiB",
                    "refused; <= +72 MiB; no temp", Verdict(ok)});
  }
  return rows;
}

int Run(const fs::path& work, int runs) {
  const std::string self = SelfPath();
  const fs::path corpus = work / "corpus";
  fs::create_directories(work);
  uint64_t total = EnsureCorpus(corpus);
  std::vector<CorpusFile> files = ListCorpus(corpus);

  // gzip's input: the same bytes, one file after the other.
  const fs::path cat = work / "corpus.cat";
  if (!fs::exists(cat) || fs::file_size(cat) != total) {
    std::cout << "corpus: concatenating for gzip" << std::endl;
    std::ofstream out(cat, std::ios::binary | std::ios::trunc);
    for (const CorpusFile& f : files) out << std::ifstream(f.path, std::ios::binary).rdbuf();
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::cout << "corpus: " << files.size() << " files, " << Mb(static_cast<double>(total)) << "; " << cores
            << " processors; best of " << runs << " runs\n"
            << std::endl;

  // Paths in the description are relative to its folder, and the build log
  // it names is stored in the index: both builds name the same one.
  const fs::path description = work / "corpus.json";
  std::ofstream(description) << Description(corpus, "build.log");

  const fs::path parallel = work / "parallel.pkg", sequential = work / "sequential.pkg", gz = work / "corpus.gz";
  const fs::path dest = work / "extracted", unzipped = work / "corpus.out";
  double bestPar = 1e9, bestSeq = 1e9, bestGzip = 1e9, bestExtract = 1e9, bestGunzip = 1e9;
  // Processor time barely depends on what else runs: it shows whether a
  // wall-time ratio came from the code or from a busy machine.
  double cpuPar = 1e9, cpuSeq = 1e9, cpuGzip = 1e9, cpuExtract = 1e9, cpuGunzip = 1e9;
  const std::string loadBefore = LoadAverage();
  long peakRss = 0;
  for (int i = 1; i <= runs; ++i) {
    Remove(parallel);
    Remove(sequential);
    Remove(gz);
    ChildRun g = MustRun({"gzip", "-6", "-c", cat.string()}, gz.string());
    ChildRun p = MustRun({ZOR_ZORPACK_PATH, "build", description.string(), "-o", parallel.string()}, "/dev/null");
    ChildRun s = MustRun({self, "build", description.string(), sequential.string(), "0"});
    bestGzip = std::min(bestGzip, g.seconds);
    bestPar = std::min(bestPar, p.seconds);
    bestSeq = std::min(bestSeq, s.seconds);
    cpuGzip = std::min(cpuGzip, g.cpuSeconds);
    cpuPar = std::min(cpuPar, p.cpuSeconds);
    cpuSeq = std::min(cpuSeq, s.cpuSeconds);
    std::cout << "run " << i << ": gzip -6 " << Seconds(g.seconds) << ", zorpack build " << Seconds(p.seconds)
              << ", build sequential " << Seconds(s.seconds) << std::endl;
  }
  std::string why;
  bool same = SamePackage(parallel, sequential, &why);
  const uint64_t packageSize = fs::file_size(parallel), gzSize = fs::file_size(gz);

  for (int i = 1; i <= runs; ++i) {
    Remove(dest);
    Remove(unzipped);
    const fs::path report = work / "extract.out";
    ChildRun e = MustRun({self, "extract", parallel.string(), dest.string()}, report.string());
    e.maxRssKb = ReportedPeakKb(report);
    if (e.maxRssKb < 0) throw std::runtime_error("extract did not report its peak memory");
    ChildRun u = MustRun({"gzip", "-dc", gz.string()}, unzipped.string());
    bestExtract = std::min(bestExtract, e.seconds);
    bestGunzip = std::min(bestGunzip, u.seconds);
    peakRss = std::max(peakRss, e.maxRssKb);
    cpuExtract = std::min(cpuExtract, e.cpuSeconds);
    cpuGunzip = std::min(cpuGunzip, u.cpuSeconds);
    std::cout << "run " << i << ": extract " << Seconds(e.seconds) << " (peak " << e.maxRssKb / 1024.0
              << " MiB), gzip -dc " << Seconds(u.seconds) << std::endl;
  }
  std::string treeWhy;
  bool tree = SameTree(files, dest, &treeWhy);
  bool gunzipOk = fs::file_size(unzipped) == total;

  const int64_t gib = int64_t{1} << 30;
  OpenMeasure open0 = MeasureOpen(parallel, work / "huge.pkg", gib, 0);
  OpenMeasure openT = MeasureOpen(parallel, work / "huge.pkg", gib, 399978);
  Remove(dest);
  Remove(unzipped);

  std::vector<Row> rows;
  double buildRatio = bestGzip / bestPar;
  rows.push_back({"zorpack build, all processors (" + std::to_string(cores) + ")", Seconds(bestPar),
                  "gzip -6: " + Seconds(bestGzip), Fixed(buildRatio, 2) + "x faster", ">= 1.70x",
                  Verdict(buildRatio >= 1.7)});
  rows.push_back({"build, one thread (for comparison)", Seconds(bestSeq), "gzip -6: " + Seconds(bestGzip),
                  Fixed(bestGzip / bestSeq, 2) + "x faster", "-", "-"});
  rows.push_back({"build processor time, all / one thread", Seconds(cpuPar) + " / " + Seconds(cpuSeq),
                  "gzip -6: " + Seconds(cpuGzip), Fixed(cpuGzip / cpuSeq, 2) + "x less (one thread)", "-", "-"});
  rows.push_back({"parallel vs one-thread package bytes", same ? "identical" : "DIFFERENT: " + why,
                  Mb(static_cast<double>(packageSize)), "-", "identical", Verdict(same)});
  rows.push_back({"package size vs gzip -6 output", Mb(static_cast<double>(packageSize)),
                  "gzip: " + Mb(static_cast<double>(gzSize)),
                  Fixed(static_cast<double>(packageSize) / static_cast<double>(gzSize), 3), "-", "-"});
  double extractRatio = bestExtract / bestGunzip;
  rows.push_back({"extract all groups", Seconds(bestExtract), "gzip -dc: " + Seconds(bestGunzip),
                  Fixed(extractRatio, 2) + "x the time", "<= 1.10x", Verdict(extractRatio <= 1.1)});
  rows.push_back({"extract processor time", Seconds(cpuExtract), "gzip -dc: " + Seconds(cpuGunzip),
                  Fixed(cpuExtract / cpuGunzip, 2) + "x", "-", "-"});
  rows.push_back({"extracted tree equals the corpus", tree ? "yes" : "NO: " + treeWhy,
                  std::to_string(files.size()) + " files", "-", "equal", Verdict(tree && gunzipOk)});
  rows.push_back({"extract peak memory (max RSS)", Fixed(peakRss / 1024.0, 1) + " MiB", "-", "-", "< 16 MB",
                  Verdict(peakRss * 1024 < 16000000)});
  for (const OpenMeasure* m : {&open0, &openT}) {
    int64_t allowed = 400000 + m->indexBytes + m->tableBytes;
    bool ok = m->result == zor::kResultOk && m->distinctBytes <= allowed && m->groups > 0;
    rows.push_back({"open 1 GiB package, tail " + std::to_string(m->tail) + ": bytes read",
                    std::to_string(m->distinctBytes) + " (" + std::to_string(m->bytesRead) + " in " +
                        std::to_string(m->reads) + " reads, " + Fixed(m->seconds * 1000, 1) + " ms)",
                    "400000 + index " + std::to_string(m->indexBytes) + " + table " + std::to_string(m->tableBytes),
                    Fixed(static_cast<double>(m->distinctBytes) / static_cast<double>(allowed), 3), "<= 1",
                    m->result == zor::kResultOk ? Verdict(ok) : "FAIL (open " + std::to_string(m->result) + ")"});
  }
  for (Row& r : IndexRows(work, parallel, "the corpus package")) rows.push_back(r);
  std::cout << "\nload average before: " << loadBefore << "; after: " << LoadAverage() << "\n\n";
  PrintTable(rows);
  bool all = true;
  for (const Row& r : rows) all = all && r.result != "FAIL" && r.result.rfind("FAIL", 0) != 0;
  std::cout << "\n" << (all ? "all targets met" : "some targets missed") << "\n";
  return all ? 0 : 1;
}

int Usage() {
  std::cerr << "usage: zor-bench run [--work DIR] [--runs N]\n"
               "       zor-bench corpus DIR\n"
               "       zor-bench build PROJECT.json OUT THREADS\n"
               "       zor-bench extract PACKAGE DEST\n"
               "       zor-bench compare A B\n"
               "       zor-bench open-index [--work DIR] [--package FILE]\n"
               "       zor-bench open-cost PACKAGE TEMP\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  try {
    const std::string& cmd = args[0];
    if (cmd == "run") {
      fs::path work = "build/bench";
      int runs = 3;
      for (size_t i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--work") work = args[i + 1];
        else if (args[i] == "--runs") runs = std::max(1, std::stoi(args[i + 1]));
        else return Usage();
      }
      return Run(fs::absolute(work), runs);
    }
    if (cmd == "corpus" && args.size() == 2) {
      EnsureCorpus(fs::absolute(args[1]));
      return 0;
    }
    if (cmd == "build" && args.size() == 4) return Build(fs::absolute(args[1]), fs::absolute(args[2]), std::stoi(args[3]));
    if (cmd == "extract" && args.size() == 3) return Extract(fs::absolute(args[1]), fs::absolute(args[2]));
    if (cmd == "open-cost" && args.size() == 3) {
      std::cout << FormatOpenCost(MeasureOpenCost(fs::absolute(args[1]), fs::absolute(args[2])));
      return 0;
    }
    if (cmd == "open-index") {
      fs::path work = "build/bench";
      fs::path package = "build/win64/package/LumaglimpseSetup.exe";
      for (size_t i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--work") work = args[i + 1];
        else if (args[i] == "--package") package = args[i + 1];
        else return Usage();
      }
      if (!fs::exists(package)) {
        std::cerr << "zor-bench: no package " << package << " (build the win64 tree or give --package FILE)\n";
        return 1;
      }
      fs::create_directories(work);
      std::vector<Row> rows = IndexRows(fs::absolute(work), fs::absolute(package), "the demo package");
      PrintTable(rows);
      for (const Row& r : rows)
        if (r.result != "PASS") return 1;
      return 0;
    }
    if (cmd == "compare" && args.size() == 3) {
      std::string why;
      bool same = SamePackage(args[1], args[2], &why);
      std::cout << (same ? "same package" : "different: " + why) << "\n";
      return same ? 0 : 1;
    }
  } catch (const std::exception& e) {
    std::cerr << "zor-bench: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
