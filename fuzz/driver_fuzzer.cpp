// Fuzz target: one whole run of the batch tool over a directory that holds
// the fuzzed bytes as its only file, named "entry" with the extension .bin,
// .mod, .kon or .anl chosen by the input's size (so that some inputs are
// rewritten in place).
//
// Beyond the sanitizers, each input must satisfy:
// - every name the run stores under or through is an entry of the
//   directory: no path, no "." or "..";
// - no temporary file is left;
// - the output of the kind that recognises the input, where it was written,
//   holds exactly what that kind's in-memory rewrite gives; the input itself
//   is otherwise left byte for byte as it was;
// - a second run over the result changes no file the first run left, since
//   every writer's output reads back to the same bytes (except where
//   MaySettleLater says a layout may take more rewrites to settle).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/recognition_cascade.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/scratch_dir.h"

namespace {

using railfmt::fuzz::Fail;

constexpr const char* kEntryNames[] = {"entry.bin", "entry.mod", "entry.kon", "entry.anl"};

// The directory every input runs in, removed when the process exits.
railfmt::testing::ScratchDir& Scratch() {
  static railfmt::testing::ScratchDir scratch(/*enter=*/false);
  return scratch;
}

// Every step of a store acts on an entry of the directory itself.
bool StaysInDirectory(railfmt::StoreStep /*step*/, std::string_view name, std::size_t& /*size*/) {
  if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..") {
    Fail("output outside the working directory", std::string(name));
  }
  return false;
}

void RunOnce() {
  const auto directory = railfmt::OpenDirectory(Scratch().path(), &StaysInDirectory);
  if (directory == nullptr) Fail("cannot open the scratch directory", Scratch().path());
  railfmt::RunBatch(*directory);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Scratch();
  // Mismatch lines are formatted either way; keep them off standard output.
  railfmt::SetMismatchWriter([](std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const std::string entry = kEntryNames[size % 4];
  Scratch().Clear();
  Scratch().Write(entry, std::vector<std::uint8_t>(input.begin(), input.end()));

  // What the run should write: the first kind's rewrite, under its name.
  std::string output_name;
  std::vector<std::uint8_t> expected_output;
  bool settles_later = false;
  if (const auto file = railfmt::RecogniseEntry(entry, input)) {
    auto rewritten = railfmt::testing::Rewrite(file->kind(), input);
    if (!rewritten) Fail("the cascade and the rewrite disagree", railfmt::EntryKindName(file->kind()));
    output_name = file->OutputName();
    expected_output = std::move(*rewritten);
    settles_later = railfmt::testing::MaySettleLater(file->kind(), input, expected_output);
  }

  RunOnce();
  const auto first = Scratch().Snapshot();
  for (const auto& [name, bytes] : first) {
    // Outputs end in their kind's extension, so no output looks like this.
    if (name.starts_with(".railfmt-") && name.ends_with(".tmp")) Fail("temporary file left", name);
  }
  const auto out = first.find(output_name);
  if (out != first.end() && out->second != expected_output) Fail("the output differs from the rewrite", output_name);
  const auto in = first.find(entry);
  if (entry != output_name && (in == first.end() || in->second.size() != size ||
                               (size != 0 && std::memcmp(in->second.data(), data, size) != 0))) {
    Fail("input changed", entry);
  }

  // An output that may settle only on its second rewrite (the reader
  // targets check that it does) legitimately changes once more.
  if (settles_later) return 0;
  RunOnce();
  const auto second = Scratch().Snapshot();
  for (const auto& [name, bytes] : first) {
    const auto again = second.find(name);
    if (again == second.end() || again->second != bytes) Fail("a second run changed a file", name);
  }
  return 0;
}
