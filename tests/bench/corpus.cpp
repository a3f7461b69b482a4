#include "tests/bench/corpus.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>


namespace zorbench {
namespace fs = std::filesystem;
namespace {

// splitmix64: tiny, fast and the same everywhere, unlike the distributions
// of <random>.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t Next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((Next() >> 32) * n >> 32); }
  // Small numbers far more often than large ones, like word frequencies.
  uint32_t Skewed(uint32_t n) {
    double u = static_cast<double>(Next() >> 11) / 9007199254740992.0;
    return static_cast<uint32_t>(u * u * u * n);
  }

 private:
  uint64_t s_;
};

std::vector<std::string> Vocabulary() {
  static const char* const kSyllables[] = {"ka", "lo", "mi", "zor", "pack", "ex", "tra", "ct", "in", "st",
                                           "all", "er", "on", "de", "vi", "ce", "re", "gis", "try", "fi",
                                           "le", "gr", "oup", "node", "tab", "ind", "ex", "wiz", "ard", "page"};
  Rng rng(7);
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    std::string w;
    int n = 1 + static_cast<int>(rng.Below(3));
    for (int k = 0; k < n; ++k) w += kSyllables[rng.Below(sizeof kSyllables / sizeof *kSyllables)];
    words.push_back(w);
  }
  return words;
}

// Log and source lines: compresses about as well as real text (3 to 4 times).
void TextBytes(Rng& rng, size_t size, std::string& out) {
  static const std::vector<std::string> words = Vocabulary();
  static const char* const kLevels[] = {"INFO", "WARN", "DEBUG", "ERROR"};
  out.clear();
  char stamp[64];
  while (out.size() < size) {
    if (rng.Below(3) == 0) {
      int depth = static_cast<int>(rng.Below(4));
      out.append(static_cast<size_t>(depth) * 4, ' ');
      out += words[rng.Skewed(3000)] + "(" + words[rng.Skewed(3000)] + ", " + std::to_string(rng.Below(4096)) +
             ");\n";
    } else {
      std::snprintf(stamp, sizeof stamp, "2026-%02u-%02u %02u:%02u:%02u.%03u %s [", 1 + rng.Below(12),
                    1 + rng.Below(28), rng.Below(24), rng.Below(60), rng.Below(60), rng.Below(1000),
                    kLevels[rng.Skewed(4)]);
      out += stamp;
      out += words[rng.Skewed(200)] + "] ";
      int n = 4 + static_cast<int>(rng.Below(12));
      for (int i = 0; i < n; ++i) {
        out += words[rng.Skewed(3000)];
        out += rng.Below(9) == 0 ? " " + std::to_string(rng.Next() % 100000) + " " : " ";
      }
      out += "\n";
    }
  }
  out.resize(size);
}

// Program-like bytes: opcodes from a small set, operands from narrow ranges,
// zero padding and string tables; compresses about 2 times.
void BinaryBytes(Rng& rng, size_t size, std::string& out) {
  static const std::vector<std::string> words = Vocabulary();
  static const uint8_t kOps[] = {0x8B, 0x89, 0xE8, 0xFF, 0x83, 0x48, 0x0F, 0x74, 0x75, 0xC3, 0x55, 0x5D};
  out.clear();
  while (out.size() < size) {
    uint32_t what = rng.Below(100);
    if (what < 80) {
      int n = 16 + static_cast<int>(rng.Below(200));
      for (int i = 0; i < n; ++i) {
        out.push_back(static_cast<char>(kOps[rng.Skewed(sizeof kOps)]));
        uint32_t operand = rng.Below(4) == 0 ? static_cast<uint32_t>(rng.Next()) : 0x401000u + rng.Skewed(65536);
        int bytes = 1 + static_cast<int>(rng.Below(4));
        for (int b = 0; b < bytes; ++b) out.push_back(static_cast<char>(operand >> (8 * b)));
      }
    } else if (what < 90) {
      out.append(16 * (1 + rng.Below(64)), '\0');
    } else {
      int n = 8 + static_cast<int>(rng.Below(40));
      for (int i = 0; i < n; ++i) {
        for (char c : words[rng.Skewed(3000)]) {
          out.push_back(c);
          out.push_back('\0');  // UTF-16 string tables
        }
        out.append(2, '\0');
      }
    }
  }
  out.resize(size);
}

// Already-compressed data: deflate finds nothing to gain.
void RandomBytes(Rng& rng, size_t size, std::string& out) {
  out.resize(size);
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t v = rng.Next();
    std::memcpy(&out[i], &v, 8);
  }
  for (; i < size; ++i) out[i] = static_cast<char>(rng.Next());
}

enum class Kind { kText, kBinary, kRandom };

struct Plan {
  std::string relative;
  size_t size;
  Kind kind;
  uint64_t seed;
};

