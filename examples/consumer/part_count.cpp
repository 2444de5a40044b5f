// part_count MODEL...: prints how many parts each model file (.mod) holds,
// or why it is not a model, in the words of the format's own message.
#include <railfmt/archive/model_kind.h>
#include <railfmt/driver/diagnostics.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: part_count MODEL.mod...\nPrints how many parts each model file holds.\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const char* path = argv[i];
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: cannot be read\n", path);
      status = 1;
      continue;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // The reader reports what it checks as railfmt does: mismatch lines on
    // standard output, messages to a sink. Taken in here, they stay off
    // this program's output.
    const railfmt::DiagnosticCapture reader_output;
    railfmt::CModell model;
    if (!railfmt::ModelKind::Read(bytes, path, model).accepted) {
      std::string why = reader_output.last_message();
      while (!why.empty() && why.back() == '\n') why.pop_back();
      std::fprintf(stderr, "%s: not a model file%s%s%s\n", path, why.empty() ? "" : " (", why.c_str(),
                   why.empty() ? "" : ")");
      status = 1;
      continue;
    }
    std::printf("%s: %d %s\n", path, model.ElementCount, model.ElementCount == 1 ? "part" : "parts");
  }
  return status;
}
