// Fuzz target for one kind's reader and writer (RAILFMT_FUZZ_KIND names the
// EntryKind; the build makes one target per kind).
//
// Beyond the sanitizers: whatever the reader accepts, the writer's output is
// accepted by the same reader, and writing that again gives the same bytes.
// A difference aborts, with both outputs' first differing offset printed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "driver/diagnostics.h"
#include "fuzz/scratch_directory.h"
#include "tools/kind_rewriters.h"

namespace {

const railfmt::KindRewriter* g_rewriter = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_rewriter = railfmt::FindKindRewriter(railfmt::EntryKind::RAILFMT_FUZZ_KIND);
  if (g_rewriter == nullptr) railfmt::fuzz::Fail("the library has no such kind", "RAILFMT_FUZZ_KIND");
  railfmt::SetMismatchWriter([](std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto first = g_rewriter->rewrite(std::span<const std::uint8_t>(data, size));
  if (!first) return 0;
  const auto second = g_rewriter->rewrite(*first);
  if (!second) railfmt::fuzz::Fail("the reader rejects its own writer's output", railfmt::EntryKindName(g_rewriter->kind));
  if (*second != *first) {
    std::size_t at = 0;
    while (at < first->size() && at < second->size() && (*first)[at] == (*second)[at]) ++at;
    railfmt::fuzz::Fail("rewriting is not idempotent",
                        std::string(railfmt::EntryKindName(g_rewriter->kind)) + ": outputs of " +
                            std::to_string(first->size()) + " and " + std::to_string(second->size()) +
                            " bytes differ from offset " + std::to_string(at));
  }
  return 0;
}
