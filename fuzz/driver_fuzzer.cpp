// Fuzz target: one whole run of the batch tool over a directory that holds
// the fuzzed bytes as its only file, named "entry" with the extension .bin,
// .mod, .kon or .anl chosen by the input's size (so that some inputs are
// rewritten in place).
//
// Beyond the sanitizers, each input must satisfy:
// - every file the run creates or replaces lies in the working directory;
// - no temporary file is left;
// - the output of the kind that recognises the input, where it was written,
//   holds exactly what that kind's in-memory rewrite gives; the input itself
//   is otherwise left byte for byte as it was;
// - a second run over the result changes no file the first run left, since
//   every writer's output reads back to the same bytes (except where
//   may_settle_later says a layout may take more rewrites to settle).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/recognition_cascade.h"
#include "fuzz/scratch_directory.h"
#include "tools/kind_rewriters.h"

namespace {

using railfmt::fuzz::Fail;

constexpr const char* kEntryNames[] = {"entry.bin", "entry.mod", "entry.kon", "entry.anl"};

// A path the output layer hands to the system: the output name itself or
// "./" and a temporary's name. Anything holding a further '/' would leave
// the directory, which no output of this run may do.
void CheckStaysInDirectory(const char* path) {
  std::string_view p(path);
  if (p.starts_with("./")) p.remove_prefix(2);
  if (p.empty() || p.find('/') != std::string_view::npos || p == "." || p == "..") {
    Fail("output outside the working directory", path);
  }
}

int GuardedOpen(const char* path, int flags, mode_t mode) {
  CheckStaysInDirectory(path);
  return railfmt::SystemOutputFileOps().open(path, flags, mode);
}

int GuardedRename(const char* from, const char* to) {
  CheckStaysInDirectory(from);
  CheckStaysInDirectory(to);
  return railfmt::SystemOutputFileOps().rename(from, to);
}

const railfmt::OutputFileOps kGuardedOps{&GuardedOpen, railfmt::SystemOutputFileOps().write,
                                         railfmt::SystemOutputFileOps().close, &GuardedRename};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  railfmt::SetOutputFileOps(&kGuardedOps);
  // Mismatch lines are formatted either way; keep them off standard output.
  railfmt::SetMismatchWriter([](std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const std::string entry = kEntryNames[size % 4];
  const railfmt::fuzz::InScratchDirectory scratch;
  railfmt::fuzz::ClearScratchDirectory();
  railfmt::fuzz::WriteEntry(entry, input);

  // What the run should write: the first kind's rewrite, under its name.
  std::string output_name;
  std::vector<std::uint8_t> expected_output;
  bool settles_later = false;
  if (const auto file = railfmt::RecogniseEntry(entry, input)) {
    const railfmt::KindRewriter* kind = railfmt::FindKindRewriter(file->kind());
    if (kind == nullptr) Fail("no rewriter for a kind of the cascade", railfmt::EntryKindName(file->kind()));
    auto rewritten = kind->rewrite(input);
    if (!rewritten) Fail("the cascade and the rewriter disagree", railfmt::EntryKindName(file->kind()));
    output_name = file->OutputName();
    expected_output = std::move(*rewritten);
    settles_later = kind->may_settle_later != nullptr && kind->may_settle_later(input, expected_output);
  }

  railfmt::RunBatch();
  const auto first = railfmt::fuzz::SnapshotEntries();
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
  if (settles_later) {
    railfmt::fuzz::ClearScratchDirectory();
    return 0;
  }
  railfmt::RunBatch();
  const auto second = railfmt::fuzz::SnapshotEntries();
  for (const auto& [name, bytes] : first) {
    const auto again = second.find(name);
    if (again == second.end() || again->second != bytes) Fail("a second run changed a file", name);
  }

  railfmt::fuzz::ClearScratchDirectory();
  return 0;
}
