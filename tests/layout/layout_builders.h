// Test builders: tracks, models, vehicles and layouts from their values.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "driver/byte_writer.h"
#include "layout/layout.h"

namespace railfmt::testing {

inline CGleis MakeTrack(std::int16_t number, std::string name, std::int32_t type, std::array<std::int32_t, 3> start,
                        std::array<float, 3> direction, std::array<std::int32_t, 3> end) {
  CGleis t;
  t.Number = number;
  t.Name = std::move(name);
  t.Type = type;
  EndCountFromType(t);
  t.StartPoint = start;
  t.StartDirection = direction;
  t.EndPoint = end;
  return t;
}

inline CAnlagenModell MakeModel(std::int16_t number, std::string name, std::array<std::int32_t, 3> position,
                                std::array<float, 3> direction) {
  CAnlagenModell m;
  m.Number = number;
  m.Name = std::move(name);
  m.Position = position;
  m.Direction = direction;
  return m;
}

inline CAnlagenRollmaterial MakeVehicle(std::int16_t number, std::string name) {
  CAnlagenRollmaterial r;
  r.Number = number;
  r.Name = std::move(name);
  r.SecondName = "zweiter";
  r.Byte2 = 2;
  r.TrailerValue = static_cast<std::uint32_t>(number) * 3u;
  r.TrailerByte = 0x5A;
  r.TrailerWord = 0xBEEF;
  return r;
}

// The counts follow the arrays.
inline void SetCounts(CAnlage& a) {
  a.TrackCount = static_cast<std::int16_t>(a.Tracks.size());
  a.ModelCount = static_cast<std::int16_t>(a.Models.size());
  a.RollingStockCount = static_cast<std::int16_t>(a.RollingStock.size());
}

inline std::vector<std::uint8_t> TrackBytes(const CGleis& t) {
  ByteWriter out;
  WriteTrackRecord(out, t);
  return out.Take();
}

}  // namespace railfmt::testing
