#include "inspect/explain.h"

#include <cstdlib>

#include "inspect/explain_words.h"

namespace railfmt::inspect {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The length of the number at the start of text that a conversion of type
// c ('d', 'x', 'f', 'e') prints; 0 when there is none.
std::size_t NumberLength(char c, std::string_view text) {
  std::size_t n = 0;
  if (c != 'x' && n < text.size() && (text[n] == '-' || text[n] == '+')) ++n;
  if (c == 'f' || c == 'e') {
    for (std::string_view word : {"inf", "nan"}) {
      if (text.substr(n).starts_with(word)) return n + word.size();
    }
  }
  const std::size_t digits = n;
  while (n < text.size() &&
         (c == 'x' ? IsHexDigit(text[n]) : IsDigit(text[n]) || ((c == 'f' || c == 'e') && text[n] == '.'))) {
    ++n;
  }
  if (n == digits) return 0;
  if (c == 'e' && n < text.size() && text[n] == 'e') {
    std::size_t e = n + 1;
    if (e < text.size() && (text[e] == '-' || text[e] == '+')) ++e;
    const std::size_t exponent = e;
    while (e < text.size() && IsDigit(text[e])) ++e;
    if (e > exponent) n = e;
  }
  return n;
}

bool MatchFrom(std::string_view format, std::string_view text, std::vector<std::string>& args) {
  while (!format.empty()) {
    if (format[0] != '%' || format.starts_with("%%")) {
      const std::size_t n = format[0] == '%' ? 2 : 1;
      if (text.empty() || text[0] != format[0]) return false;
      format.remove_prefix(n);
      text.remove_prefix(1);
      continue;
    }
    const bool precise_string = format.starts_with("%.*s");
    const char type = precise_string ? 's' : format.size() > 1 ? format[1] : '\0';
    const std::string_view rest = format.substr(precise_string ? 4 : 2);
    if (type == 's') {
      // Any text; the shortest that lets the rest match.
      for (std::size_t k = 0; k <= text.size(); ++k) {
        args.emplace_back(text.substr(0, k));
        if (MatchFrom(rest, text.substr(k), args)) return true;
        args.pop_back();
      }
      return false;
    }
    if (type != 'd' && type != 'x' && type != 'f' && type != 'e') return false;
    const std::size_t n = NumberLength(type, text);
    if (n == 0) return false;
    args.emplace_back(text.substr(0, n));
    if (MatchFrom(rest, text.substr(n), args)) return true;
    args.pop_back();
    return false;
  }
  return text.empty();
}

// "found 1, expected 0" for a mismatch line; class tags also in hexadecimal.
std::string MismatchSentence(const std::vector<std::string>& parts, bool tags) {
  if (parts.size() == 3) {
    return "found " + parts[0] + ", expected " + parts[1] + " (a difference of " + parts[2] + ")";
  }
  if (tags) {
    return "found " + parts[0] + " (" + explain::Tag(parts[0]) + "), expected " + parts[1] + " (" +
           explain::Tag(parts[1]) + ")";
  }
  return "found " + parts[0] + ", expected " + parts[1];
}

bool ParseMismatch(std::string_view text, std::vector<std::string>& parts) {
  parts.clear();
  if (MatchFormat("I: %d S: %d\n", text, parts)) return true;
  parts.clear();
  return MatchFormat("I: %f S: %f Diff: %e\n", text, parts);
}

}  // namespace

bool MatchFormat(std::string_view format, std::string_view text, std::vector<std::string>& args) {
  if (format.ends_with('\n')) format.remove_suffix(1);
  args.clear();
  return MatchFrom(format, text, args);
}

void Explain(KindAttempt& attempt, const RecognisedFile::Object& object, std::span<const std::uint8_t> bytes) {
  explain::Context base;
  base.kind = attempt.kind;
  base.bytes = bytes;
  base.stop = attempt.stop_offset;
  base.accepted = attempt.accepted;
  base.object = &object;

  std::optional<explain::Finding> reason;
  std::vector<std::string> parts;
  std::vector<bool> tags(attempt.said.size(), false);
  for (std::size_t i = 0; i < attempt.said.size(); ++i) {
    Said& said = attempt.said[i];
    if (said.is_mismatch) continue;
    explain::Context context = base;
    if (i > 0 && attempt.said[i - 1].is_mismatch && ParseMismatch(attempt.said[i - 1].text, parts) &&
        parts.size() == 2) {
      context.mismatch.emplace(parts[0], parts[1]);
    }
    for (std::size_t k = i; k-- > 0;) {
      if (!attempt.said[k].is_mismatch) {
        context.previous = attempt.said[k].text;
        break;
      }
    }
    const explain::Row* row = explain::FindRow(attempt.kind, said.text, context.args);
    if (row == nullptr) {
      said.explanation =
          "a message railinspect does not know; the reader stopped at byte " + std::to_string(attempt.stop_offset);
      continue;
    }
    if (i > 0) tags[i - 1] = row->tags;
    explain::Finding finding = row->explain(context);
    said.explanation = finding.text;
    if (!reason && !row->note) reason = std::move(finding);
  }
  for (std::size_t i = 0; i < attempt.said.size(); ++i) {
    Said& said = attempt.said[i];
    if (!said.is_mismatch) continue;
    said.explanation = ParseMismatch(said.text, parts) ? MismatchSentence(parts, tags[i]) : said.text;
    // A check whose failure says nothing but its mismatch line.
    const bool last = i + 1 == attempt.said.size();
    if (last && !reason) {
      explain::Context context = base;
      if (const explain::Row* row = explain::FindLoneMismatchRow(attempt.kind, said.text, context.args)) {
        reason = row->explain(context);
      }
    }
  }
  if (attempt.accepted) return;
  if (!reason) {
    reason = explain::Finding{"the reader stopped at byte " + std::to_string(attempt.stop_offset) + " of " +
                                  std::to_string(bytes.size()) + " and said nothing more",
                              0, 0};
  }
  attempt.reason = std::move(reason->text);
  attempt.field_begin = reason->field_begin;
  attempt.field_end = reason->field_end;
}

}  // namespace railfmt::inspect
