// Fuzz target for one kind's reader and writer (RAILFMT_FUZZ_KIND names the
// EntryKind; the build makes one target per kind).
//
// Beyond the sanitizers, the round-trip property of CheckRewriteIsStable:
// whatever the reader accepts, the writer's output is accepted by the same
// reader, and writing that again gives the same bytes. A violation aborts
// with what failed.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "driver/diagnostics.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/rewrite_property.h"

namespace {

constexpr railfmt::EntryKind kKind = railfmt::EntryKind::RAILFMT_FUZZ_KIND;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  railfmt::SetMismatchWriter([](std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault =
      railfmt::testing::CheckRewriteIsStable(kKind, std::span<const std::uint8_t>(data, size), nullptr);
  if (!fault.empty()) railfmt::fuzz::Fail(railfmt::EntryKindName(kKind), fault);
  return 0;
}
