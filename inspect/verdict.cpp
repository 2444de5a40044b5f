#include "inspect/verdict.h"

#include <algorithm>
#include <cstring>
#include <variant>

#include "driver/diagnostics.h"
#include "inspect/fault_words.h"

namespace railfmt::inspect {
namespace {

std::string N(const Words& words, std::size_t n) { return words.Number(static_cast<std::int64_t>(n)); }

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

// The kinds that identify themselves by a header: all but the layout.
bool HasHeader(EntryKind kind) { return kind != EntryKind::kLayout; }

bool HeaderHolds(const KindAttempt& attempt) { return HasHeader(attempt.kind) && !InHeader(attempt.fault); }

// A text: no zero byte and nearly nothing but printable characters, tabs
// and line ends in its first bytes (UTF-8 and Windows-1252 letters count).
bool BeginsWithText(std::span<const std::uint8_t> bytes) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), 512);
  std::size_t odd = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = bytes[i];
    if (b == 0) return false;
    const bool text = b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b != 0x7F);
    odd += text ? 0 : 1;
  }
  return n >= 4 && odd * 20 <= n;
}

// How much a kind of change amounts to: the sum of the changes' own counts
// (the bytes dropped) where they carry one, else how many there are.
std::int64_t ChangeCount(const Normalisation& changes, const ChangeWords& kind, std::size_t made) {
  std::int64_t sum = 0;
  bool counted = false;
  for (const Change& change : changes.changes()) {
    if (change.words != &kind) continue;
    for (const ChangeField& field : change.fields) {
      if (std::string_view(field.name) != "n") continue;
      if (const auto* n = std::get_if<std::int64_t>(&field.value)) {
        sum += *n;
        counted = true;
      }
    }
  }
  return counted ? sum : static_cast<std::int64_t>(made);
}

// What a changed name or a damaged named kind means for a person.
std::string NamedKindWarning(const Report& report, std::span<const std::uint8_t> bytes, const Words& words) {
  const EntryKind named = KindOfExtension(report.entry_name);
  if (named == EntryKind::kNone || named == report.kind) return {};
  // The named kind's fault: from the attempts when the cascade tried it,
  // else from its reader now.
  FieldFault fault;
  RecognisedFile::Object object;
  const auto tried = std::find_if(report.attempts.begin(), report.attempts.end(),
                                  [&](const KindAttempt& a) { return a.kind == named; });
  if (tried != report.attempts.end()) {
    fault = tried->fault;
  } else {
    const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
    KindRead read = ReadKind(named, bytes, report.entry_name);
    if (read.result.accepted) return {};
    fault = read.result.fault;
    object = std::move(read.object);
  }
  return words.Say(
      "the name says {named}, but as that it is damaged ({why}); railfmt reads it as {kind} instead: "
      "{does}",
      {{"named", KindWords(named, words)},
       {"why", FaultSentence(fault, bytes, tried != report.attempts.end() ? nullptr : &object, words)},
       {"kind", KindWords(report.kind, words)},
       {"does", PredictionText(report.prediction, words)}});
}

std::string DamagedLine(const KindAttempt& attempt, std::span<const std::uint8_t> bytes, const Words& words) {
  const FieldFault& fault = attempt.fault;
  if (bytes.empty()) return words.Say("damaged: the file is empty");
  if (CutShort(fault)) {
    const std::string place = FaultPlace(fault, words);
    if (place.empty()) {
      return words.Say("damaged: the file is cut short; it ends at byte {end}", {{"end", N(words, bytes.size())}});
    }
    return words.Say("damaged: cut short inside {where}; the file ends at byte {end}",
                     {{"where", place}, {"end", N(words, bytes.size())}});
  }
  if (InHeader(fault)) {
    return words.Say("damaged: a {kind} whose header is damaged at byte {at}: {field}: {what}",
                     {{"kind", KindWords(attempt.kind, words)},
                      {"at", N(words, fault.begin)},
                      {"field", FieldLabel(fault.field, words)},
                      {"what", FaultWhat(fault, bytes, nullptr, words)}});
  }
  return words.Say("damaged at byte {at}: {what}", {{"at", N(words, fault.begin)}, {"what", attempt.reason}});
}

}  // namespace

const char* VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kInOrder: return "in_order";
    case Verdict::kTidied: return "tidied";
    case Verdict::kDamaged: return "damaged";
    case Verdict::kForeign: return "foreign";
    case Verdict::kSkipped: return "skipped";
    case Verdict::kUnreadable: break;
  }
  return "unreadable";
}

