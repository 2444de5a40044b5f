// Marks English words that the format code gives people to read (the
// names of fields and records a reader blames, the sentences of a change)
// so that the catalogue of words finds them: scripts/catalogue_sentences.sh
// extracts the texts of these calls, and of Field, Within and Reject, for
// translation. The texts stay as they are; the inspection library looks
// them up in the reader's language when it shows them.
#pragma once

namespace railfmt {

constexpr const char* ForPeople(const char* english) { return english; }

struct PluralWords {
  const char* one;   // "{n} bridge placed"
  const char* many;  // "{n} bridges placed"
};
constexpr PluralWords ForPeopleN(const char* one, const char* many) { return {one, many}; }

}  // namespace railfmt
