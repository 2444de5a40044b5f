#include "inspect/rescue.h"

#include <utility>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/memory_directory.h"
#include "driver/path_names.h"
#include "inspect/fault_words.h"
#include "inspect/json_report.h"
#include "inspect/prediction.h"
#include "inspect/verdict.h"

namespace railfmt::inspect {
namespace {

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items, const Words& words) {
  if (items.empty()) return {};
  std::string head = items.front();
  for (std::size_t i = 1; i + 1 < items.size(); ++i) head += ", " + items[i];
  if (items.size() == 1) return head;
  return words.Say("{list} and {last}", {{"list", head}, {"last", items.back()}});
}

// The judgement of the file as railinspect makes it: recognised, not a
// planning file, or damaged and most likely of some kind.
Report Judged(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words) {
  EntryVisit visit;
  visit.name = std::string(entry_name);
  visit.input_size = bytes.size();
  visit.file = RecogniseEntry(entry_name, bytes, &visit.attempts);
  return ReportOfVisit(visit, bytes, "", words);
}

// Why railfmt would not leave the rescued bytes alone under their name, in
// words; empty when it would. The batch itself decides, over a directory
// that holds them alone.
std::string Unproven(const std::string& name, std::span<const std::uint8_t> bytes, EntryKind kind, const Words& words) {
  MemoryDirectory alone;
  alone.Add(name, bytes);
  RunReplay replay(alone, words);
  if (replay.entries().empty()) return words.Say("railfmt passes over this name");
  const Report report = replay.Visit(0, false);
  if (!report.recognised()) {
    for (const KindAttempt& attempt : report.attempts) {
      if (attempt.kind == kind) return words.Say("it does not read back: {why}", {{"why", attempt.reason}});
    }
  }
  if (report.kind != kind) {
    return words.Say("railfmt reads it as {kind} instead", {{"kind", KindWords(report.kind, words)}});
  }
  if (report.prediction.action != Action::kUnchanged || !report.prediction.in_place) {
    return PredictionText(report.prediction, words);
  }
  return {};
}

// Normalising a layout can place a bridge that a duplicate held on its
// track before; written again, such a file changes once more. The rescue
// normalises until its bytes stay as they are, as railfmt would leave them.
constexpr int kNormalisingRounds = 4;

// Reads the kept records written as draft with the strict reader of the
// kind (which links what the kind links on reading) and writes them in
// normal form into rescue; why not, in words.
std::string WriteInNormalForm(Rescue& rescue, std::span<const std::uint8_t> draft, const Words& words) {
  std::vector<std::uint8_t> current(draft.begin(), draft.end());
  for (int round = 0; round < kNormalisingRounds; ++round) {
    ReadResult reread;
    std::optional<RecognisedFile> file = TryKind(rescue.kind, current, rescue.rescued_name, &reread);
    if (!file) {
      return words.Say("it does not read back: {why}", {{"why", FaultSentence(reread.fault, current, nullptr, words)}});
    }
    rescue.changes.Append(file->Normalise());
    std::vector<std::uint8_t> next = file->Encode();
    if (round > 0 && next == current) break;
    current = std::move(next);
  }
  rescue.bytes = std::move(current);
  return {};
}

// The lines of a rescue that kept records: what came back, what did not.
void SayWhatCameBack(Rescue& rescue, const Words& words) {
  std::vector<std::string> kept;
  std::vector<std::string> unread;
  for (const KeptRecords& list : rescue.kept) {
    if (list.total == KeptRecords::kUnknown) {
      unread.push_back(std::string(words.Word(list.lost_words)));
    } else if (list.total > 0 || list.kept > 0) {
      kept.push_back(words.SayN(list.words.one, list.words.many, list.total, {{"kept", words.Number(list.kept)}}));
    }
  }
  std::vector<std::string> lost;
  for (const LostPart& part : rescue.lost) lost.push_back(words.SayN(part.words.one, part.words.many, part.count));
  if (!kept.empty()) rescue.lines.push_back(words.Say("kept {lists}", {{"lists", Listed(kept, words)}}));
  if (!unread.empty()) {
    rescue.lines.push_back(words.Say("lost from the damage on: {lists}", {{"lists", Listed(unread, words)}}));
  }
  if (!lost.empty()) {
    rescue.lines.push_back(
        words.Say("lost, and written as a new, empty file has them: {parts}", {{"parts", Listed(lost, words)}}));
  }
  if (!rescue.new_name.empty()) {
    rescue.lines.push_back(
        words.Say("the rolling stock is named {name}, as its file", {{"name", Quoted(rescue.new_name, words)}}));
  }
  if (!rescue.changes.empty()) {
    rescue.lines.push_back(
        words.Say("written in normal form: {changes}", {{"changes", ChangesInShort(rescue.changes, words)}}));
  }
}

void SayDamage(Rescue& rescue, const Words& words) {
  if (!rescue.fault) return;
  rescue.lines.push_back(
      words.Say("the damage shows at byte {at}: {what}",
                {{"at", words.Number(static_cast<std::int64_t>(rescue.fault.begin))}, {"what", rescue.damage}}));
}

// A file a kind accepts; named: the kind its name says, when that kind's
// reader rejects it and a rescue as that kind may be worth asking for.
Rescue NeedsNone(Rescue rescue, EntryKind kind, EntryKind named, const Words& words) {
  rescue.outcome = RescueOutcome::kNeedsNone;
  rescue.kind = kind;
  rescue.lines.clear();
  rescue.reason = words.Say("railfmt reads it as {kind}", {{"kind", KindWords(kind, words)}});
  rescue.lines.push_back(words.Say("needs no rescue: {why}", {{"why", rescue.reason}}));
  if (named != EntryKind::kNone && named != kind) {
    rescue.lines.push_back(
        words.Say("its name says {kind}, which it can be rescued as", {{"kind", KindWords(named, words)}}));
  }
  return rescue;
}

Rescue NothingToRescue(Rescue rescue, std::string reason, const Words& words) {
  rescue.outcome = RescueOutcome::kNothing;
  rescue.lost.clear();
  rescue.reason = std::move(reason);
  rescue.lines.insert(rescue.lines.begin(), words.Say("nothing to rescue: {why}", {{"why", rescue.reason}}));
  SayDamage(rescue, words);
  return rescue;
}

}  // namespace

