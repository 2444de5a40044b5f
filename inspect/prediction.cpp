#include "inspect/prediction.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "inspect/explain_words.h"
#include "inspect/inspect.h"

namespace railfmt::inspect {
namespace {

using explain::N;

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

std::uint64_t Fingerprint(std::span<const std::uint8_t> bytes) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string Count(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

// Entries a layout holds under the number 0, which the encoder leaves out.
int Unnumbered(const RecognisedFile& file) {
  const CAnlage* layout = file.As<CAnlage>();
  if (layout == nullptr) return 0;
  int n = 0;
  for (const CGleis& t : layout->Tracks) n += t.Number == 0;
  for (const CAnlagenModell& m : layout->Models) n += m.Number == 0;
  for (const CAnlagenRollmaterial& v : layout->RollingStock) n += v.Number == 0;
  return n;
}

// Normalises and encodes the file as the batch does; the words for what changed.
struct Encoded {
  std::vector<std::uint8_t> bytes;
  std::vector<std::string> changes;
};

Encoded NormaliseAndEncode(RecognisedFile& file, std::span<const std::uint8_t> input) {
  const int unnumbered = Unnumbered(file);
  const Normalisation normalisation = file.Normalise();
  Encoded out;
  out.bytes = file.Encode();
  out.changes = DescribeChanges(file, normalisation, input, out.bytes);
  if (unnumbered > 0)
    out.changes.push_back(Count(unnumbered, "entry numbered 0 left out", "entries numbered 0 left out"));
  return out;
}

Prediction Refusal(const RecognisedFile& file, const std::string& refused) {
  Prediction p;
  p.action = Action::kRefuse;
  p.output_name = file.OutputName();
  p.reason = "the name stored in the file, " + explain::Quote(refused) +
             ", reaches into another directory (railfmt says \"Can't open " + refused + "!\")";
  return p;
}

}  // namespace

const char* ActionName(Action action) {
  switch (action) {
    case Action::kNone: return "none";
    case Action::kSkip: return "skip";
    case Action::kUnchanged: return "unchanged";
    case Action::kChange: return "change";
    case Action::kCreate: return "create";
    case Action::kReplace: return "replace";
    case Action::kRefuse: return "refuse";
    case Action::kUnknown: break;
  }
  return "unknown";
}

bool Prediction::WouldWrite() const {
  return action == Action::kChange || action == Action::kCreate || action == Action::kReplace;
}

std::string PredictionText(const Prediction& p) {
  std::string text;
  switch (p.action) {
    case Action::kUnknown: return "";
    case Action::kNone: return "railfmt leaves it alone";
    case Action::kSkip: return "railfmt skips this name";
    case Action::kRefuse: text = "railfmt writes nothing: " + p.reason; break;
    case Action::kUnchanged:
      text = "unchanged";
      if (!p.in_place) text += ": " + p.output_name + " already holds these bytes";
      break;
    case Action::kChange: text = "would change: " + N(p.input_size) + " → " + N(p.output_size) + " bytes"; break;
    case Action::kCreate: text = "would write " + p.output_name + " (new, " + N(p.output_size) + " bytes)"; break;
    case Action::kReplace:
      text = "would replace " + p.output_name + " (" + N(p.replaced_size) + " → " + N(p.output_size) + " bytes)";
      break;
  }
  if (!p.changes.empty() && p.action != Action::kUnchanged) {
    text += ": ";
    for (std::size_t i = 0; i < p.changes.size(); ++i) text += (i > 0 ? ", " : "") + p.changes[i];
  }
  if (!p.replaced_before_by.empty()) {
    text = "replaced by the output of " + p.replaced_before_by + " before its turn, then " + text;
  }
  return text;
}

std::vector<std::string> DescribeChanges(const RecognisedFile& file, const Normalisation& n,
                                         std::span<const std::uint8_t> input, std::span<const std::uint8_t> output) {
  std::vector<std::string> changes;
  if (file.kind() == EntryKind::kLayout) {
    if (n.duplicates_removed > 0)
      changes.push_back(Count(n.duplicates_removed, "duplicate model removed", "duplicate models removed"));
    if (n.bridges_placed > 0) changes.push_back(Count(n.bridges_placed, "bridge placed", "bridges placed"));
    if (n.buffer_stops_placed > 0)
      changes.push_back(Count(n.buffer_stops_placed, "buffer stop placed", "buffer stops placed"));
    if (n.track_types_corrected > 0)
      changes.push_back(Count(n.track_types_corrected, "track type corrected", "track types corrected"));
    return changes;
  }
  // The archive kinds write every field back as read, the primitive index
  // lists in canonical order, and drop what follows the last field.
  if (SameBytes(input, output)) return changes;
  const bool prefix = output.size() <= input.size() && SameBytes(input.first(output.size()), output);
  if (!prefix) changes.push_back("primitives reordered");
  if (prefix && input.size() > output.size()) {
    changes.push_back(
        Count(static_cast<int>(input.size() - output.size()), "trailing byte dropped", "trailing bytes dropped"));
  }
  return changes;
}

Prediction PredictAlone(const RecognisedFile& file, std::span<const std::uint8_t> bytes) {
  if (const std::optional<std::string> refused = file.RefusedName()) return Refusal(file, *refused);
  RecognisedFile copy = file;
  const Encoded out = NormaliseAndEncode(copy, bytes);
  Prediction p;
  p.output_name = copy.OutputName();
  p.input_size = bytes.size();
  p.output_size = out.bytes.size();
  p.changes = out.changes;
  p.in_place = p.output_name == file.entry_name();
  if (!p.in_place) {
    p.action = Action::kCreate;
  } else {
    p.action = SameBytes(out.bytes, bytes) ? Action::kUnchanged : Action::kChange;
  }
  return p;
}

RunReplay::RunReplay(Directory& directory, WritableCheck writable)
    : directory_(directory), writable_(std::move(writable)) {
  for (std::string& name : directory_.ListNames()) names_.insert(std::move(name));
  entries_ = EntriesToVisit(directory_);
  for (std::size_t i = 0; i < entries_.size(); ++i) positions_.emplace(entries_[i], i);
}

std::size_t RunReplay::Position(std::string_view name) const {
  const auto it = positions_.find(std::string(name));
  return it == positions_.end() ? std::string::npos : it->second;
}

Report RunReplay::Visit(std::size_t position) {
  while (next_ < position) Step(nullptr);
  Report report;
  Step(&report);
  return report;
}

void RunReplay::Step(Report* report) {
  const std::size_t position = next_++;
  const std::string& name = entries_[position];
  const LoadStatus status = directory_.Load(name, entry_);
  if (report != nullptr) {
    if (status == LoadStatus::kLoaded) {
      *report = Inspect(name, entry_.bytes(), false);
    } else {
      report->path = report->entry_name = name;
      report->error = LoadStatusText(status);
    }
  }
  // What railfmt reads at the entry's turn: an output written over it
  // earlier in the run, else the file as it stands.
  const auto pending = written_.find(name);
  const bool replaced = pending != written_.end() && !pending->second.bytes.empty();
  std::vector<std::uint8_t> run_bytes;
  if (replaced) run_bytes = std::move(pending->second.bytes);
  const std::span<const std::uint8_t> input = replaced ? std::span<const std::uint8_t>(run_bytes) : entry_.bytes();

  Prediction prediction;
  prediction.action = Action::kNone;
  if (replaced || status == LoadStatus::kLoaded) {
    std::optional<RecognisedFile> file;
    if (!replaced && report != nullptr) {
      file = report->file;
    } else {
      DiagnosticCapture quiet;
      file = RecogniseEntry(name, input);
    }
    if (file) prediction = PredictWrite(std::move(*file), name, input, position);
  }
  prediction.input_size = input.size();
  if (replaced) prediction.replaced_before_by = pending->second.by;
  if (report != nullptr) report->prediction = std::move(prediction);
}

Prediction RunReplay::PredictWrite(RecognisedFile file, const std::string& entry_name,
                                   std::span<const std::uint8_t> input, std::size_t position) {
  if (const std::optional<std::string> refused = file.RefusedName()) return Refusal(file, *refused);
  Encoded out = NormaliseAndEncode(file, input);
  Prediction p;
  p.output_name = file.OutputName();
  p.output_size = out.bytes.size();
  p.changes = std::move(out.changes);
  p.in_place = p.output_name == entry_name;

  // What stands under the output name at this point of the run.
  bool exists = false;
  bool same = false;
  if (const auto it = written_.find(p.output_name); it != written_.end()) {
    exists = true;
    p.replaced_size = it->second.size;
    same = it->second.size == out.bytes.size() && it->second.fingerprint == Fingerprint(out.bytes);
  } else if (p.output_name == entry_name) {
    exists = true;
    p.replaced_size = input.size();
    same = SameBytes(input, out.bytes);
  } else if (names_.contains(p.output_name)) {
    switch (directory_.Load(p.output_name, other_)) {
      case LoadStatus::kLoaded:
        exists = true;
        p.replaced_size = other_.bytes().size();
        same = SameBytes(other_.bytes(), out.bytes);
        break;
      case LoadStatus::kDirectory:
      case LoadStatus::kSpecial:
        p.action = Action::kRefuse;
        p.reason = p.output_name + " is not a regular file (railfmt says \"Can't open " + p.output_name + "!\")";
        return p;
      case LoadStatus::kMissing: break;
      default: exists = true; break;
    }
  }
  if (exists && writable_ && !writable_(p.output_name)) {
    p.action = Action::kRefuse;
    p.reason = "the user may not write " + p.output_name + " (railfmt says \"Can't open " + p.output_name + "!\")";
    return p;
  }
  if (!exists) {
    p.action = Action::kCreate;
  } else if (same) {
    p.action = Action::kUnchanged;
  } else {
    p.action = p.in_place ? Action::kChange : Action::kReplace;
  }
  if (p.action != Action::kUnchanged) {
    Written& record = written_[p.output_name];
    record.size = out.bytes.size();
    record.fingerprint = Fingerprint(out.bytes);
    record.by = entry_name;
    // Still to be visited: its turn reads these bytes.
    const std::size_t later = Position(p.output_name);
    if (later != std::string::npos && later > position) {
      record.bytes = std::move(out.bytes);
    } else {
      record.bytes.clear();
      record.bytes.shrink_to_fit();
    }
  }
  return p;
}

}  // namespace railfmt::inspect
