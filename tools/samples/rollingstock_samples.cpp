#include "tools/samples/rollingstock_samples.h"

#include <string>
#include <utility>

#include "tools/samples/model_samples.h"

namespace railfmt {
namespace {

CModellTeil Part(std::vector<CPunkt> points, std::vector<CPrimitiv> primitives, int formats) {
  CModellTeil part;
  part.SetPoints(std::move(points));
  part.SetPrimitives(std::move(primitives));
  std::vector<CFormat> list(static_cast<std::size_t>(formats));
  for (int i = 0; i < formats; ++i) list[static_cast<std::size_t>(i)].Values = {static_cast<std::uint32_t>(i), 1u, 2u};
  part.SetFormats(std::move(list));
  return part;
}

CModell Model(double length, std::vector<CModellTeil> parts) {
  CModell model;
  model.Format.Doubles = {length, 1.0, 0.0};
  model.Format.Values = {3, 0, 1};
  model.SetElements(std::move(parts));
  return model;
}

// A body: a box of quads with its outline as one polygon.
CModell Body() {
  std::vector<CPunkt> points = {SamplePoint(0, 0, 0),        SamplePoint(1600, 0, 0), SamplePoint(1600, 300, 0),
                                SamplePoint(0, 300, 0),      SamplePoint(0, 0, 400),  SamplePoint(1600, 0, 400),
                                SamplePoint(1600, 300, 400), SamplePoint(0, 300, 400)};
  return Model(1600.0, {Part(std::move(points),
                             {MakePrimitive({0, 1, 5, 4}), MakePrimitive({2, 3, 7, 6}), MakePrimitive({4, 5, 6, 7}),
                              MakePrimitive({0, 1, 2, 3, 7, 4})},
                             2),
                        Part({SamplePoint(800, 150, 450)}, {MakePrimitive({0})}, 0)});
}

// A bogie: two axles as lines, a frame as a triangle pair.
CModell Bogie(std::int32_t at) {
  std::vector<CPunkt> points = {SamplePoint(at, 0, 0), SamplePoint(at, 300, 0), SamplePoint(at + 250, 0, 0),
                                SamplePoint(at + 250, 300, 0)};
  return Model(
      250.0,
      {Part(std::move(points),
            {MakePrimitive({0, 1}), MakePrimitive({2, 3}), MakePrimitive({0, 1, 2}), MakePrimitive({1, 3, 2})}, 1)});
}

CRollInfo InfoNamed(const std::string& name, std::uint32_t seed) {
  CRollInfo info;
  info.Value1 = seed;
  info.Value2 = 0x41200000u;  // 10.0f
  info.Value3 = 0x7FC00000u;  // a NaN pattern, carried as it is
  info.Name = name;
  info.Value4 = 0;
  info.Value5 = 1;
  info.Value6 = 0xFFFFFFFFu;
  info.Value7 = 0x80000000u;
  info.Value8 = seed * 2;
  info.Value9 = 0x3F800000u;  // 1.0f
  return info;
}

void AddRecord(std::vector<SampleFile>& samples, CModell m0, CModell m1, CModell m2, CRollInfo info) {
  CRollmaterial record;
  record.Models = {std::move(m0), std::move(m1), std::move(m2)};
  record.Info = std::move(info);
  ByteWriter out;
  EncodeRollingStock(record, out);
  samples.push_back({record.Info.Name.value_or(std::string()) + ".rol", out.Take()});
}

}  // namespace

void AddRollingStockSamples(std::vector<SampleFile>& samples) {
  AddRecord(samples, Body(), Bogie(100), Bogie(1250), InfoNamed("stock_all_parts", 1));
  AddRecord(samples, CModell(), Bogie(0), Body(), InfoNamed("stock_empty_first", 2));
  AddRecord(samples, CModell(), CModell(), CModell(), InfoNamed("stock_no_parts", 3));
}

}  // namespace railfmt
