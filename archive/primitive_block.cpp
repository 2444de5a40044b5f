#include "archive/primitive_block.h"

#include <algorithm>

#include "archive/archive_format.h"
#include "archive/model_part.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

using archive::kLinesMode;
using archive::kModeMarker;
using archive::kPointsMode;
using archive::kPolygonMode;
using archive::kQuadsMode;
using archive::kTrianglesMode;
using archive::kVertexObject;

struct IndexObject {
  std::int32_t Value = 0;
  std::int32_t Marker = 0;
  bool delivered = false;  // false: the data ran out inside the object
  std::size_t offset = 0;  // where it stands in the file
};

std::int16_t VertexIndexOf(std::int32_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

// Walks the objects read. Positions past the last object, and objects the
// data could not supply, are neither vertex objects nor markers.
class BlockWalk {
 public:
  explicit BlockWalk(const std::vector<IndexObject>& objects) : objects_(objects) {}

  bool IsVertex(std::size_t at) const {
    return at < objects_.size() && objects_[at].delivered && objects_[at].Marker == kVertexObject;
  }
  bool IsMarker(std::size_t at, std::int32_t code) const {
    return at < objects_.size() && objects_[at].delivered && objects_[at].Marker == kModeMarker &&
           objects_[at].Value == code;
  }
  // Length of the run of vertex objects starting at `at`.
  std::size_t RunFrom(std::size_t at) const {
    std::size_t end = at;
    while (IsVertex(end)) ++end;
    return end - at;
  }
  std::int16_t VertexIndex(std::size_t at) const { return VertexIndexOf(objects_[at].Value); }
  // The bytes of the objects [first, last), or the place after the last
  // object when first is past it.
  std::size_t Begin(std::size_t first) const { return first < objects_.size() ? objects_[first].offset : End(); }
  std::size_t EndOf(std::size_t last) const {
    if (last == 0) return Begin(0);
    return last <= objects_.size() ? objects_[last - 1].offset + archive::kIndexObjectSize : End();
  }
  std::size_t End() const { return objects_.empty() ? end_ : objects_.back().offset + archive::kIndexObjectSize; }
  void SetEnd(std::size_t end) { end_ = end; }

 private:
  const std::vector<IndexObject>& objects_;
  std::size_t end_ = 0;
};

struct Run {
  std::size_t start = 0;
  std::size_t length = 0;
};

// The grammar's result: where each section's vertices stand.
struct BlockLayout {
  Run points, lines, triangles, quads;
  std::vector<Run> polygons;
};

// Returns false after reporting the first grammar fault; the cursor
// records the object (or run of vertex objects) that breaks the rule.
bool ParseGrammar(const BlockWalk& walk, BlockLayout& layout, ReadCursor& in) {
  struct Section {
    std::int32_t code;
    std::size_t group;
    const char* missing;
    const char* marker;
    const char* uneven;
    const char* vertices;
    Run BlockLayout::*run;
  };
  static constexpr Section kSections[] = {
      {kPointsMode, 1, "Vert(0,1) nicht gefunden!\n", ForPeople("points marker"), nullptr, nullptr,
       &BlockLayout::points},
      {kLinesMode, 2, "Vert(1,1) nicht gefunden!\n", ForPeople("lines marker"), "2-Vert nicht OK!\n",
       ForPeople("line vertices"), &BlockLayout::lines},
      {kTrianglesMode, 3, "Vert(4,1) nicht gefunden!\n", ForPeople("triangles marker"), "3-Vert nicht OK!\n",
       ForPeople("triangle vertices"), &BlockLayout::triangles},
      {kQuadsMode, 4, "Vert(7,1) nicht gefunden!\n", ForPeople("quads marker"), "4-Vert nicht OK!\n",
       ForPeople("quad vertices"), &BlockLayout::quads},
  };
  const auto fault = [&](std::size_t first, std::size_t last, const char* field, const char* message) {
    in.Reject(walk.Begin(first), first < last ? walk.EndOf(last) : walk.Begin(first), field);
    Report("%s", message);
    return false;
  };
  std::size_t at = 0;
  for (const Section& section : kSections) {
    if (!walk.IsMarker(at, section.code)) return fault(at, at + 1, section.marker, section.missing);
    ++at;
    Run& run = layout.*section.run;
    run = {at, walk.RunFrom(at)};
    if (run.length % section.group != 0) return fault(at, at + run.length, section.vertices, section.uneven);
    at += run.length;
  }
  if (!walk.IsMarker(at, kPolygonMode))
    return fault(at, at + 1, ForPeople("polygon marker"), "Vert(9,1) nicht gefunden!\n");
  ++at;
  while (walk.IsVertex(at)) {
    const Run polygon{at, walk.RunFrom(at)};
    at += polygon.length;
    if (!walk.IsMarker(at, kPolygonMode))
      return fault(at, at + 1, ForPeople("polygon marker"), "Vert(9,1) nicht gefunden!\n");
    ++at;
    layout.polygons.push_back(polygon);
  }
  if (!walk.IsMarker(at, kPolygonMode))
    return fault(at, at + 1, ForPeople("end marker"), "Ende-Vert(9,1) nicht gefunden!\n");
  return true;
}

void AppendPrimitives(const BlockWalk& walk, const Run& run, std::size_t group, std::vector<CPrimitiv>& out) {
  std::vector<std::int16_t> vertices(group);
  for (std::size_t first = run.start; first + group <= run.start + run.length; first += group) {
    for (std::size_t k = 0; k < group; ++k) vertices[k] = walk.VertexIndex(first + k);
    out.push_back(MakePrimitive(vertices));
  }
}

void WriteObject(ByteWriter& out, std::int32_t value, std::int32_t marker, bool& first, std::uint16_t separator) {
  if (!first) out.U16(separator);
  first = false;
  out.I32(value);
  out.I32(marker);
}

}  // namespace