const char* RescueOutcomeName(RescueOutcome outcome) {
  switch (outcome) {
    case RescueOutcome::kRescued: return "rescued";
    case RescueOutcome::kNeedsNone: return "needs_none";
    case RescueOutcome::kNotProven: return "not_proven";
    case RescueOutcome::kNothing: break;
  }
  return "nothing";
}

std::string RescuedName(std::string_view entry_name, EntryKind kind) {
  std::string base = BaseName(entry_name);
  base.erase(0, base.find_first_not_of('.'));
  if (base.empty()) base = "rescued";
  else base += ".rescued";
  return base + "." + EntryKindExtension(kind);
}

EntryKind KindNamed(std::string_view name) {
  const std::string wanted = Lowered(name);
  for (const EntryKind kind : kCascadeOrder) {
    if (wanted == KindIdentifier(kind) || wanted == EntryKindName(kind) || wanted == EntryKindExtension(kind)) {
      return kind;
    }
  }
  return EntryKind::kNone;
}

Rescue RescueFile(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words, EntryKind as) {
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  Rescue rescue;
  const Report judged = Judged(entry_name, bytes, words);
  // A file railfmt reads as one kind may still be asked for as another,
  // whose reader rejects it: rolling stock cut short after its first model
  // reads as a model.
  if (judged.recognised() && (as == EntryKind::kNone || as == judged.kind)) {
    // The kind the name says is worth naming when its own reader rejects
    // the file.
    const EntryKind named = KindOfExtension(entry_name);
    const bool named_rejects = named != EntryKind::kNone && !ReadKind(named, bytes, entry_name).result.accepted;
    return NeedsNone(std::move(rescue), judged.kind, named_rejects ? named : EntryKind::kNone, words);
  }
  if (as == EntryKind::kNone) {
    if (judged.verdict != Verdict::kDamaged || judged.MostLikely() == nullptr) {
      return NothingToRescue(std::move(rescue), judged.verdict_text, words);
    }
    rescue.kind = judged.MostLikely()->kind;
    rescue.kind_why = judged.likely_why;
  } else {
    rescue.kind = as;
    rescue.kind_why = words.Say("as asked");
  }
  const std::string kind_words = KindWords(rescue.kind, words);
  rescue.lines.push_back(words.Say("taken as {kind}: {why}", {{"kind", kind_words}, {"why", rescue.kind_why}}));

  KindRead read = ReadKind(rescue.kind, bytes, entry_name);
  if (read.result.accepted) return NeedsNone(std::move(rescue), judged.kind, EntryKind::kNone, words);
  rescue.fault = read.result.fault;
  rescue.damage = FaultSentence(rescue.fault, bytes, &read.object, words);
  rescue.rescued_name = RescuedName(entry_name, rescue.kind);
  const std::string new_name = BaseName(rescue.rescued_name);
  KeptContent content = KeepBeforeDamage(read.object, rescue.fault, new_name);
  rescue.kept = content.records;
  rescue.lost = content.lost;
  if (rescue.kind == EntryKind::kRollingStock) rescue.new_name = new_name;
  if (!content.AnyRecord()) {
    return NothingToRescue(std::move(rescue),
                           words.Say("no record of the {kind} reads whole before the damage", {{"kind", kind_words}}),
                           words);
  }

  const std::vector<std::uint8_t> draft = RecognisedFile(std::move(read.object), rescue.rescued_name).Encode();
  std::string unproven = WriteInNormalForm(rescue, draft, words);
  if (unproven.empty()) unproven = Unproven(rescue.rescued_name, rescue.bytes, rescue.kind, words);
  SayWhatCameBack(rescue, words);
  if (!unproven.empty()) {
    rescue.outcome = RescueOutcome::kNotProven;
    rescue.bytes.clear();
    rescue.reason = words.Say("the rescued file would not pass railfmt: {why}", {{"why", unproven}});
    rescue.lines.insert(rescue.lines.begin(), words.Say("nothing rescued: {why}", {{"why", rescue.reason}}));
  } else {
    rescue.outcome = RescueOutcome::kRescued;
    rescue.lines.insert(rescue.lines.begin(),
                        words.Say("rescued as {kind}: {name}, {size} bytes",
                                  {{"kind", kind_words},
                                   {"name", Quoted(rescue.rescued_name, words)},
                                   {"size", words.Number(static_cast<std::int64_t>(rescue.bytes.size()))}}));
  }
  SayDamage(rescue, words);
  return rescue;
}

