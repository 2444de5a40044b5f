#include "inspect/words.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <tuple>

namespace railfmt::inspect {

// po/de.po as it stands in the source tree, embedded by the build.
extern const char kGermanCatalogue[];
extern const std::size_t kGermanCatalogueSize;

namespace {

bool StartsWithWord(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
         });
}

// A quoted string of a catalogue line, its escapes resolved.
bool Unquote(std::string_view text, std::string& out) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  text = text.substr(1, text.size() - 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') return false;
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

// One entry as it is being read.
class EntryReader {
 public:
  explicit EntryReader(std::vector<CatalogueEntry>& entries) : entries_(entries) {}

  bool Line(std::string_view line) {
    if (line.empty() || line.front() == '#') {
      if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos) fuzzy_ = true;
      if (line.empty()) End();
      return true;
    }
    if (line.front() == '"') return target_ != nullptr && Unquote(line, *target_);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view keyword = line.substr(0, space);
    if ((keyword == "msgctxt" || keyword == "msgid") && has_translation_) End();
    if (keyword == "msgctxt") {
      target_ = &entry_.context;
    } else if (keyword == "msgid") {
      target_ = &entry_.id;
    } else if (keyword == "msgid_plural") {
      target_ = &entry_.id_plural;
    } else if (keyword == "msgstr" || (keyword.starts_with("msgstr[") && keyword.ends_with("]"))) {
      const std::size_t form = keyword == "msgstr" ? 0 : std::strtoul(std::string(keyword.substr(7)).c_str(), nullptr, 10);
      if (form != entry_.forms.size()) return false;
      target_ = &entry_.forms.emplace_back();
      has_translation_ = true;
    } else {
      return false;
    }
    return Unquote(line.substr(space + 1), *target_);
  }

  void End() {
    const bool translated = !entry_.forms.empty() &&
                            std::none_of(entry_.forms.begin(), entry_.forms.end(), [](const std::string& f) { return f.empty(); });
    if (has_translation_ && !fuzzy_ && !entry_.id.empty() && translated) entries_.push_back(std::move(entry_));
    entry_ = CatalogueEntry();
    target_ = nullptr;
    has_translation_ = false;
    fuzzy_ = false;
  }

 private:
  std::vector<CatalogueEntry>& entries_;
  CatalogueEntry entry_;
  std::string* target_ = nullptr;
  bool has_translation_ = false;
  bool fuzzy_ = false;
};

std::vector<CatalogueEntry> LoadGerman() {
  std::vector<CatalogueEntry> entries;
  ParseCatalogue({kGermanCatalogue, kGermanCatalogueSize}, entries);
  std::sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
    return std::tie(a.context, a.id) < std::tie(b.context, b.id);
  });
  return entries;
}

const CatalogueEntry* Find(Language language, std::string_view id) {
  const std::vector<CatalogueEntry>& entries = CatalogueOf(language);
  const auto it = std::lower_bound(entries.begin(), entries.end(), id, [](const CatalogueEntry& e, std::string_view key) {
    return e.context.empty() ? e.id < key : false;
  });
  return it != entries.end() && it->context.empty() && it->id == id ? &*it : nullptr;
}

std::string Grouped(std::int64_t n, char separator) {
  const bool negative = n < 0;
  // The magnitude in unsigned arithmetic, so that the smallest value has one.
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  std::string digits;
  int in_group = 0;
  do {
    if (in_group == 3) {
      digits += separator;
      in_group = 0;
    }
    digits += static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++in_group;
  } while (magnitude != 0);
  if (negative) digits += '-';
  return {digits.rbegin(), digits.rend()};
}

}  // namespace

Language LanguageOfLocale(std::string_view locale) {
  const bool german = StartsWithWord(locale, "de") && (locale.size() == 2 || locale[2] == '_' || locale[2] == '-' ||
                                                       locale[2] == '.' || locale[2] == '@');
  return german ? Language::kGerman : Language::kEnglish;
}

Language LanguageOfEnvironment(const char* language, const char* lc_all, const char* lc_messages, const char* lang) {
  // LANGUAGE is honoured only when a locale is chosen at all, as gettext
  // does: under "C" the messages stay untranslated.
  std::string_view chosen;
  for (const char* value : {lc_all, lc_messages, lang}) {
    if (value != nullptr && *value != '\0') {
      chosen = value;
      break;
    }
  }
  if (chosen.empty() || chosen == "C" || chosen == "POSIX" || chosen.starts_with("C.")) return Language::kEnglish;
  if (language != nullptr && *language != '\0') {
    const std::string_view list = language;
    return LanguageOfLocale(list.substr(0, list.find(':')));
  }
  return LanguageOfLocale(chosen);
}

const char* LanguageCode(Language language) { return language == Language::kGerman ? "de" : "en"; }

bool ParseCatalogue(std::string_view po, std::vector<CatalogueEntry>& entries) {
  EntryReader reader(entries);
  while (!po.empty()) {
    const std::size_t end = po.find('\n');
    std::string_view line = po.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!reader.Line(line)) return false;
    po.remove_prefix(end == std::string_view::npos ? po.size() : end + 1);
  }
  reader.End();
  return true;
}

const std::vector<CatalogueEntry>& CatalogueOf(Language language) {
  static const std::vector<CatalogueEntry> kNone;
  static const std::vector<CatalogueEntry> kGerman = LoadGerman();
  return language == Language::kGerman ? kGerman : kNone;
}

std::string FillFields(std::string_view text, std::initializer_list<Field> fields) {
  return FillFields(text, std::span<const Field>(fields.begin(), fields.size()));
}

std::string FillFields(std::string_view text, std::span<const Field> fields) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const auto field = std::find_if(fields.begin(), fields.end(), [&](const Field& f) { return f.name == name; });
    out.append(text.substr(at, open - at));
    if (field != fields.end()) {
      out += field->value;
    } else {
      out.append(text.substr(open, close - open + 1));
    }
    at = close + 1;
  }
  out.append(text.substr(at));
  return out;
}

std::string_view Words::Word(std::string_view english) const {
  const CatalogueEntry* entry = Find(language_, english);
  return entry != nullptr && entry->id_plural.empty() ? std::string_view(entry->forms[0]) : english;
}

std::string Words::Say(std::string_view english, std::initializer_list<Field> fields) const {
  return FillFields(Word(english), fields);
}

std::string Words::SayN(std::string_view one, std::string_view many, std::int64_t n,
                        std::initializer_list<Field> fields) const {
  std::string_view text = n == 1 ? one : many;
  const CatalogueEntry* entry = Find(language_, one);
  // Both languages have two forms: the first for 1, the second otherwise.
  if (entry != nullptr && entry->id_plural == many && entry->forms.size() == 2) text = entry->forms[n == 1 ? 0 : 1];
  std::vector<Field> all(fields);
  all.push_back({"n", Number(n)});
  return FillFields(text, all);
}

std::string Words::Number(std::int64_t n) const { return Grouped(n, language_ == Language::kGerman ? '.' : ','); }

}  // namespace railfmt::inspect
