// Words for people, in English and German, from one catalogue.
//
// Every sentence a person reads (railinspect's reports, the web page) is
// written in English in the code and looked up in the catalogue of the
// reader's language: po/de.po, a gettext catalogue compiled into the
// library, whose msgids are the English sentences. A sentence the catalogue
// does not translate stays English. The messages the format itself prints
// ("Formatfehler 3 in %s!", "Gleis Nr. %d fehlerhaft!") are data, never
// looked up.
//
// Sentences name their variable parts in braces, so that a translation may
// put them in another order: Say("kept {kept} of {total} tracks",
// {{"kept", "3"}, {"total", "5"}}). A brace that names no field given is
// left as it stands. SayN chooses between a singular and a plural sentence
// by a count, as gettext's msgid_plural does (both languages: one form for
// 1, the other for every other count), and gives the count as {n}, written
// as the language writes numbers.
//
// scripts/catalogue_audit.sh extracts every sentence from the calls of Say,
// SayN and Word (xgettext) and fails when po/de.po lacks one.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace railfmt::inspect {

enum class Language { kEnglish, kGerman };

// The language a locale name asks for: "de", "de_DE.UTF-8", "de-AT" and
// the like are German; anything else, empty included, English.
Language LanguageOfLocale(std::string_view locale);

// The language of a POSIX environment: the first of LANGUAGE (a list
// separated by ':'), LC_ALL, LC_MESSAGES and LANG that is set and not
// empty, as gettext chooses; "C" and "POSIX" mean English.
Language LanguageOfEnvironment(const char* language, const char* lc_all, const char* lc_messages, const char* lang);

// "en" or "de".
const char* LanguageCode(Language language);

struct Field {
  std::string_view name;
  std::string value;
};

class Words {
 public:
  explicit Words(Language language = Language::kEnglish) : language_(language) {}
  Language language() const { return language_; }

  // The sentence in this language.
  std::string_view Word(std::string_view english) const;
  // The sentence with its fields filled in.
  std::string Say(std::string_view english, std::initializer_list<Field> fields = {}) const;
  // The singular or plural sentence for n, with {n} and the fields filled in.
  std::string SayN(std::string_view one, std::string_view many, std::int64_t n,
                   std::initializer_list<Field> fields = {}) const;
  // An integer as the language writes it: 12,345 in English, 12.345 in
  // German (as the browsers' number formatting does it).
  std::string Number(std::int64_t n) const;

 private:
  Language language_;
};

// Fills "{name}" with the fields' values; used by Say, open for tests.
std::string FillFields(std::string_view text, std::initializer_list<Field> fields);
std::string FillFields(std::string_view text, std::span<const Field> fields);

// A translation of the German catalogue: msgid (with its plural, if any)
// and the forms.
struct CatalogueEntry {
  std::string context;  // msgctxt, empty when none
  std::string id;
  std::string id_plural;
  std::vector<std::string> forms;  // msgstr, or msgstr[0], msgstr[1], ...
};

// Reads the entries of a gettext catalogue (.po text). Entries marked
// fuzzy, the header (empty msgid) and entries without a translation are
// left out. Returns false for text that is not a catalogue; entries holds
// those read up to the fault.
bool ParseCatalogue(std::string_view po, std::vector<CatalogueEntry>& entries);

// Every translated entry of a language's catalogue, sorted by context and
// id (English has none).
const std::vector<CatalogueEntry>& CatalogueOf(Language language);

}  // namespace railfmt::inspect
