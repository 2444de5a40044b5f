// Rescue: gives back what a damaged file still holds, as a file of its kind
// that the planning program and railfmt accept.
//
// For bytes that no kind accepts, RescueFile takes the kind the file most
// likely is (verdict.h, or the kind asked for), runs that kind's reader,
// keeps every record that reads whole before the damage and completes the
// rest as a new, empty file of the kind has it (rescue_records.h). The
// result is written in normal form, and it is proven before it is handed
// out: the batch itself, run over the rescued bytes alone under the rescued
// name, must recognise them as that kind and leave them exactly as they are.
// Otherwise no bytes are given and the reason is said.
//
// The rescued name is the entry's base name with ".rescued." and the kind's
// extension ("anlage.anl" gives "anlage.rescued.anl"), never the entry's
// own: the original is never changed. Writing is the front's work.
//
// Everything a person reads comes from the catalogue in the language of the
// Words given.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/field_fault.h"
#include "driver/file_kind.h"
#include "driver/normalisation.h"
#include "inspect/json_values.h"
#include "inspect/rescue_records.h"
#include "inspect/words.h"

namespace railfmt::inspect {

enum class RescueOutcome {
  kRescued,    // bytes, proven
  kNeedsNone,  // a kind accepts the file as it is
  kNothing,    // nothing to rescue: not a planning file, or no record before the damage
  kNotProven,  // the rescued bytes would not pass railfmt; nothing is given
};

// "rescued", "needs_none", "nothing", "not_proven".
const char* RescueOutcomeName(RescueOutcome outcome);

struct Rescue {
  RescueOutcome outcome = RescueOutcome::kNothing;
  // The kind rescued as (kNeedsNone: the kind that accepts the file); kNone
  // when the file is no planning file.
  EntryKind kind = EntryKind::kNone;
  // Why that kind: the judgement of the most likely kind, or "as asked".
  std::string kind_why;
  std::string rescued_name;
  std::vector<std::uint8_t> bytes;  // kRescued only
  // What came back and what did not.
  std::vector<KeptRecords> kept;
  std::vector<LostPart> lost;
  // Rolling stock: the name its info block stores now, the rescued file's.
  std::string new_name;
  // Where the reader of the kind stopped, and that in words.
  FieldFault fault;
  std::string damage;
  // What writing the kept records in normal form changed.
  Normalisation changes;
  // Why nothing was rescued; empty for kRescued.
  std::string reason;
  // The outcome in words, a line each: the verdict first, then what came
  // back, what was lost and where the damage is.
  std::vector<std::string> lines;
};

// The rescue of a file's bytes, read as entry_name. as: the kind to rescue
// it as, kNone for the most likely one. A file railfmt reads needs no
// rescue, unless as names another kind, whose reader rejects it.
Rescue RescueFile(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words,
                  EntryKind as = EntryKind::kNone);

// "anlage.rescued.anl": the entry's base name (leading dots left out, which
// would hide it from railfmt), ".rescued." and the kind's extension.
std::string RescuedName(std::string_view entry_name, EntryKind kind);

// The kind an identifier ("layout", "rolling_stock") or an extension
// ("anl", "rol") names, in any letter case; kNone for any other text.
EntryKind KindNamed(std::string_view name);

// The lines joined into one sentence with "; ".
std::string RescueSummary(const Rescue& rescue);

// The rescue as JSON:
//   {"entry_name", "outcome", "kind", "kind_why", "rescued_name", "size",
//    "kept": [{"records", "kept", "total" (null: unknown)}],
//    "lost": [{"part", "count"}], "new_name" (rolling stock),
//    "damage": {"at", "text", "field"}, "changes": [...], "reason",
//    "summary", "lines": [...]}
// Absent members: "kind" is null for no planning file; "rescued_name" and
// "size" only with bytes; "damage" only when a reader stopped.
Json RescueJson(const Rescue& rescue, std::string_view entry_name, const Words& words);

}  // namespace railfmt::inspect