std::vector<Plan> MakePlan() {
  std::vector<Plan> plan;
  Rng rng(20260101);
  uint64_t seed = 1000;
  // A few large files of each kind.
  const size_t mb = size_t{1} << 20;
  const size_t text[] = {18 * mb, 14 * mb, 12 * mb, 11 * mb, 9 * mb, 6 * mb};
  for (size_t i = 0; i < sizeof text / sizeof *text; ++i)
    plan.push_back({"docs/manual" + std::to_string(i) + ".txt", text[i] + rng.Below(4096), Kind::kText, seed++});
  const size_t media[] = {24 * mb, 17 * mb, 12 * mb, 7 * mb};
  for (size_t i = 0; i < sizeof media / sizeof *media; ++i)
    plan.push_back({"media/clip" + std::to_string(i) + ".bin", media[i] + rng.Below(4096), Kind::kRandom, seed++});
  for (int i = 0; i < 12; ++i)
    plan.push_back({"bin/module" + std::to_string(i) + (i < 3 ? ".exe" : ".dll"), mb + rng.Below(6 * mb),
                    Kind::kBinary, seed++});
  // Many small files in nested folders, mostly text and program-like.
  for (int i = 0; i < 4000; ++i) {
    uint32_t k = rng.Below(20);
    Kind kind = k < 12 ? Kind::kText : k < 17 ? Kind::kBinary : Kind::kRandom;
    const char* ext = kind == Kind::kText ? ".ini" : kind == Kind::kBinary ? ".dat" : ".png";
    std::string dir = "small/set" + std::to_string(i % 40) + (i % 3 == 0 ? "/res" + std::to_string(i % 7) : "");
    size_t size = 256 + rng.Skewed(32768) + rng.Below(1024);
    plan.push_back({dir + "/item" + std::to_string(i) + ext, size, kind, seed++});
  }
  return plan;
}

std::string StampText(uint64_t total) {
  return "zor-bench corpus " + std::to_string(kCorpusVersion) + " " + std::to_string(total) + "\n";
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

fs::path EnginePath(const fs::path& corpusFolder) { return corpusFolder / "engine.exe"; }

uint64_t EnsureCorpus(const fs::path& folder) {
  std::vector<Plan> plan = MakePlan();
  uint64_t total = 0;
  for (const Plan& p : plan) total += p.size;
  const fs::path stamp = folder / ".complete";
  {
    std::ifstream in(stamp);
    std::stringstream text;
    text << in.rdbuf();
    if (in && text.str() == StampText(total)) {
      std::cout << "corpus: reusing " << folder.string() << " (" << total / 1000000 << " MB, " << plan.size()
                << " files)\n";
      return total;
    }
  }
  std::cout << "corpus: generating " << total / 1000000 << " MB in " << plan.size() << " files into "
            << folder.string() << std::endl;
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  std::string bytes;
  {
    Rng rng(42);
    BinaryBytes(rng, 600000, bytes);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    WriteFile(EnginePath(folder), bytes);
  }
  for (const Plan& p : plan) {
    Rng rng(p.seed);
    switch (p.kind) {
      case Kind::kText: TextBytes(rng, p.size, bytes); break;
      case Kind::kBinary: BinaryBytes(rng, p.size, bytes); break;
      case Kind::kRandom: RandomBytes(rng, p.size, bytes); break;
    }
    WriteFile(folder / p.relative, bytes);
  }
  std::ofstream(stamp) << StampText(total);
  return total;
}

namespace {

std::vector<fs::path> SortedEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  for (const auto& e : fs::directory_iterator(folder)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

void Walk(const fs::path& root, const fs::path& folder, std::vector<CorpusFile>& out) {
  for (const fs::path& p : SortedEntries(folder)) {
    if (fs::is_directory(p)) {
      Walk(root, p, out);
    } else {
      out.push_back({p, fs::relative(p, root), static_cast<uint64_t>(fs::file_size(p))});
    }
  }
}

}  // namespace

std::vector<CorpusFile> ListCorpus(const fs::path& corpusFolder) {
  std::vector<CorpusFile> files;
  for (const fs::path& group : SortedEntries(corpusFolder))
    if (fs::is_directory(group)) Walk(corpusFolder, group, files);
  return files;
}

std::string Description(const fs::path& corpusFolder, const std::string& logName) {
  const std::string corpus = corpusFolder.filename().string();
  std::string groups;
  for (const fs::path& group : SortedEntries(corpusFolder)) {
    if (!fs::is_directory(group)) continue;
    const std::string name = group.filename().string();
    if (!groups.empty()) groups += ",\n";
    groups += "    {\"name\": \"" + name + "\", \"tree\": {\"kind\": \"folder\", \"name\": \"Product\", " +
              "\"destination\": true, \"children\": [\n      {\"kind\": \"folder\", \"name\": \"" + name +
              "\", \"fromFolder\": \"" + corpus + "/" + name + "\"}]}}";
  }
  return "{\n  \"formatVersion\": 1,\n  \"project\": {\"name\": \"Benchmark corpus\", \"buildLog\": \"" + logName +
         "\"},\n  \"product\": {\"name\": \"Corpus\", \"version\": \"1.0\", \"engine\": \"" + corpus +
         "/engine.exe\"},\n  \"fileGroups\": [\n" + groups + "\n  ]\n}\n";
}

}  // namespace zorbench
