#include "tests/support/rewrite_property.h"

#include <array>
#include <cmath>

#include "driver/recognition_cascade.h"

namespace railfmt::testing {
namespace {

// The name the readers' messages carry for bytes that come from no file.
constexpr std::string_view kName = "memory";

bool HasNan(const std::array<float, 3>& direction) {
  return std::isnan(direction[0]) || std::isnan(direction[1]) || std::isnan(direction[2]);
}

// The first offset at which two files differ, for messages.
std::string Difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return "outputs of " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + " bytes differ from offset " +
         std::to_string(at);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> Rewrite(EntryKind kind, std::span<const std::uint8_t> bytes) {
  std::optional<RecognisedFile> file = TryKind(kind, bytes, kName);
  if (!file) return std::nullopt;
  file->Normalise();
  return file->Encode();
}

bool MaySettleLater(EntryKind kind, std::span<const std::uint8_t> input, std::span<const std::uint8_t> output) {
  if (kind != EntryKind::kLayout) return false;
  CAnlage in;
  ReadLayout(in, input);
  for (const CGleis& t : in.Tracks) {
    if (t.Number == 0) return true;
  }
  for (const CAnlagenModell& m : in.Models) {
    if (m.Number == 0) return true;
  }
  CAnlage out;
  ReadLayout(out, output);
  for (const CAnlagenModell& m : out.Models) {
    if (HasNan(m.Direction)) return true;
  }
  return false;
}

std::string CheckRewriteIsStable(EntryKind kind, std::span<const std::uint8_t> input, bool* accepted) {
  const auto first = Rewrite(kind, input);
  if (accepted != nullptr) *accepted = first.has_value();
  if (!first) return {};
  const auto second = Rewrite(kind, *first);
  if (!second) return "the reader rejects its own writer's output";
  if (*second == *first) return {};
  if (!MaySettleLater(kind, input, *first)) return "rewriting the output changed it: " + Difference(*first, *second);
  std::vector<std::uint8_t> previous = *second;
  for (int i = 0; i < kMaxSettlingRewrites; ++i) {
    auto next = Rewrite(kind, previous);
    if (!next) return "the reader rejects its own writer's output (rewrite " + std::to_string(i + 3) + ")";
    if (*next == previous) return {};
    previous = std::move(*next);
  }
  return "the rewrite did not settle within " + std::to_string(kMaxSettlingRewrites + 2) + " rewrites";
}

}  // namespace railfmt::testing
