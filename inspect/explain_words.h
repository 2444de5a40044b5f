// The words the explanation table is written with: numbers, class tags,
// quoted file texts and the common sentences of a failed check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "inspect/explain.h"

namespace railfmt::inspect::explain {

std::string N(std::size_t value);
// A class tag from the signed 16-bit number a mismatch line prints
// ("-32767" gives "0x8001"), or from its value.
std::string Tag(std::string_view signed_decimal);
std::string Tag(unsigned value);
// A text of the file in double quotes, bytes outside printable ASCII as \xNN.
std::string Quote(std::string_view bytes);
// The 16-bit value stored at offset (0 when the data ends before it).
unsigned U16At(const Context& context, std::size_t offset);

// The data ran out at the stop, where field (width bytes, 0: unknown) starts.
Finding DataEnds(const Context& context, const std::string& field, std::size_t width = 0);

// The common sentence of a failed check of a field of width bytes:
// "FIELD at byte N must be EXPECTED, found FOUND" after a mismatch line (the
// field ends at the stop), "the data ends ..." when there is none: such a
// check only fails silently when the data ran out.
// must replaces the mismatch line's expected value where the rule says more
// ("must repeat the part count (3)").
Finding CheckedField(const Context& context, const std::string& field, std::size_t width, bool tags = false,
                     const std::string& must = "");

}  // namespace railfmt::inspect::explain
