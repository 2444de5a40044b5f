#include "layout/track.h"

#include <algorithm>

#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

bool HasVariantInHead(std::int32_t type) { return type == 6 || type == 7; }
bool HasEnd3(std::int32_t type) { return type == 4 || type == 9; }
bool HasEnd2(std::int32_t type) { return type == 3 || type == 4 || type == 8 || type == 9; }
bool HasCopyB(std::int32_t type) { return type == 8 || type == 9; }

// The field names of the connection of each end.
constexpr const char* kConnectionFields[layout_format::kMaxEnds] = {
    ForPeople("end 1 connection"),  ForPeople("end 2 connection"),  ForPeople("end 3 connection"),
    ForPeople("end 4 connection"),  ForPeople("end 5 connection"),  ForPeople("end 6 connection"),
    ForPeople("end 7 connection"),  ForPeople("end 8 connection"),  ForPeople("end 9 connection"),
    ForPeople("end 10 connection"), ForPeople("end 11 connection"), ForPeople("end 12 connection"),
    ForPeople("end 13 connection"), ForPeople("end 14 connection"), ForPeople("end 15 connection"),
    ForPeople("end 16 connection"), ForPeople("end 17 connection"), ForPeople("end 18 connection"),
    ForPeople("end 19 connection"), ForPeople("end 20 connection")};

bool ReadConnection(ReadCursor& in, CGleis& t, std::size_t end) {
  CGleisEnde& e = t.Ends[end];
  return in.Field(kConnectionFields[end]).ReadI16(e.Neighbour) && in.ReadI16(e.NeighbourEnd) && ExpectShort(in, 0) == 1;
}

bool ExpectConnection(ReadCursor& in, const CGleis& t, std::size_t end) {
  const CGleisEnde& e = t.Ends[end];
  return ExpectShort(in.Field("connection copy"), e.Neighbour) == 1 &&
         ExpectShort(in.Field("connection copy"), e.NeighbourEnd) == 1 &&
         ExpectShort(in.Field("connection copy"), 0) == 1;
}

bool ReadGeometry(ReadCursor& in, CGleis& t) {
  in.Field("geometry");
  for (float& v : t.StartDirection) {
    if (!in.ReadFloat(v)) return false;
  }
  for (std::int32_t& v : t.StartPoint) {
    if (!in.ReadI32(v)) return false;
  }
  for (std::int32_t& v : t.EndPoint) {
    if (!in.ReadI32(v)) return false;
  }
  return true;
}

bool ExpectGeometry(ReadCursor& in, const CGleis& t) {
  in.Field("geometry copy");
  for (float v : t.StartDirection) {
    if (ExpectFloat(in, v) != 1) return false;
  }
  for (std::int32_t v : t.StartPoint) {
    if (ExpectLong(in, v) != 1) return false;
  }
  for (std::int32_t v : t.EndPoint) {
    if (ExpectLong(in, v) != 1) return false;
  }
  return true;
}

bool ExpectIdentity(ReadCursor& in, const CGleis& t) {
  return ExpectShort(in.Field("number copy"), t.Number) == 1 && ExpectString8(in.Field("name copy"), t.Name) == 1 &&
         ExpectLong(in.Field("type copy"), t.Type) == 1;
}

// Geometry, identity, end 0 and end 1: the part every integrity copy repeats.
bool ExpectCopyTail(ReadCursor& in, const CGleis& t) {
  return ExpectGeometry(in, t) && ExpectIdentity(in, t) && ExpectConnection(in, t, 0) && ExpectConnection(in, t, 1);
}