std::string KindWords(EntryKind kind, const Words& words) {
  switch (kind) {
    case EntryKind::kRollingStock: return std::string(words.Word("rolling stock (.rol)"));
    case EntryKind::kModel: return std::string(words.Word("model (.mod)"));
    case EntryKind::kConstruction: return std::string(words.Word("construction drawing (.kon)"));
    case EntryKind::kLayout: return std::string(words.Word("layout (.anl)"));
    case EntryKind::kNone: break;
  }
  return std::string(words.Word("no planning file"));
}

std::string ForeignReason(std::span<const std::uint8_t> bytes, const Words& words) {
  struct Magic {
    std::string_view bytes;
    const char* sentence;
  };
  static constexpr Magic kMagics[] = {
      {"\x89PNG", ForPeople("it looks like a PNG image")},
      {"\xFF\xD8\xFF", ForPeople("it looks like a JPEG photo")},
      {"GIF8", ForPeople("it looks like a GIF image")},
      {"%PDF", ForPeople("it looks like a PDF document")},
      {"PK\x03\x04", ForPeople("it looks like a ZIP archive (or an office document)")},
      {"\x1F\x8B", ForPeople("it looks like a compressed (gzip) file")},
      {"MZ", ForPeople("it looks like a Windows program")},
      {"\xD0\xCF\x11\xE0", ForPeople("it looks like an old office document")},
  };
  for (const Magic& magic : kMagics) {
    if (StartsWith(bytes, magic.bytes)) return words.Say(magic.sentence);
  }
  if (!bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; })) {
    return words.Say("it holds only zero bytes");
  }
  if (BeginsWithText(bytes)) return words.Say("it begins with text");
  return {};
}

void RankAttempts(Report& report, const Words& words) {
  const EntryKind named = KindOfExtension(report.entry_name);
  std::vector<std::size_t> order(report.attempts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  // A model and the first model of rolling stock read the same header: with
  // nothing else to tell them apart, the model comes first.
  const auto key = [&](const KindAttempt& a) {
    return std::make_tuple(HeaderHolds(a) && a.kind == named, HeaderHolds(a), a.kind == named, a.stop_offset,
                           a.kind == EntryKind::kModel);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(report.attempts[a]) > key(report.attempts[b]); });
  report.ranking = order;
  if (order.empty()) return;
  const KindAttempt& likely = report.attempts[order.front()];
  const std::string kind = KindWords(likely.kind, words);
  if (HeaderHolds(likely) && likely.kind == named) {
    report.likely_why = words.Say("its name says {kind} and it begins as one", {{"kind", kind}});
  } else if (HeaderHolds(likely)) {
    report.likely_why = words.Say("it begins as a {kind}", {{"kind", kind}});
  } else if (likely.kind == named) {
    report.likely_why = words.Say("its name says {kind}", {{"kind", kind}});
  } else {
    report.likely_why = words.Say("no kind's header matches and its reader got furthest");
  }
}

