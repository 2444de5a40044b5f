// The recognition cascade: every entry is tried as rolling stock, model,
// construction drawing and layout, in that order, and the first kind whose
// reader succeeds is the only one written.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "driver/file_kind.h"

namespace railfmt {

// The kinds in the order they are tried.
const std::vector<const FileKind*>& CascadeKinds();

// Tries every kind on an entry's bytes; nullptr when none accepts it.
std::unique_ptr<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes);

// Tells every kind that the entry could not be read: each reader reports
// "Can't open %s!\n" with the name, as it would for a file it cannot open.
void ReportUnreadableEntry(std::string_view entry_name);

}  // namespace railfmt
