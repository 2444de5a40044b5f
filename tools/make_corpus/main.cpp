// make_corpus DIR N SEED: writes the N files of the benchmark corpus made
// from SEED into DIR (created when missing) and prints how many files of
// each kind it wrote, their total size and the largest file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "driver/directory.h"
#include "driver/recognition_cascade.h"
#include "tools/make_corpus/corpus.h"

namespace {

bool ParseNumber(const char* text, unsigned long long& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtoull(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long count = 0;
  unsigned long long seed = 0;
  if (argc != 4 || !ParseNumber(argv[2], count) || !ParseNumber(argv[3], seed)) {
    std::fprintf(stderr, "usage: make_corpus DIR N SEED\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const auto directory = railfmt::OpenDirectory(dir);
  if (directory == nullptr) {
    std::fprintf(stderr, "make_corpus: cannot create %s\n", dir.c_str());
    return 1;
  }
  std::map<std::string, unsigned long long> files_of_kind;
  unsigned long long total = 0;
  std::size_t largest = 0;
  std::string largest_name;
  for (unsigned long long i = 0; i < count; ++i) {
    const railfmt::CorpusFile file = railfmt::MakeCorpusFile(seed, static_cast<std::size_t>(i));
    const railfmt::StoreOutcome outcome = directory->Store(file.name, file.bytes, nullptr);
    if (outcome == railfmt::StoreOutcome::kRefused || outcome == railfmt::StoreOutcome::kFailed) {
      std::fprintf(stderr, "make_corpus: cannot write %s/%s\n", dir.c_str(), file.name.c_str());
      return 1;
    }
    ++files_of_kind[railfmt::EntryKindName(file.kind)];
    total += file.bytes.size();
    if (file.bytes.size() >= largest) {
      largest = file.bytes.size();
      largest_name = file.name;
    }
  }
  for (const auto& [kind, n] : files_of_kind) std::printf("%-22s %8llu files\n", kind.c_str(), n);
  std::printf("total                  %8llu files %12llu bytes\n", count, total);
  std::printf("largest                %8zu bytes (%s)\n", largest, largest_name.c_str());
  return 0;
}
