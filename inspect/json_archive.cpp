#include "inspect/json_archive.h"

namespace railfmt::inspect {

Json PointJson(const CPunkt& point) {
  Json out;
  out["X"] = point.X;
  out["Y"] = point.Y;
  out["Z"] = point.Z;
  out["Aux"] = point.Aux;
  out["Quad"] = Numbers(point.Quad);
  out["ByteA"] = point.ByteA;
  out["ByteB"] = point.ByteB;
  out["ByteC"] = point.ByteC;
  out["ByteD"] = point.ByteD;
  out["CodeValue"] = FloatValue(point.CodeValue);
  out["Aux2"] = point.Aux2;
  out["Code"] = point.Code;
  return out;
}

Json FormatJson(const CFormat& format) {
  Json out;
  out["Values"] = Numbers(format.Values);
  out["Doubles"] = List(format.Doubles, DoubleValue);
  out["Factors"] = List(format.Factors, FloatValue);
  return out;
}

Json PrimitiveJson(const CPrimitiv& primitive) {
  Json out;
  out["VertexCount"] = primitive.VertexCount;
  out["Vertex"] = Numbers(primitive.Vertex);
  out["ExtraVertices"] = Numbers(primitive.ExtraVertices);
  return out;
}

void WritePartMembers(const CModellTeil& part, JsonStream& out) {
  out.Member("PointCount", part.PointCount);
  out.ListMember("Points", part.Points, PointJson);
  out.Member("PrimitiveCount", part.PrimitiveCount);
  out.ListMember("Primitives", part.Primitives, PrimitiveJson);
  out.Member("FormatCount", part.FormatCount);
  out.ListMember("Formats", part.Formats, FormatJson);
  out.Member("Attribute", part.Attribute);
}

void WriteModel(const CModell& model, JsonStream& out) {
  out.BeginObject();
  out.Member("Name", OptionalTextValue(model.Name));
  out.Member("Format", FormatJson(model.Format));
  out.Member("ElementCount", model.ElementCount);
  out.Key("Elements");
  out.BeginArray();
  for (const CModellTeil& part : model.Elements) {
    out.BeginObject();
    WritePartMembers(part, out);
    out.EndObject();
  }
  out.EndArray();
  out.Member("IndexTag", model.IndexTag);
  out.Member("FormatTag", model.FormatTag);
  out.Member("ReadOk", model.ReadOk);
  out.EndObject();
}

Json LineJson(const CLinie& line) {
  Json out;
  out["Values"] = Numbers(line.Values);
  out["Extra"] = Numbers(line.Extra);
  return out;
}

void WriteConstruction(const CKonstruktion& drawing, JsonStream& out) {
  // The part's fields first: a drawing is a part with three line lists.
  out.BeginObject();
  WritePartMembers(drawing, out);
  out.Member("Name", OptionalTextValue(drawing.Name));
  out.ListMember("DashedLines", drawing.DashedLines, LineJson);
  out.Member("DashedLineCount", drawing.DashedLineCount);
  out.ListMember("Lines", drawing.Lines, LineJson);
  out.Member("LineCount", drawing.LineCount);
  out.ListMember("DimensionLines", drawing.DimensionLines, LineJson);
  out.Member("DimensionLineCount", drawing.DimensionLineCount);
  out.Member("ReadOk", drawing.ReadOk);
  out.EndObject();
}

Json RollInfoJson(const CRollInfo& info) {
  Json out;
  out["Value1"] = info.Value1;
  out["Value2"] = info.Value2;
  out["Value3"] = info.Value3;
  out["Name"] = OptionalTextValue(info.Name);
  out["Value4"] = info.Value4;
  out["Value5"] = info.Value5;
  out["Value6"] = info.Value6;
  out["Value7"] = info.Value7;
  out["Value8"] = info.Value8;
  out["Value9"] = info.Value9;
  return out;
}

void WriteRollingStock(const CRollmaterial& rolling_stock, JsonStream& out) {
  out.BeginObject();
  out.Key("Models");
  out.BeginArray();
  for (const CModell& model : rolling_stock.Models) WriteModel(model, out);
  out.EndArray();
  out.Member("Complete", rolling_stock.Complete);
  out.Member("Info", RollInfoJson(rolling_stock.Info));
  out.EndObject();
}

}  // namespace railfmt::inspect
