// part_count MODEL: prints how many parts a model file (.mod) holds.
#include <railfmt/archive/model_file.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  railfmt::CModell model;
  railfmt::ReadModelFile(model, argv[1]);
  if (model.ReadOk != 1) {
    std::fprintf(stderr, "%s: not a model file\n", argv[1]);
    return 1;
  }
  std::printf("%s: %d parts\n", argv[1], model.ElementCount);
}
