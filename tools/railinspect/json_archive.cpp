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

}  // namespace railfmt::inspect