CPrimitiv MakePrimitive(std::span<const std::int16_t> vertices) {
  CPrimitiv primitive;
  primitive.VertexCount = static_cast<std::int32_t>(vertices.size());
  for (std::size_t k = 0; k < vertices.size(); ++k) {
    if (k < 4) {
      primitive.Vertex[k] = vertices[k];
    } else {
      primitive.ExtraVertices.push_back(vertices[k]);
    }
  }
  return primitive;
}

CPrimitiv MakePrimitive(std::initializer_list<std::int16_t> vertices) {
  return MakePrimitive(std::span<const std::int16_t>(vertices.begin(), vertices.size()));
}

int ReadPrimitives(CModellTeil& part, ReadCursor& in, std::int16_t count, std::uint16_t separator) {
  std::vector<IndexObject> objects;
  ReserveAnnounced(objects, count, in, archive::kIndexObjectSize);
  for (int i = 0; i < count; ++i) {
    const auto place = in.Within("index object", i);
    IndexObject& object = objects.emplace_back();
    object.offset = in.offset();
    ReadCursor record;
    if (in.Field("index object").ReadRecord(archive::kIndexObjectSize, record)) {
      record.ReadI32(object.Value);
      record.ReadI32(object.Marker);
      object.delivered = true;
    }
    if (i + 1 < count && !ExpectShort(in.Field("separator"), separator)) {
      Report("Falscher Trenner1: %x!\n", archive::SignExtendedTag(separator));
      return 0;
    }
  }

  BlockWalk walk(objects);
  walk.SetEnd(in.offset());
  BlockLayout layout;
  if (!ParseGrammar(walk, layout, in)) return 0;

  std::vector<CPrimitiv> primitives;
  primitives.reserve(layout.points.length + layout.lines.length / 2 + layout.triangles.length / 3 +
                     layout.quads.length / 4 + layout.polygons.size());
  AppendPrimitives(walk, layout.points, 1, primitives);
  AppendPrimitives(walk, layout.lines, 2, primitives);
  AppendPrimitives(walk, layout.triangles, 3, primitives);
  AppendPrimitives(walk, layout.quads, 4, primitives);
  for (const Run& polygon : layout.polygons) AppendPrimitives(walk, polygon, polygon.length, primitives);
  part.SetPrimitives(std::move(primitives));

  // The primitives stand in the order of their vertex objects, so the
  // objects are checked in that order.
  std::vector<Run> runs = {layout.points, layout.lines, layout.triangles, layout.quads};
  runs.insert(runs.end(), layout.polygons.begin(), layout.polygons.end());
  for (const Run& run : runs) {
    for (std::size_t at = run.start; at < run.start + run.length; ++at) {
      const std::int16_t vertex = walk.VertexIndex(at);
      if (vertex >= part.PointCount) {
        in.Reject(objects[at].offset, objects[at].offset + archive::kIndexObjectSize, "vertex index", vertex,
                  part.PointCount);
        Report("Falscher Punkt: %d, %d!\n", static_cast<int>(vertex), static_cast<int>(part.PointCount));
        return 0;
      }
    }
  }
  return 1;
}

void WritePrimitives(const CModellTeil& part, ByteWriter& out, std::uint16_t separator) {
  bool first = true;
  const auto write_section = [&](std::int32_t mode, std::int32_t vertex_count) {
    WriteObject(out, mode, kModeMarker, first, separator);
    for (const CPrimitiv& primitive : part.Primitives) {
      if (primitive.VertexCount != vertex_count) continue;
      for (std::int32_t k = 0; k < vertex_count; ++k) {
        WriteObject(out, primitive.VertexAt(k), kVertexObject, first, separator);
      }
    }
  };
  write_section(kPointsMode, 1);
  write_section(kLinesMode, 2);
  write_section(kTrianglesMode, 3);
  write_section(kQuadsMode, 4);
  WriteObject(out, kPolygonMode, kModeMarker, first, separator);
  for (const CPrimitiv& primitive : part.Primitives) {
    if (primitive.VertexCount <= 4) continue;
    for (std::int32_t k = 0; k < primitive.VertexCount; ++k) {
      WriteObject(out, primitive.VertexAt(k), kVertexObject, first, separator);
    }
    WriteObject(out, kPolygonMode, kModeMarker, first, separator);
  }
  WriteObject(out, kPolygonMode, kModeMarker, first, separator);
}

}  // namespace railfmt