bool ReadType11Tail(ReadCursor& in, CGleis& t) {
  if (ExpectLong(in.Field("reserved value"), 0) != 1 || !ExpectCopyTail(in, t)) return false;
  std::int16_t extra = 0;
  if (!in.Field("extra end count").ReadI16(extra)) return false;
  t.EndCount = static_cast<std::int16_t>(extra + 2);
  if (t.EndCount > layout_format::kMaxEnds) return in.Reject(t.EndCount, layout_format::kMaxEnds);
  in.Field("end flags");
  for (int i = 2; i < t.EndCount; ++i) {
    std::uint32_t flag = 0;
    if (!in.ReadU32(flag)) return false;
    t.Ends[static_cast<std::size_t>(i)].Neighbour = static_cast<std::int16_t>(static_cast<std::uint16_t>(flag));
  }
  in.Field("extra values");
  for (std::uint32_t& v : t.ExtraA) {
    if (!in.ReadU32(v)) return false;
  }
  for (std::int32_t& v : t.ExtraC) {
    if (!in.ReadI32(v)) return false;
  }
  for (std::uint32_t& v : t.ExtraB) {
    if (!in.ReadU32(v)) return false;
  }
  in.Field("extra values copy");
  for (std::int32_t v : t.ExtraC) {
    if (ExpectLong(in, v) != 1) return false;
  }
  for (int i = 2; i < t.EndCount; ++i) {
    if (t.Ends[static_cast<std::size_t>(i)].Neighbour != 0 && !ReadConnection(in, t, static_cast<std::size_t>(i))) {
      return false;
    }
  }
  return in.Field("extra float").ReadFloat(t.ExtraD) && ExpectFloat(in.Field("extra float copy"), t.ExtraD) == 1 &&
         in.Field("end value 4").ReadU16(t.EndValue3);
}

void WriteConnection(ByteWriter& out, const CGleisEnde& end) {
  out.I16(end.Neighbour);
  out.I16(end.NeighbourEnd);
  out.I16(0);
}

void WriteGeometry(ByteWriter& out, const CGleis& t) {
  for (float v : t.StartDirection) out.Float(v);
  for (std::int32_t v : t.StartPoint) out.I32(v);
  for (std::int32_t v : t.EndPoint) out.I32(v);
}

void WriteIdentity(ByteWriter& out, const CGleis& t) {
  out.I16(t.Number);
  WriteString8(out, t.Name);
  out.I32(t.Type);
}

void WriteCopyTail(ByteWriter& out, const CGleis& t) {
  WriteGeometry(out, t);
  WriteIdentity(out, t);
  WriteConnection(out, t.Ends[0]);
  WriteConnection(out, t.Ends[1]);
}

void WriteType11Tail(ByteWriter& out, const CGleis& t) {
  out.I32(0);
  WriteCopyTail(out, t);
  // A hand-built track may claim more ends than a track has; the record
  // then holds the ends there are, so it stays readable.
  const int ends = std::min<int>(t.EndCount, layout_format::kMaxEnds);
  out.I16(static_cast<std::int16_t>(ends - 2));
  for (int i = 2; i < ends; ++i) out.U32(t.Ends[static_cast<std::size_t>(i)].Neighbour != 0 ? 1u : 0u);
  for (std::uint32_t v : t.ExtraA) out.U32(v);
  for (std::int32_t v : t.ExtraC) out.I32(v);
  for (std::uint32_t v : t.ExtraB) out.U32(v);
  for (std::int32_t v : t.ExtraC) out.I32(v);
  for (int i = 2; i < ends; ++i) {
    const CGleisEnde& end = t.Ends[static_cast<std::size_t>(i)];
    if (end.Neighbour != 0) WriteConnection(out, end);
  }
  out.Float(t.ExtraD);
  out.Float(t.ExtraD);
  out.U16(t.EndValue3);
}

}  // namespace

bool IsTrackType(std::int32_t type) { return (type >= 1 && type <= 4) || (type >= 6 && type <= 9) || type == 11; }

void EndCountFromType(CGleis& track) {
  switch (track.Type) {
    case 2: track.EndCount = 1; break;
    case 1:
    case 6:
    case 7: track.EndCount = 2; break;
    case 3:
    case 8: track.EndCount = 3; break;
    case 4:
    case 9: track.EndCount = 4; break;
    default: break;
  }
}

