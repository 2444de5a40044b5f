#include "tests/tools/railinspect/content_decoder.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "tools/railinspect/core/json_values.h"

namespace railfmt::testing {
namespace {

using nlohmann::json;

float Float(const json& j) {
  float value = 0;
  if (!inspect::ParseFloatValue(j, value)) throw std::runtime_error("not a float: " + j.dump());
  return value;
}

double Double(const json& j) {
  double value = 0;
  if (!inspect::ParseDoubleValue(j, value)) throw std::runtime_error("not a double: " + j.dump());
  return value;
}

std::string Text(const json& j) {
  std::string bytes;
  if (!inspect::Utf8ToLatin1(j.get<std::string>(), bytes)) throw std::runtime_error("not a file text: " + j.dump());
  return bytes;
}

std::optional<std::string> OptionalText(const json& j) {
  if (j.is_null()) return std::nullopt;
  return Text(j);
}

// Integers must be integers of the field's range: get<T> would wrap.
template <typename T>
T Int(const json& j) {
  if (!j.is_number_integer()) throw std::runtime_error("not an integer: " + j.dump());
  const auto value = j.get<long long>();
  if (value < static_cast<long long>(std::numeric_limits<T>::min()) ||
      value > static_cast<long long>(std::numeric_limits<T>::max())) {
    throw std::runtime_error("out of range: " + j.dump());
  }
  return static_cast<T>(value);
}

template <typename Array>
Array Ints(const json& j) {
  Array out{};
  if (j.size() != out.size()) throw std::runtime_error("wrong length: " + j.dump());
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = Int<typename Array::value_type>(j[i]);
  return out;
}

template <typename Array>
Array Floats(const json& j) {
  Array out{};
  if (j.size() != out.size()) throw std::runtime_error("wrong length: " + j.dump());
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = Float(j[i]);
  return out;
}

CFormat Format(const json& j) {
  CFormat f;
  f.Values = Ints<decltype(f.Values)>(j.at("Values"));
  for (std::size_t i = 0; i < 3; ++i) f.Doubles[i] = Double(j.at("Doubles").at(i));
  f.Factors = Floats<decltype(f.Factors)>(j.at("Factors"));
  return f;
}

CPunkt Point(const json& j) {
  CPunkt p;
  p.X = Int<std::int32_t>(j.at("X"));
  p.Y = Int<std::int32_t>(j.at("Y"));
  p.Z = Int<std::int32_t>(j.at("Z"));
  p.Aux = Int<std::uint32_t>(j.at("Aux"));
  p.Quad = Ints<decltype(p.Quad)>(j.at("Quad"));
  p.ByteA = Int<std::uint8_t>(j.at("ByteA"));
  p.ByteB = Int<std::uint8_t>(j.at("ByteB"));
  p.ByteC = Int<std::uint8_t>(j.at("ByteC"));
  p.ByteD = Int<std::uint8_t>(j.at("ByteD"));
  p.CodeValue = Float(j.at("CodeValue"));
  p.Aux2 = Int<std::uint32_t>(j.at("Aux2"));
  p.Code = Int<std::int32_t>(j.at("Code"));
  return p;
}

CPrimitiv Primitive(const json& j) {
  CPrimitiv p;
  p.VertexCount = Int<std::int32_t>(j.at("VertexCount"));
  p.Vertex = Ints<decltype(p.Vertex)>(j.at("Vertex"));
  for (const json& v : j.at("ExtraVertices")) p.ExtraVertices.push_back(Int<std::int16_t>(v));
  return p;
}

void Part(const json& j, CModellTeil& part) {
  part.PointCount = Int<std::int16_t>(j.at("PointCount"));
  for (const json& p : j.at("Points")) part.Points.push_back(Point(p));
  part.PrimitiveCount = Int<std::int16_t>(j.at("PrimitiveCount"));
  for (const json& p : j.at("Primitives")) part.Primitives.push_back(Primitive(p));
  part.FormatCount = Int<std::int16_t>(j.at("FormatCount"));
  for (const json& f : j.at("Formats")) part.Formats.push_back(Format(f));
  part.Attribute = Int<std::uint16_t>(j.at("Attribute"));
}

CLinie Line(const json& j) {
  CLinie line;
  line.Values = Ints<decltype(line.Values)>(j.at("Values"));
  line.Extra = Ints<decltype(line.Extra)>(j.at("Extra"));
  return line;
}

std::vector<CLinie> Lines(const json& j) {
  std::vector<CLinie> lines;
  for (const json& line : j) lines.push_back(Line(line));
  return lines;
}

CGleis Track(const json& j) {
  CGleis t;
  t.Name = Text(j.at("Name"));
  t.SecondName = Text(j.at("SecondName"));
  t.LinkedModel = Int<int>(j.at("LinkedModel"));
  t.Number = Int<std::int16_t>(j.at("Number"));
  t.Type = Int<std::int32_t>(j.at("Type"));
  t.Variant = Int<std::uint32_t>(j.at("Variant"));
  t.StartDirection = Floats<decltype(t.StartDirection)>(j.at("StartDirection"));
  t.StartPoint = Ints<decltype(t.StartPoint)>(j.at("StartPoint"));
  t.EndPoint = Ints<decltype(t.EndPoint)>(j.at("EndPoint"));
  t.EndCount = Int<std::int16_t>(j.at("EndCount"));
  if (j.at("Ends").size() != t.Ends.size()) throw std::runtime_error("wrong number of ends");
  for (std::size_t i = 0; i < t.Ends.size(); ++i) {
    t.Ends[i].Neighbour = Int<std::int16_t>(j.at("Ends")[i].at("Neighbour"));
    t.Ends[i].NeighbourEnd = Int<std::int16_t>(j.at("Ends")[i].at("NeighbourEnd"));
  }
  t.EndValue2 = Int<std::uint16_t>(j.at("EndValue2"));
  t.EndValue3 = Int<std::uint16_t>(j.at("EndValue3"));
  t.ExtraA = Ints<decltype(t.ExtraA)>(j.at("ExtraA"));
  t.ExtraB = Ints<decltype(t.ExtraB)>(j.at("ExtraB"));
  t.ExtraC = Ints<decltype(t.ExtraC)>(j.at("ExtraC"));
  t.ExtraD = Float(j.at("ExtraD"));
  return t;
}

CAnlagenModell PlacedModel(const json& j) {
  CAnlagenModell m;
  m.Number = Int<std::int16_t>(j.at("Number"));
  m.Name = Text(j.at("Name"));
  m.Position = Ints<decltype(m.Position)>(j.at("Position"));
  m.Direction = Floats<decltype(m.Direction)>(j.at("Direction"));
  m.ValueA = Int<std::uint32_t>(j.at("ValueA"));
  m.ValueB = Int<std::uint32_t>(j.at("ValueB"));
  return m;
}

CAnlagenRollmaterial Vehicle(const json& j) {
  CAnlagenRollmaterial r;
  r.Number = Int<std::int16_t>(j.at("Number"));
  r.Name = Text(j.at("Name"));
  r.SecondName = Text(j.at("SecondName"));
  r.Values = Ints<decltype(r.Values)>(j.at("Values"));
  r.Byte1 = Int<std::uint8_t>(j.at("Byte1"));
  r.Byte2 = Int<std::uint8_t>(j.at("Byte2"));
  r.Word1 = Int<std::uint16_t>(j.at("Word1"));
  r.Byte3 = Int<std::uint8_t>(j.at("Byte3"));
  r.Word2 = Int<std::uint16_t>(j.at("Word2"));
  r.Byte4 = Int<std::uint8_t>(j.at("Byte4"));
  r.TrailerValue = Int<std::uint32_t>(j.at("TrailerValue"));
  r.TrailerByte = Int<std::uint8_t>(j.at("TrailerByte"));
  r.TrailerWord = Int<std::uint16_t>(j.at("TrailerWord"));
  return r;
}

}  // namespace

CModell ModelFromJson(const json& j) {
  CModell m;
  m.Name = OptionalText(j.at("Name"));
  m.Format = Format(j.at("Format"));
  m.ElementCount = Int<std::int16_t>(j.at("ElementCount"));
  for (const json& part : j.at("Elements")) Part(part, m.Elements.emplace_back());
  m.IndexTag = Int<std::uint16_t>(j.at("IndexTag"));
  m.FormatTag = Int<std::uint16_t>(j.at("FormatTag"));
  m.ReadOk = Int<std::uint16_t>(j.at("ReadOk"));
  return m;
}

CKonstruktion ConstructionFromJson(const json& j) {
  CKonstruktion d;
  Part(j, d);
  d.Name = OptionalText(j.at("Name"));
  d.DashedLines = Lines(j.at("DashedLines"));
  d.DashedLineCount = Int<std::int16_t>(j.at("DashedLineCount"));
  d.Lines = Lines(j.at("Lines"));
  d.LineCount = Int<std::int16_t>(j.at("LineCount"));
  d.DimensionLines = Lines(j.at("DimensionLines"));
  d.DimensionLineCount = Int<std::int16_t>(j.at("DimensionLineCount"));
  d.ReadOk = Int<std::uint16_t>(j.at("ReadOk"));
  return d;
}

CRollmaterial RollingStockFromJson(const json& j) {
  CRollmaterial r;
  if (j.at("Models").size() != r.Models.size()) throw std::runtime_error("wrong number of models");
  for (std::size_t i = 0; i < r.Models.size(); ++i) r.Models[i] = ModelFromJson(j.at("Models")[i]);
  r.Complete = Int<std::uint16_t>(j.at("Complete"));
  const json& info = j.at("Info");
  r.Info.Value1 = Int<std::uint32_t>(info.at("Value1"));
  r.Info.Value2 = Int<std::uint32_t>(info.at("Value2"));
  r.Info.Value3 = Int<std::uint32_t>(info.at("Value3"));
  r.Info.Name = OptionalText(info.at("Name"));
  r.Info.Value4 = Int<std::uint32_t>(info.at("Value4"));
  r.Info.Value5 = Int<std::uint32_t>(info.at("Value5"));
  r.Info.Value6 = Int<std::uint32_t>(info.at("Value6"));
  r.Info.Value7 = Int<std::uint32_t>(info.at("Value7"));
  r.Info.Value8 = Int<std::uint32_t>(info.at("Value8"));
  r.Info.Value9 = Int<std::uint32_t>(info.at("Value9"));
  return r;
}

CAnlage LayoutFromJson(const json& j) {
  CAnlage a;
  a.TrackCount = Int<std::int16_t>(j.at("TrackCount"));
  for (const json& t : j.at("Tracks")) a.Tracks.push_back(Track(t));
  a.ModelCount = Int<std::int16_t>(j.at("ModelCount"));
  for (const json& m : j.at("Models")) a.Models.push_back(PlacedModel(m));
  a.RollingStockCount = Int<std::int16_t>(j.at("RollingStockCount"));
  for (const json& r : j.at("RollingStock")) a.RollingStock.push_back(Vehicle(r));
  if (j.at("Blocks").size() != a.Blocks.size()) throw std::runtime_error("wrong number of blocks");
  for (std::size_t b = 0; b < a.Blocks.size(); ++b) {
    a.Blocks[b].Values = Ints<decltype(a.Blocks[b].Values)>(j.at("Blocks")[b].at("Values"));
  }
  const json& p = j.at("Properties");
  a.Properties.FirstTriplet = Ints<decltype(a.Properties.FirstTriplet)>(p.at("FirstTriplet"));
  a.Properties.SecondTriplet = Ints<decltype(a.Properties.SecondTriplet)>(p.at("SecondTriplet"));
  a.Properties.Bytes20 = Ints<decltype(a.Properties.Bytes20)>(p.at("Bytes20"));
  a.Properties.FinalValue = Int<std::uint32_t>(p.at("FinalValue"));
  a.ReadOk = Int<std::int32_t>(j.at("ReadOk"));
  return a;
}

}  // namespace railfmt::testing
