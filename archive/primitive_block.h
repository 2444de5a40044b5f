// The primitive index block of a model part: a list of "CObIndex" objects
// that connect the part's points into points, lines, triangles, quads and
// polygons.
//
// Index object (8 bytes): Value (int32), Marker (int32). Marker 0 makes it a
// vertex object whose vertex index is the low 16 bits of Value, signed;
// Marker 1 makes it a mode marker (code,1) with the mode code in Value.
// In a stream the caller writes the list count n and the "CObIndex"
// introduction or tag; then come the n objects with the separator tag
// between each two (n - 1 tags, none after the last).
//
// Grammar, strictly in this order (runs are maximal sequences of vertex
// objects):
//   (0,1) s vertices          single points
//   (1,1) j vertices, j even   lines
//   (4,1) k vertices, 3 | k    triangles
//   (7,1) q vertices, 4 | q    quads
//   (9,1) then polygons, each a run of one or more vertices closed by (9,1),
//   and a lone (9,1) that ends the block; objects after it are ignored.
// The canonical form the writer produces is exactly this order, with every
// primitive in the section of its vertex count and polygons of more than
// four vertices only; a polygon of four or fewer vertices that a file holds
// in the polygon section is written among the primitives of its size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

class CModellTeil;

// One primitive: VertexCount vertex indices into its part's point list.
// Positions 0 to 3 stand in Vertex, positions 4 and up in ExtraVertices
// (position k at ExtraVertices[k - 4]), which is empty for four or fewer.
struct CPrimitiv {
  std::int32_t VertexCount = 0;
  std::array<std::int16_t, 4> Vertex{};
  std::vector<std::int16_t> ExtraVertices;

  // The vertex at position k (0 <= k < VertexCount).
  std::int16_t VertexAt(std::int32_t k) const {
    return k < 4 ? Vertex[static_cast<std::size_t>(k)] : ExtraVertices[static_cast<std::size_t>(k - 4)];
  }
  bool operator==(const CPrimitiv&) const = default;
};

// A primitive with the given vertices in order.
CPrimitiv MakePrimitive(std::span<const std::int16_t> vertices);
CPrimitiv MakePrimitive(std::initializer_list<std::int16_t> vertices);

// Reads a block of count index objects (count taken as signed; 0 or less
// reads none) with separator between them into the part's primitives, and
// checks every vertex index against the part's PointCount. Returns 1, or 0
// after reporting the first fault:
//   "Falscher Trenner1: %x!\n"  wrong (or short) separator; the expected tag
//                               sign-extended (0x8003 shows as ffff8003)
//   "Vert(c,1) nicht gefunden!\n", "2-Vert nicht OK!\n", "3-Vert nicht OK!\n",
//   "4-Vert nicht OK!\n", "Ende-Vert(9,1) nicht gefunden!\n"  grammar
//   "Falscher Punkt: %d, %d!\n"  a vertex index not below PointCount; the
//                               index first, PointCount second
// An object the data cannot supply in full is neither a vertex object nor a
// marker, so a truncated block is never accepted. A negative vertex index
// passes the check. The part's primitive list must still be empty; it is
// installed only after the grammar holds (and stays if the vertex check
// fails; the caller then gives up the whole object).
int ReadPrimitives(CModellTeil& part, ReadCursor& in, std::int16_t count, std::uint16_t separator);

// Writes the part's primitives in canonical order: exactly
// PrimitiveObjectCount() objects with separator between each two.
void WritePrimitives(const CModellTeil& part, ByteWriter& out, std::uint16_t separator);

}  // namespace railfmt
