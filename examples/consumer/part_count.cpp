// part_count MODEL: prints how many parts a model file (.mod) holds.
#include <railfmt/archive/model_kind.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream file(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  railfmt::CModell model;
  if (!railfmt::ModelKind::Read(bytes, argv[1], model).accepted) {
    std::fprintf(stderr, "%s: not a model file\n", argv[1]);
    return 1;
  }
  std::printf("%s: %d parts\n", argv[1], model.ElementCount);
}
