#include "layout/layout.h"

#include <algorithm>

#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

template <typename Entries>
int CountNumbered(const Entries& entries) {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.Number != 0; }));
}

}  // namespace

void ClearLayout(CAnlage& layout) { layout = CAnlage{}; }

int CountTracks(const CAnlage& layout) { return CountNumbered(layout.Tracks); }
int CountModels(const CAnlage& layout) { return CountNumbered(layout.Models); }
int CountRollingStock(const CAnlage& layout) { return CountNumbered(layout.RollingStock); }

int NextRollmaterialByNumber(const CAnlage& layout, int& previous) {
  int best = layout_format::kTrailerLimit;
  int result = -1;
  for (std::size_t i = 0; i < layout.RollingStock.size(); ++i) {
    const int n = layout.RollingStock[i].Number;
    if (n > previous && n < best) {
      best = n;
      result = static_cast<int>(i);
    }
  }
  previous = best;
  return result;
}

std::vector<int> TrailerOrder(const CAnlage& layout) {
  std::vector<int> order;
  for (std::size_t i = 0; i < layout.RollingStock.size(); ++i) {
    const int n = layout.RollingStock[i].Number;
    if (n > 0 && n < layout_format::kTrailerLimit) order.push_back(static_cast<int>(i));
  }
  const auto number = [&](int i) { return layout.RollingStock[static_cast<std::size_t>(i)].Number; };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return number(a) < number(b); });
  order.erase(std::unique(order.begin(), order.end(), [&](int a, int b) { return number(a) == number(b); }),
              order.end());
  return order;
}

int ReadBlock(ReadCursor& in, CAnlagenBlock& block) {
  for (std::uint32_t& v : block.Values) {
    if (!in.ReadU32(v)) return 0;
  }
  return 1;
}

void WriteBlock(ByteWriter& out, const CAnlagenBlock& block) {
  for (std::uint32_t v : block.Values) out.U32(v);
}

int ReadProperties(ReadCursor& in, CEigenschaften& p) {
  if (!in.ReadBytes(p.FirstTriplet)) {
    Report("Formatfehler!\n");
    return 0;
  }
  if (ExpectByte(in, 0) != 1) return 0;
  if (!in.ReadBytes(p.SecondTriplet)) {
    Report("Formatfehler!\n");
    return 0;
  }
  if (ExpectByte(in, 0) != 1) return 0;
  if (!in.ReadBytes(p.Bytes20)) {
    Report("Feher in Eigenschaften!\n");
    return 0;
  }
  if (!in.ReadU32(p.FinalValue)) {
    Report("Formatfehler!\n");
    return 0;
  }
  return 1;
}

void WriteProperties(ByteWriter& out, const CEigenschaften& p) {
  out.Bytes(p.FirstTriplet);
  out.U8(0);
  out.Bytes(p.SecondTriplet);
  out.U8(0);
  out.Bytes(p.Bytes20);
  out.U32(p.FinalValue);
}

}  // namespace railfmt
