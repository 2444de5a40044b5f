// CRollmaterial: a rolling-stock file in memory, three models and an info
// block, and its reader and writer over memory.
//
// File layout: model 0, model 1, model 2 as three model streams of one
// object archive (archive/model.h), then the info block (roll_info.h).
//
// The classes of the archive are introduced by the first model that has
// parts. Every model up to and including that one is read and written as a
// first model; every model after it as a later model, with the IndexTag and
// FormatTag of that first model with parts. A model without parts
// introduces nothing, so with no parts anywhere all three are first models.
// The writer carries the tags it computed for its own output, not the tags
// that were read.
//
// Reading: the models are read in order until one fails (its reader has
// reported); Complete is 1 only when all three were read. The info block is
// read in every case, from wherever the models left the data. Short data:
// an info block that ends early is never accepted; after three good models
// it reports "Formatfehler!\n", after a failed model the fault is already
// reported. Bytes after a complete info block: "EOF not found: %s!\n" with
// the path, and the file still counts as read; writing drops them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/model.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"
#include "rollingstock/roll_info.h"
#include "rollingstock/rolling_stock_format.h"

namespace railfmt {

class CRollmaterial {
 public:
  std::array<CModell, rollingstock::kModelCount> Models;
  std::uint16_t Complete = 0;  // 1 once all three models were read
  CRollInfo Info;

  bool operator==(const CRollmaterial&) const = default;
};

// Reads a rolling-stock file from its bytes into a freshly constructed
// record; path names the file in "EOF not found: %s!\n". The stop offset is
// where the verdict fell: where the reading of a failed model ended, at the
// info block field the data could not supply, or behind the info block.
ReadResult ReadRollingStock(CRollmaterial& record, std::span<const std::uint8_t> bytes, std::string_view path);

// Appends the record in file form, with the tags its own models give. The
// models are expected to hold ElementCount parts each.
void EncodeRollingStock(const CRollmaterial& record, ByteWriter& out);

}  // namespace railfmt