std::string RescueSummary(const Rescue& rescue) {
  std::string text;
  for (const std::string& line : rescue.lines) text += (text.empty() ? "" : "; ") + line;
  return text;
}

Json RescueJson(const Rescue& rescue, std::string_view entry_name, const Words& words) {
  Json out = Json::object();
  out["entry_name"] = DisplayText(entry_name);
  out["outcome"] = RescueOutcomeName(rescue.outcome);
  out["kind"] = rescue.kind == EntryKind::kNone ? Json() : Json(KindIdentifier(rescue.kind));
  out["kind_why"] = rescue.kind_why;
  if (rescue.outcome == RescueOutcome::kRescued) {
    out["rescued_name"] = DisplayText(rescue.rescued_name);
    out["size"] = rescue.bytes.size();
  }
  out["kept"] = List(rescue.kept, [](const KeptRecords& list) {
    return Json{{"records", list.id},
                {"kept", list.kept},
                {"total", list.total == KeptRecords::kUnknown ? Json() : Json(list.total)}};
  });
  out["lost"] = List(rescue.lost, [](const LostPart& part) { return Json{{"part", part.id}, {"count", part.count}}; });
  if (!rescue.new_name.empty()) out["new_name"] = TextValue(rescue.new_name);
  if (rescue.fault) {
    out["damage"] = Json{{"at", rescue.fault.begin}, {"text", rescue.damage}, {"field", FieldJson(rescue.fault)}};
  }
  out["changes"] = List(ChangesCounted(rescue.changes, words), [](const std::string& s) { return s; });
  out["reason"] = rescue.reason;
  out["summary"] = RescueSummary(rescue);
  out["lines"] = List(rescue.lines, [](const std::string& s) { return s; });
  return out;
}

}  // namespace railfmt::inspect