void JudgeReport(Report& report, std::span<const std::uint8_t> bytes, const Words& words) {
  report.warnings.clear();
  report.next_step.clear();
  const Prediction& p = report.prediction;
  if (!report.readable()) {
    report.verdict = Verdict::kUnreadable;
    report.verdict_text = words.Say("cannot be read: {why}", {{"why", report.error}});
    return;
  }
  if (p.action == Action::kSkip) {
    report.verdict = Verdict::kSkipped;
    report.verdict_text = words.Say("railfmt passes over this name");
    return;
  }
  if (!report.recognised()) {
    const KindAttempt* likely = report.MostLikely();
    const std::string foreign = ForeignReason(bytes, words);
    if (bytes.empty() && KindOfExtension(report.entry_name) == EntryKind::kNone) {
      report.verdict = Verdict::kForeign;
      report.verdict_text = words.Say("not a planning file: it is empty");
    } else if (!foreign.empty() || likely == nullptr) {
      report.verdict = Verdict::kForeign;
      report.verdict_text = words.Say("not a planning file: {why}", {{"why", foreign}});
    } else {
      report.verdict = Verdict::kDamaged;
      report.verdict_text = DamagedLine(*likely, bytes, words);
      report.next_step = words.Say(
          "railfmt will not change it. Restore it from a backup or save it again in the planning program; a "
                    "rescue (Rescue on the page, railinspect --rescue on the command line) may give back what it "
                    "still holds.");
    }
    if (report.verdict == Verdict::kForeign) report.next_step = words.Say("railfmt leaves it alone.");
    return;
  }
  // A recognised file of zero bytes with more of them than the kind takes:
  // nothing a planning program writes.
  const bool zeros = std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
  const bool trailing = !report.attempts.empty() && report.attempts.back().stop_offset < bytes.size();
  if (zeros && trailing) {
    const std::string foreign = ForeignReason(bytes, words);
    report.verdict = Verdict::kForeign;
    report.verdict_text = words.Say("not a planning file: {why}", {{"why", foreign}});
    report.warnings.push_back(words.Say("railfmt reads it as {kind}: {does}",
                                        {{"kind", KindWords(report.kind, words)}, {"does", PredictionText(p, words)}}));
    return;
  }
  if (p.WouldWrite()) {
    report.verdict = Verdict::kTidied;
    const std::string changes = ChangesInShort(p.changes, words);
    report.verdict_text = changes.empty() ? words.Say("will be tidied: {does}", {{"does", PredictionText(p, words)}})
                                          : words.Say("will be tidied: {changes}", {{"changes", changes}});
  } else {
    report.verdict = Verdict::kInOrder;
    report.verdict_text = words.Say("in order");
  }
  if (p.action == Action::kRefuse || p.action == Action::kFail) {
    report.warnings.push_back(PredictionText(p, words));
  }
  if (std::string warning = NamedKindWarning(report, bytes, words); !warning.empty()) {
    report.warnings.push_back(std::move(warning));
  }
}

std::vector<std::string> ChangesCounted(const Normalisation& changes, const Words& words) {
  std::vector<std::string> texts;
  for (const auto& [change, count] : changes.Counts()) {
    texts.push_back(words.SayN(change->one, change->many, ChangeCount(changes, *change, count)));
  }
  return texts;
}

std::string ChangesInShort(const Normalisation& changes, const Words& words) {
  std::string text;
  for (const std::string& change : ChangesCounted(changes, words)) text += (text.empty() ? "" : ", ") + change;
  return text;
}

std::vector<std::string> ChangesInDetail(const Normalisation& changes, const Words& words) {
  std::vector<std::string> lines;
  for (const Change& change : changes.changes()) {
    std::vector<Field> fields;
    for (const ChangeField& field : change.fields) {
      if (const auto* number = std::get_if<std::int64_t>(&field.value)) {
        fields.push_back({field.name, words.Number(*number)});
      } else {
        fields.push_back({field.name, Quoted(std::get<std::string>(field.value), words)});
      }
    }
    lines.push_back(FillFields(words.Word(change.words->detail), fields));
  }
  return lines;
}

std::string PredictionText(const Prediction& p, const Words& words) {
  const std::string output = Quoted(p.output_name, words);
  std::string text;
  switch (p.action) {
    case Action::kUnknown: return {};
    case Action::kNone: return words.Say("railfmt leaves it alone");
    case Action::kSkip: return words.Say("railfmt passes over this name");
    case Action::kRefuse: text = words.Say("railfmt writes nothing: {why}", {{"why", p.reason}}); break;
    case Action::kFail: text = words.Say("railfmt writes nothing: the file changed while it was being read"); break;
    case Action::kUnchanged:
      text = p.in_place ? words.Say("railfmt leaves it as it is")
                        : words.Say("railfmt writes nothing: {output} already holds these bytes", {{"output", output}});
      break;
    case Action::kChange:
      text = words.Say("railfmt rewrites it ({from} → {to} bytes)",
                       {{"from", N(words, p.input_size)}, {"to", N(words, p.output_size)}});
      break;
    case Action::kCreate:
      text = words.Say("railfmt writes {output} beside it (new, {size} bytes)",
                       {{"output", output}, {"size", N(words, p.output_size)}});
      break;
    case Action::kReplace:
      text = words.Say("railfmt replaces {output} ({size} bytes)",
                       {{"output", output}, {"size", N(words, p.output_size)}});
      break;
  }
  if (!p.replaced_before_by.empty()) {
    text = words.Say("first replaced by the output of {entry}; then {does}",
                     {{"entry", Quoted(p.replaced_before_by, words)}, {"does", text}});
  }
  return text;
}

}  // namespace railfmt::inspect
