// The catalogue of words: reading gettext catalogues, choosing the language,
// filling sentences, and the German catalogue's own consistency.
#include "inspect/words.h"

#include "archive/model_kind.h"
#include "driver/batch_driver.h"
#include "inspect/verdict.h"
#include "layout/layout_kind.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "tests/support/data_table.h"

namespace railfmt::inspect {
namespace {

std::set<std::string> FieldsOf(std::string_view text) {
  std::set<std::string> names;
  for (std::size_t open = text.find('{'); open != std::string_view::npos; open = text.find('{', open + 1)) {
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    names.emplace(text.substr(open + 1, close - open - 1));
  }
  return names;
}

// An entry as tests/data/inspect/catalogues.tsv spells it.
std::string Spelt(const CatalogueEntry& entry) {
  std::string text = entry.context + "|" + entry.id + "|" + entry.id_plural;
  for (const std::string& form : entry.forms) text += "|" + form;
  return text;
}

TEST(Words, CataloguesAreReadAsGettextWritesThem) {
  for (const std::vector<std::string>& row : testing::DataRows("inspect/catalogues.tsv")) {
    SCOPED_TRACE(row.at(0));
    std::vector<CatalogueEntry> entries;
    EXPECT_EQ(ParseCatalogue(row.at(1), entries), row.at(2) == "read");
    if (row[2] != "read") continue;
    std::vector<std::string> spelt;
    for (const CatalogueEntry& entry : entries) spelt.push_back(Spelt(entry));
    EXPECT_EQ(spelt, std::vector<std::string>(row.begin() + 3, row.end()));
  }
}

TEST(Words, TheLanguageComesFromTheLocaleAsGettextChoosesIt) {
  for (const std::vector<std::string>& row : testing::DataRows("inspect/locales.tsv")) {
    std::array<const char*, 4> set{};  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    for (std::size_t i = 0; i < set.size(); ++i) set[i] = row.at(i) == "-" ? nullptr : row[i].c_str();
    const Language expected = row.at(4) == "de" ? Language::kGerman : Language::kEnglish;
    EXPECT_EQ(LanguageOfEnvironment(set[0], set[1], set[2], set[3]), expected)
        << row[0] << " " << row[1] << " " << row[2] << " " << row[3];
  }
  EXPECT_EQ(LanguageOfLocale("de-AT"), Language::kGerman);
  EXPECT_EQ(LanguageOfLocale("DE"), Language::kGerman);
}

TEST(Words, SentencesFillTheirFieldsAndNumbersFollowTheLanguage) {
  EXPECT_EQ(FillFields("kept {kept} of {total}", {{"total", "5"}, {"kept", "3"}}), "kept 3 of 5");
  EXPECT_EQ(FillFields("{a}{a} {unknown} {", {{"a", "x"}}), "xx {unknown} {");
  EXPECT_EQ(FillFields("{a}", {{"a", "{a}"}}), "{a}");
  const Words english(Language::kEnglish);
  EXPECT_EQ(english.SayN("{n} track", "{n} tracks", 1), "1 track");
  EXPECT_EQ(english.SayN("{n} track", "{n} tracks", 1234), "1,234 tracks");
  EXPECT_EQ(english.Say("a sentence no catalogue has"), "a sentence no catalogue has");
  EXPECT_EQ(Words(Language::kGerman).Say("a sentence no catalogue has {x}", {{"x", "1"}}),
            "a sentence no catalogue has 1");

  for (const std::vector<std::string>& row : testing::DataRows("inspect/numbers.tsv")) {
    EXPECT_EQ(english.Number(std::stoll(row.at(0))), row.at(1));
    EXPECT_EQ(Words(Language::kGerman).Number(std::stoll(row[0])), row.at(2));
  }
}

TEST(Words, TheGermanCatalogueIsWellFormedAndKeepsEveryField) {
  const std::vector<CatalogueEntry>& german = CatalogueOf(Language::kGerman);
  EXPECT_TRUE(CatalogueOf(Language::kEnglish).empty());
  for (const CatalogueEntry& entry : german) {
    SCOPED_TRACE(entry.id);
    // A form may leave {n} out ("ein Gleis"), but never adds or loses another field.
    std::set<std::string> fields = FieldsOf(entry.id);
    const std::set<std::string> plural = FieldsOf(entry.id_plural);
    fields.insert(plural.begin(), plural.end());
    fields.insert("n");
    ASSERT_EQ(entry.forms.size(), entry.id_plural.empty() ? 1u : 2u);
    for (const std::string& form : entry.forms) {
      std::set<std::string> in_form = FieldsOf(form);
      in_form.insert("n");
      EXPECT_EQ(in_form, fields) << form;
    }
  }
}

// Changes of one kind are told as one count, in the order first made; a
// change that says its own count ("{n} bytes dropped") is told with that.
TEST(Words, ChangesOfOneKindAreCountedTogether) {
  Normalisation changes;
  changes.Add(LayoutKind::kBridgePlaced, {{"track", 1}});
  changes.Add(ModelKind::kPrimitivesReordered, {{"part", 2}});
  changes.Add(LayoutKind::kBridgePlaced, {{"track", 4}});
  changes.Add(kTrailingBytesDropped, {{"n", 7}});
  changes.Add(LayoutKind::kBridgePlaced, {{"track", 9}});
  EXPECT_EQ(changes.Count(LayoutKind::kBridgePlaced), 3u);
  EXPECT_EQ(ChangesInShort(changes, Words(Language::kEnglish)),
            "3 bridges placed, 1 primitive list put in canonical order, 7 bytes after the end dropped");
}

}  // namespace
}  // namespace railfmt::inspect
