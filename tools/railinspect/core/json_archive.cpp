#include "tools/railinspect/json_archive.h"

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

Json PartJson(const CModellTeil& part) {
  Json out;
  out["PointCount"] = part.PointCount;
  out["Points"] = List(part.Points, PointJson);
  out["PrimitiveCount"] = part.PrimitiveCount;
  out["Primitives"] = List(part.Primitives, PrimitiveJson);
  out["FormatCount"] = part.FormatCount;
  out["Formats"] = List(part.Formats, FormatJson);
  out["Attribute"] = part.Attribute;
  return out;
}

Json ModelJson(const CModell& model) {
  Json out;
  out["Name"] = OptionalTextValue(model.Name);
  out["Format"] = FormatJson(model.Format);
  out["ElementCount"] = model.ElementCount;
  out["Elements"] = List(model.Elements, PartJson);
  out["IndexTag"] = model.IndexTag;
  out["FormatTag"] = model.FormatTag;
  out["ReadOk"] = model.ReadOk;
  return out;
}

Json LineJson(const CLinie& line) {
  Json out;
  out["Values"] = Numbers(line.Values);
  out["Extra"] = Numbers(line.Extra);
  return out;
}

Json ConstructionJson(const CKonstruktion& drawing) {
  // The part's fields first: a drawing is a part with three line lists.
  Json out = PartJson(drawing);
  out["Name"] = OptionalTextValue(drawing.Name);
  out["DashedLines"] = List(drawing.DashedLines, LineJson);
  out["DashedLineCount"] = drawing.DashedLineCount;
  out["Lines"] = List(drawing.Lines, LineJson);
  out["LineCount"] = drawing.LineCount;
  out["DimensionLines"] = List(drawing.DimensionLines, LineJson);
  out["DimensionLineCount"] = drawing.DimensionLineCount;
  out["ReadOk"] = drawing.ReadOk;
  return out;
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

Json RollingStockJson(const CRollmaterial& rolling_stock) {
  Json out;
  out["Models"] = List(rolling_stock.Models, ModelJson);
  out["Complete"] = rolling_stock.Complete;
  out["Info"] = RollInfoJson(rolling_stock.Info);
  return out;
}

}  // namespace railfmt::inspect