void TypeFromEndCount(CGleis& track) {
  if (track.Type == 6 || track.Type == 11) return;
  const bool variant = track.Variant != 0;
  switch (track.EndCount) {
    case 1: track.Type = 2; break;
    case 2: track.Type = variant ? 7 : 1; break;
    case 3: track.Type = variant ? 8 : 3; break;
    case 4: track.Type = variant ? 9 : 4; break;
    default: break;
  }
}

int ReadTrack(ReadCursor& in, CGleis& t) {
  if (!in.Field("number").ReadI16(t.Number)) return 0;
  in.Number(t.Number);
  if (!ReadString8(in.Field("name"), t.Name) || !in.Field("type").ReadI32(t.Type)) return 0;
  if (!IsTrackType(t.Type)) {
    in.Reject(t.Type);
    Report("%s: Unbekannter Typ %d!\n", t.Name.c_str(), static_cast<int>(t.Type));
    return 0;
  }
  EndCountFromType(t);
  const std::int32_t type = t.Type;
  if (HasVariantInHead(type) && !in.Field("variant").ReadU32(t.Variant)) return 0;
  if (HasEnd3(type) && !(ReadConnection(in, t, 3) && in.Field("end value 4").ReadU16(t.EndValue3))) return 0;
  if (HasEnd2(type) && !(ReadConnection(in, t, 2) && in.Field("end value 3").ReadU16(t.EndValue2))) return 0;
  if (type == 11 &&
      !(ExpectLong(in.Field("reserved value"), 0) == 1 && ExpectShort(in.Field("reserved value"), 0) == 1 &&
        in.Field("end value 3").ReadU16(t.EndValue2))) {
    return 0;
  }
  if (!ReadGeometry(in, t) || !ExpectIdentity(in, t) || !ReadConnection(in, t, 0)) return 0;
  if (type != 2 && !ReadConnection(in, t, 1)) return 0;
  if (type == 9 && !(ExpectConnection(in, t, 2) && ExpectShort(in.Field("end value copy"), t.EndValue2) == 1 &&
                     ExpectCopyTail(in, t))) {
    return 0;
  }
  if (HasCopyB(type) && !(in.Field("variant").ReadU32(t.Variant) && ExpectCopyTail(in, t))) return 0;
  if (type == 6 && !ReadString8(in.Field("second name"), t.SecondName)) return 0;
  if (type == 11 && !ReadType11Tail(in, t)) return 0;
  return 1;
}

void WriteTrackRecord(ByteWriter& out, const CGleis& t) {
  const std::int32_t type = t.Type;
  WriteIdentity(out, t);
  if (HasVariantInHead(type)) out.U32(t.Variant);
  if (HasEnd3(type)) {
    WriteConnection(out, t.Ends[3]);
    out.U16(t.EndValue3);
  }
  if (HasEnd2(type)) {
    WriteConnection(out, t.Ends[2]);
    out.U16(t.EndValue2);
  }
  if (type == 11) {
    out.I32(0);
    out.I16(0);
    out.U16(t.EndValue2);
  }
  WriteGeometry(out, t);
  WriteIdentity(out, t);
  WriteConnection(out, t.Ends[0]);
  if (type != 2) WriteConnection(out, t.Ends[1]);
  if (type == 6) WriteString8(out, t.SecondName);
  if (type == 9) {
    WriteConnection(out, t.Ends[2]);
    out.U16(t.EndValue2);
    WriteCopyTail(out, t);
  }
  if (HasCopyB(type)) {
    out.U32(t.Variant);
    WriteCopyTail(out, t);
  }
  if (type == 11) WriteType11Tail(out, t);
}

void WriteTrack(ByteWriter& out, const CGleis& track) {
  if (track.Number != 0) WriteTrackRecord(out, track);
}

}  // namespace railfmt
