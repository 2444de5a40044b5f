// The damage tables (tests/data/damage/*.tsv): what each kind's reader makes
// of a sample with one byte inverted, or cut short at an offset.
//
// A table holds, for each sample of its kind, the first offset of every run
// of offsets whose damage gives the same report: the verdict, the field the
// reader blames (its records and field names, without their positions) and
// the reader's messages and mismatch lines with their numbers left out. So
// a table has a row for every field the samples hold, and a change of the
// readers shows as a diff of rows. make_damage_tables writes the tables;
// damage_test reads every row back through the readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/field_fault.h"
#include "driver/file_kind.h"

namespace railfmt::testing {

// One row: the damage, and what the reader made of it.
struct DamageRow {
  std::string sample;
  std::size_t offset = 0;
  // The byte written at the offset in hex (appended at the end of the
  // data), or "cut": the data ends at the offset.
  std::string bytes;
  bool accepted = false;
  std::size_t stop = 0;
  // FaultText of the reader's fault; empty when it accepted the bytes.
  std::string field;
  // The messages and the mismatch lines, each without its newline,
  // joined by "|".
  std::string messages;
  std::string mismatches;
};

// "cut short", "mismatch", "invalid".
const char* CauseName(FaultCause cause);

// "tracks/track[2]#7/name copy: mismatch, bytes 70-76": the records (with
// their positions and numbers), the field, the cause and the bytes.
std::string FaultText(const FieldFault& fault);

// The sample with the damage applied.
std::vector<std::uint8_t> Damaged(std::span<const std::uint8_t> sample, std::size_t offset, const std::string& bytes);

// What the reader of kind makes of the damage (the row's first three
// fields given); the reader's fault goes to fault when one is given.
DamageRow ReadDamaged(EntryKind kind, const std::string& sample, std::span<const std::uint8_t> sample_bytes,
                      std::size_t offset, const std::string& bytes, FieldFault* fault = nullptr);

// The table's rows for one sample.
std::vector<DamageRow> DamageRows(EntryKind kind, const std::string& sample, std::span<const std::uint8_t> bytes);

// The tables: their file under tests/data/, the kind and its samples.
struct DamageTable {
  const char* file;
  const char* kind_name;
  EntryKind kind;
  std::vector<const char*> samples;
};
const std::vector<DamageTable>& DamageTables();

// A row as a line of the table, and back.
std::string RowLine(const DamageRow& row);
DamageRow RowOf(const std::vector<std::string>& fields);

}  // namespace railfmt::testing
