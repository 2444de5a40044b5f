// Round trips over files generated from random values (seeded, so every run
// sees the same files): each file the writer makes from a generated object
// is accepted by the reader, and rewriting it is a fixed point.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "driver/diagnostics.h"
#include "layout/layout_format.h"
#include "layout/layout_kind.h"
#include "tests/support/mutator.h"
#include "tests/support/rewrite_property.h"

namespace railfmt {
namespace {
using testing::Mutator;

constexpr int kFilesPerKind = 400;

// Random values from the mutator's engine.
class Values {
 public:
  explicit Values(std::uint64_t seed) : m_(seed) {}
  std::size_t Below(std::size_t bound) { return m_.Below(bound); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(m_.Below(1ull << 32)); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  // Small coordinates mostly, some at the edges of the type.
  std::int32_t Coordinate() {
    switch (Below(8)) {
      case 0: return I32();
      case 1: return Below(2) == 0 ? INT32_MIN : INT32_MAX;
      default: return static_cast<std::int32_t>(Below(20001)) - 10000;
    }
  }
  // Plain values mostly; also zeros of both signs, NaNs, infinities, huge.
  float Float() {
    switch (Below(10)) {
      case 0: return std::bit_cast<float>(U32());
      case 1: return std::bit_cast<float>(0x7FC00001u);
      case 2: return -0.0f;
      case 3: return 3.0e38f;
      default: return static_cast<float>(static_cast<int>(Below(2001)) - 1000) / 1000.0f;
    }
  }
  // Bytes without a zero byte: names are kept as zero-terminated strings.
  std::string Name(std::size_t max_length) {
    std::string s(Below(max_length + 1), 'x');
    for (char& c : s) c = static_cast<char>(1 + Below(255));
    return s;
  }

 private:
  Mutator m_;
};

CModell GenerateModel(Values& v) {
  CModell model;
  model.Format.Values = {v.U32(), v.U32(), v.U32()};
  model.Format.Doubles = {std::bit_cast<double>((static_cast<std::uint64_t>(v.U32()) << 32) | v.U32()), 0.5, -0.0};
  std::vector<CModellTeil> parts(v.Below(5));
  for (CModellTeil& part : parts) {
    std::vector<CPunkt> points(v.Below(9));
    for (CPunkt& p : points) {
      p.X = v.Coordinate();
      p.Y = v.Coordinate();
      p.Z = v.Coordinate();
      p.Aux = v.U32();
      p.Quad = {v.U32(), v.U32(), v.U32(), v.U32()};
      p.ByteA = static_cast<std::uint8_t>(v.Below(256));
      p.ByteD = static_cast<std::uint8_t>(v.Below(256));
      p.CodeValue = v.Float();
      p.Code = v.Below(3) == 0 ? 99 : v.I32();
    }
    // Vertex indices below the point count, negative ones included.
    std::vector<CPrimitiv> primitives(v.Below(7));
    for (CPrimitiv& prim : primitives) {
      std::vector<std::int16_t> vertices(1 + v.Below(8));
      for (std::int16_t& x : vertices) {
        x = static_cast<std::int16_t>(static_cast<int>(v.Below(points.size() + 3)) - 3);
      }
      prim = MakePrimitive(vertices);
    }
    std::vector<CFormat> formats(v.Below(4));
    for (CFormat& f : formats) {
      f.Values = {v.U32(), v.U32(), v.U32()};
      f.Doubles = {1.0, -2.5, static_cast<double>(v.Float())};
      f.Factors = {v.Float(), v.Float(), v.Float()};
    }
    part.SetPoints(std::move(points));
    part.SetPrimitives(std::move(primitives));
    part.SetFormats(std::move(formats));
  }
  model.SetElements(std::move(parts));
  return model;
}

CAnlage GenerateLayout(Values& v) {
  static constexpr std::int32_t kTypes[] = {1, 2, 3, 4, 6, 7, 8, 9, 11};
  const auto number = [&v] {
    switch (v.Below(6)) {
      case 0: return std::int16_t{0};
      case 1: return static_cast<std::int16_t>(-static_cast<int>(v.Below(100)));
      case 2: return static_cast<std::int16_t>(29990 + v.Below(20));
      default: return static_cast<std::int16_t>(1 + v.Below(40));
    }
  };
  CAnlage layout;
  layout.Tracks.resize(v.Below(6));
  for (CGleis& t : layout.Tracks) {
    t.Number = number();
    t.Name = v.Name(12);
    t.Type = kTypes[v.Below(std::size(kTypes))];
    EndCountFromType(t);
    if (t.Type == 11) t.EndCount = static_cast<std::int16_t>(1 + v.Below(layout_format::kMaxEnds));
    if (t.Type == 6) t.SecondName = v.Name(8);
    if (t.Type >= 6 && t.Type <= 9) t.Variant = static_cast<std::uint32_t>(v.Below(3));
    t.StartDirection = {v.Float(), v.Float(), v.Float()};
    t.StartPoint = {v.Coordinate(), v.Coordinate(), v.Coordinate()};
    t.EndPoint = {v.Coordinate(), v.Coordinate(), v.Coordinate()};
    for (int e = 0; e < t.EndCount; ++e) {
      t.Ends[static_cast<std::size_t>(e)] = {static_cast<std::int16_t>(v.Below(3)),
                                             static_cast<std::int16_t>(v.Below(3))};
    }
    t.ExtraA = {v.U32(), v.U32(), v.U32()};
    t.ExtraB = {v.U32(), v.U32(), v.U32()};
    t.ExtraC = {v.I32(), v.I32(), v.I32()};
    t.ExtraD = v.Float();
  }
  layout.Models.resize(v.Below(6));
  for (CAnlagenModell& m : layout.Models) {
    m.Number = number();
    const std::string prefixes[] = {std::string(layout_format::kBridgePrefix),
                                    std::string(layout_format::kBufferStopPrefix), ""};
    m.Name = prefixes[v.Below(3)] + v.Name(6);
    m.Position = {v.Coordinate(), v.Coordinate(), v.Coordinate()};
    m.Direction = {v.Float(), v.Float(), v.Float()};
    m.ValueA = v.U32();
    m.ValueB = v.U32();
  }
  if (!layout.Models.empty() && v.Below(2) == 0) layout.Models.push_back(layout.Models.front());  // a duplicate
  layout.RollingStock.resize(v.Below(5));
  for (CAnlagenRollmaterial& r : layout.RollingStock) {
    r.Number = number();
    r.Name = v.Name(10) + (v.Below(3) == 0 ? ".DLL" : "");
    r.SecondName = v.Name(10);
    for (std::uint32_t& x : r.Values) x = v.U32();
    r.Byte1 = static_cast<std::uint8_t>(v.Below(256));
    r.Byte2 = static_cast<std::uint8_t>(v.Below(256));
    r.Word1 = static_cast<std::uint16_t>(v.Below(65536));
    r.TrailerValue = v.U32();
    r.TrailerByte = static_cast<std::uint8_t>(v.Below(256));
    r.TrailerWord = static_cast<std::uint16_t>(v.Below(65536));
  }
  for (CAnlagenBlock& b : layout.Blocks) {
    for (std::uint32_t& x : b.Values) x = v.U32();
  }
  layout.Properties.FinalValue = v.U32();
  layout.Properties.Bytes20[3] = static_cast<std::uint8_t>(v.Below(256));
  layout.TrackCount = static_cast<std::int16_t>(layout.Tracks.size());
  layout.ModelCount = static_cast<std::int16_t>(layout.Models.size());
  layout.RollingStockCount = static_cast<std::int16_t>(layout.RollingStock.size());
  return layout;
}

// The writer's file is accepted, and rewriting it is a fixed point.
void CheckGeneratedFile(EntryKind kind, const std::vector<std::uint8_t>& file, const std::string& what) {
  const auto rewritten = testing::Rewrite(kind, file);
  ASSERT_TRUE(rewritten.has_value()) << what << ": the reader rejects the writer's file";
  EXPECT_EQ(*rewritten, file) << what << ": the writer's file is not in normal form";
}

TEST(GeneratedRoundTrip, Models) {
  Values v(0xA11CE);
  DiagnosticCapture quiet;
  for (int i = 0; i < kFilesPerKind; ++i) {
    CModell model = GenerateModel(v);
    CheckGeneratedFile(EntryKind::kModel, EncodeToBytes<ModelKind>(model), "model " + std::to_string(i));
    quiet.Clear();
    if (HasFailure()) return;
  }
}

TEST(GeneratedRoundTrip, Layouts) {
  Values v(0xB0B);
  DiagnosticCapture quiet;
  for (int i = 0; i < kFilesPerKind; ++i) {
    CAnlage layout = GenerateLayout(v);
    CheckGeneratedFile(EntryKind::kLayout, testing::NormaliseAndEncode<LayoutKind>(layout),
                       "layout " + std::to_string(i));
    quiet.Clear();
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace railfmt
