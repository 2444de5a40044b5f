// The catalogue of words: reading gettext catalogues, choosing the language,
// filling sentences, and the German catalogue's own consistency.
#include "inspect/words.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

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

TEST(Words, CataloguesAreReadAsGettextWritesThem) {
  struct Case {
    const char* what;
    const char* po;
    bool well_formed;
    std::vector<CatalogueEntry> entries;
  };
  const Case cases[] = {
      {"header, continuation lines and escapes",
       "msgid \"\"\nmsgstr \"Language: de\\n\"\n\n#: inspect/x.cpp:1\nmsgid \"a \\\"b\\\"\"\n\"c\\n\"\nmsgstr \"d\"\n",
       true,
       {{"", "a \"b\"c\n", "", {"d"}}}},
      {"plural forms and a context",
       "msgid \"one\"\nmsgid_plural \"many\"\nmsgstr[0] \"eins\"\nmsgstr[1] \"viele\"\n\n"
       "msgctxt \"kind\"\nmsgid \"model\"\nmsgstr \"Modell\"\n",
       true,
       {{"", "one", "many", {"eins", "viele"}}, {"kind", "model", "", {"Modell"}}}},
      {"fuzzy and untranslated entries are left out; entries need no blank line between them",
       "#, fuzzy\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgid \"c\"\nmsgstr \"\"\nmsgid \"e\"\nmsgstr \"f\"\r\n",
       true,
       {{"", "e", "", {"f"}}}},
      {"an obsolete entry is a comment", "#~ msgid \"a\"\n#~ msgstr \"b\"\n", true, {}},
      {"a plural form out of order", "msgid \"a\"\nmsgid_plural \"b\"\nmsgstr[1] \"c\"\n", false, {}},
      {"an unknown keyword", "msgid \"a\"\nmsgtext \"b\"\n", false, {}},
      {"an unclosed string", "msgid \"a\nmsgstr \"b\"\n", false, {}},
      {"an unknown escape", "msgid \"a\\q\"\nmsgstr \"b\"\n", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<CatalogueEntry> entries;
    EXPECT_EQ(ParseCatalogue(c.po, entries), c.well_formed);
    if (!c.well_formed) continue;
    ASSERT_EQ(entries.size(), c.entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].context, c.entries[i].context);
      EXPECT_EQ(entries[i].id, c.entries[i].id);
      EXPECT_EQ(entries[i].id_plural, c.entries[i].id_plural);
      EXPECT_EQ(entries[i].forms, c.entries[i].forms);
    }
  }
}

TEST(Words, TheLanguageComesFromTheLocaleAsGettextChoosesIt) {
  struct Case {
    const char* language;
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    Language expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", Language::kGerman},
      {nullptr, nullptr, nullptr, "de_AT@euro", Language::kGerman},
      {nullptr, nullptr, nullptr, "dea_XX", Language::kEnglish},
      {nullptr, nullptr, nullptr, "en_GB.UTF-8", Language::kEnglish},
      {nullptr, nullptr, nullptr, nullptr, Language::kEnglish},
      {nullptr, "C.UTF-8", nullptr, "de_DE.UTF-8", Language::kEnglish},
      {nullptr, "", "de_CH.UTF-8", "en_US.UTF-8", Language::kGerman},
      {"de:en", nullptr, nullptr, "en_US.UTF-8", Language::kGerman},
      {"en:de", nullptr, nullptr, "de_DE.UTF-8", Language::kEnglish},
      {"de", "C", nullptr, nullptr, Language::kEnglish},
      {"de", nullptr, nullptr, nullptr, Language::kEnglish},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.lang != nullptr ? c.lang : "(unset)"));
    EXPECT_EQ(LanguageOfEnvironment(c.language, c.lc_all, c.lc_messages, c.lang), c.expected);
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

  struct Case {
    std::int64_t n;
    const char* english;
    const char* german;
  };
  const Case cases[] = {
      {0, "0", "0"},
      {999, "999", "999"},
      {1000, "1,000", "1.000"},
      {-1234567, "-1,234,567", "-1.234.567"},
      {std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775,808", "-9.223.372.036.854.775.808"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(english.Number(c.n), c.english);
    EXPECT_EQ(Words(Language::kGerman).Number(c.n), c.german);
  }
}

TEST(Words, TheGermanCatalogueIsWellFormedAndKeepsEveryField) {
  const std::vector<CatalogueEntry>& german = CatalogueOf(Language::kGerman);
  EXPECT_TRUE(CatalogueOf(Language::kEnglish).empty());
  for (const CatalogueEntry& entry : german) {
    SCOPED_TRACE(entry.id);
    std::set<std::string> fields = FieldsOf(entry.id);
    const std::set<std::string> plural = FieldsOf(entry.id_plural);
    fields.insert(plural.begin(), plural.end());
    ASSERT_EQ(entry.forms.size(), entry.id_plural.empty() ? 1u : 2u);
    for (const std::string& form : entry.forms) {
      // A form may leave {n} out ("ein Gleis"), but never adds or loses another field.
      std::set<std::string> in_form = FieldsOf(form);
      in_form.insert("n");
      std::set<std::string> expected = fields;
      expected.insert("n");
      EXPECT_EQ(in_form, expected) << form;
    }
  }
}

}  // namespace
}  // namespace railfmt::inspect
