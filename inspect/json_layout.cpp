#include "inspect/json_layout.h"

namespace railfmt::inspect {
Json TrackJson(const CGleis& track) {
  Json out;
  out["Name"] = TextValue(track.Name);
  out["SecondName"] = TextValue(track.SecondName);
  out["LinkedModel"] = track.LinkedModel;
  out["Number"] = track.Number;
  out["Type"] = track.Type;
  out["Variant"] = track.Variant;
  out["StartDirection"] = List(track.StartDirection, FloatValue);
  out["StartPoint"] = Numbers(track.StartPoint);
  out["EndPoint"] = Numbers(track.EndPoint);
  out["EndCount"] = track.EndCount;
  out["Ends"] = List(track.Ends, [](const CGleisEnde& end) {
    return Json{{"Neighbour", end.Neighbour}, {"NeighbourEnd", end.NeighbourEnd}};
  });
  out["EndValue2"] = track.EndValue2;
  out["EndValue3"] = track.EndValue3;
  out["ExtraA"] = Numbers(track.ExtraA);
  out["ExtraB"] = Numbers(track.ExtraB);
  out["ExtraC"] = Numbers(track.ExtraC);
  out["ExtraD"] = FloatValue(track.ExtraD);
  return out;
}

Json PlacedModelJson(const CAnlagenModell& model) {
  Json out;
  out["Number"] = model.Number;
  out["Name"] = TextValue(model.Name);
  out["Position"] = Numbers(model.Position);
  out["Direction"] = List(model.Direction, FloatValue);
  out["ValueA"] = model.ValueA;
  out["ValueB"] = model.ValueB;
  return out;
}

Json VehicleJson(const CAnlagenRollmaterial& vehicle) {
  Json out;
  out["Number"] = vehicle.Number;
  out["Name"] = TextValue(vehicle.Name);
  out["SecondName"] = TextValue(vehicle.SecondName);
  out["Values"] = Numbers(vehicle.Values);
  out["Byte1"] = vehicle.Byte1;
  out["Byte2"] = vehicle.Byte2;
  out["Word1"] = vehicle.Word1;
  out["Byte3"] = vehicle.Byte3;
  out["Word2"] = vehicle.Word2;
  out["Byte4"] = vehicle.Byte4;
  out["TrailerValue"] = vehicle.TrailerValue;
  out["TrailerByte"] = vehicle.TrailerByte;
  out["TrailerWord"] = vehicle.TrailerWord;
  return out;
}

void WriteLayout(const CAnlage& layout, JsonStream& out) {
  out.BeginObject();
  out.Member("TrackCount", layout.TrackCount);
  out.ListMember("Tracks", layout.Tracks, TrackJson);
  out.Member("ModelCount", layout.ModelCount);
  out.ListMember("Models", layout.Models, PlacedModelJson);
  out.Member("RollingStockCount", layout.RollingStockCount);
  out.ListMember("RollingStock", layout.RollingStock, VehicleJson);
  out.Member("Blocks", List(layout.Blocks, [](const CAnlagenBlock& block) {
               return Json{{"Values", Numbers(block.Values)}};
             }));
  const CEigenschaften& p = layout.Properties;
  out.Member("Properties", Json{{"FirstTriplet", Numbers(p.FirstTriplet)},
                                {"SecondTriplet", Numbers(p.SecondTriplet)},
                                {"Bytes20", Numbers(p.Bytes20)},
                                {"FinalValue", p.FinalValue}});
  out.Member("ReadOk", layout.ReadOk);
  out.EndObject();
}

}  // namespace railfmt::inspect
