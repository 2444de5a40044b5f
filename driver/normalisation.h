// Normalisation: what writing a file in normal form changes, change by
// change, in words for people.
//
// Each kind says which changes it makes (ChangeWords: a short sentence with
// a count, "2 bridges placed", and one sentence per change, "bridge placed on
// track 3 at (120, 40, 0)") and records every change it made with the fields
// its sentence names. The sentences are English and name their fields in
// braces; whoever shows them to a person looks them up in the catalogue of
// words (inspect/words.h) and fills the fields in. The batch only counts on
// a change list being empty when nothing changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "driver/words_for_people.h"

namespace railfmt {

struct ChangeWords {
  const char* id;      // "bridge_placed": names the change in data (JSON)
  const char* one;     // "{n} bridge placed"
  const char* many;    // "{n} bridges placed"
  const char* detail;  // "bridge {name} placed on track {track} at ({x}, {y}, {z})"
};

constexpr ChangeWords ChangeSentences(const char* id, PluralWords count, const char* detail) {
  return {id, count.one, count.many, detail};
}

// A field of a change's sentence: a number, or a text of the file (a name).
struct ChangeField {
  const char* name;
  std::variant<std::int64_t, std::string> value;
};

struct Change {
  const ChangeWords* words = nullptr;
  std::vector<ChangeField> fields;
};

class Normalisation {
 public:
  void Add(const ChangeWords& words, std::initializer_list<ChangeField> fields) {
    changes_.push_back({&words, fields});
  }
  void Append(const Normalisation& other) {
    changes_.insert(changes_.end(), other.changes_.begin(), other.changes_.end());
  }

  const std::vector<Change>& changes() const { return changes_; }
  bool empty() const { return changes_.empty(); }
  // How many changes of this kind were made.
  std::size_t Count(const ChangeWords& words) const;
  // Each kind of change made, with its count, in the order first made.
  std::vector<std::pair<const ChangeWords*, std::size_t>> Counts() const;

 private:
  std::vector<Change> changes_;
};

}  // namespace railfmt
