#include "tests/support/damage_table.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"

namespace railfmt::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) {
    if (!out.empty()) out += '|';
    out += text.substr(0, text.find_last_not_of('\n') + 1);
  }
  return out;
}

// A text with its numbers left out: reports that differ only in numbers
// (a track's number, a value found) are one kind of report.
std::string WithoutDigits(const std::string& text) {
  std::string out;
  for (char c : text) {
    if ((c < '0' || c > '9') && c != '-') out += c;
  }
  return out;
}

// What makes two reports the same for the tables.
std::string ReportKey(const DamageRow& row, const FieldFault& fault) {
  std::string key = row.accepted ? "1" : "0";
  key += CauseName(fault.cause);
  for (std::size_t i = 0; i < fault.depth(); ++i) key += std::string("/") + fault.places[i].record;
  if (fault.field != nullptr) key += std::string("/") + fault.field;
  return key + "|" + WithoutDigits(row.messages) + "|" + WithoutDigits(row.mismatches);
}

// A table field as the table reader reads it back: "\xHH" for a byte that
// is not printable ASCII, "|" or "\".
std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\' && c != '\t') {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
      out += escaped;
    }
  }
  return out;
}

}  // namespace

const char* CauseName(FaultCause cause) {
  switch (cause) {
    case FaultCause::kShort: return "cut short";
    case FaultCause::kMismatch: return "mismatch";
    case FaultCause::kInvalid: return "invalid";
    case FaultCause::kNone: break;
  }
  return "none";
}

std::string FaultText(const FieldFault& fault) {
  if (!fault) return "";
  std::string text;
  for (std::size_t i = 0; i < fault.depth(); ++i) {
    const FieldPlace& place = fault.places[i];
    text += place.record;
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict)
    // about a literal put before a temporary string.
    if (place.index >= 0) text += '[' + std::to_string(place.index) + ']';
    if (place.has_number()) text += '#' + std::to_string(place.number);
    text += "/";
  }
  return text + fault.field + ": " + CauseName(fault.cause) + ", bytes " + std::to_string(fault.begin) + "-" +
         std::to_string(fault.end);
}

std::vector<std::uint8_t> Damaged(std::span<const std::uint8_t> sample, std::size_t offset, const std::string& bytes) {
  std::vector<std::uint8_t> damaged(sample.begin(), sample.end());
  if (bytes == "cut") {
    damaged.resize(offset);
    return damaged;
  }
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto value = static_cast<std::uint8_t>(std::stoul(bytes.substr(i, 2), nullptr, 16));
    if (offset + i / 2 == damaged.size()) damaged.push_back(0);
    damaged.at(offset + i / 2) = value;
  }
  return damaged;
}

DamageRow ReadDamaged(EntryKind kind, const std::string& sample, std::span<const std::uint8_t> sample_bytes,
                      std::size_t offset, const std::string& bytes, FieldFault* fault) {
  DamageRow row;
  row.sample = sample;
  row.offset = offset;
  row.bytes = bytes;
  const std::vector<std::uint8_t> damaged = Damaged(sample_bytes, offset, bytes);
  DiagnosticCapture captured;
  ReadResult result;
  row.accepted = TryKind(kind, damaged, sample, &result).has_value();
  row.stop = result.stop_offset;
  if (fault != nullptr) *fault = result.fault;
  row.field = row.accepted ? "" : FaultText(result.fault);
  row.messages = Joined(captured.messages());
  row.mismatches = Joined(Lines(captured.mismatches()));
  return row;
}

std::vector<DamageRow> DamageRows(EntryKind kind, const std::string& sample, std::span<const std::uint8_t> bytes) {
  std::vector<DamageRow> rows;
  // Inverted bytes (at the end: a zero byte appended), then cuts.
  for (const bool cut : {false, true}) {
    std::string previous;
    const std::size_t last = cut ? bytes.size() - 1 : bytes.size();
    for (std::size_t offset = 0; offset <= last && !bytes.empty(); ++offset) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02x",
                    offset < bytes.size() ? static_cast<unsigned>(~bytes[offset] & 0xFFu) : 0u);
      FieldFault fault;
      DamageRow row = ReadDamaged(kind, sample, bytes, offset, cut ? "cut" : hex, &fault);
      std::string key = ReportKey(row, fault);
      if (key != previous) rows.push_back(std::move(row));
      previous = std::move(key);
    }
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const DamageRow& a, const DamageRow& b) { return a.offset < b.offset; });
  return rows;
}

const std::vector<DamageTable>& DamageTables() {
  static const std::vector<DamageTable> tables = {
      {"damage/rolling_stock.tsv",
       "rolling stock",
       EntryKind::kRollingStock,
       {"stock_all_parts.rol", "stock_empty_first.rol", "stock_no_parts.rol"}},
      {"damage/model.tsv", "model", EntryKind::kModel, {"empty.mod", "every_kind.mod", "reordered.bak", "station.mod"}},
      {"damage/construction.tsv",
       "construction drawing",
       EntryKind::kConstruction,
       {"drawing_empty.kon", "drawing_full.kon"}},
      {"damage/layout.tsv",
       "layout",
       EntryKind::kLayout,
       {"anlage_bruecken.anl", "anlage_doppelt.anl", "anlage_gleistypen.anl"}},
  };
  return tables;
}

std::string RowLine(const DamageRow& row) {
  return row.sample + "\t" + std::to_string(row.offset) + "\t" + row.bytes + "\t" + (row.accepted ? "1" : "0") + "\t" +
         std::to_string(row.stop) + "\t" + Escaped(row.field) + "\t" + Escaped(row.messages) + "\t" +
         Escaped(row.mismatches);
}

DamageRow RowOf(const std::vector<std::string>& fields) {
  std::vector<std::string> f = fields;
  f.resize(8);
  return {f[0], std::stoul(f[1]), f[2], f[3] == "1", std::stoul(f[4]), f[5], f[6], f[7]};
}

}  // namespace railfmt::testing
