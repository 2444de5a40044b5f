#include "inspect/inspect.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "inspect/explain.h"

namespace railfmt::inspect {
namespace {

constexpr std::size_t kWindowReach = 16;

std::string WithoutNewline(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

// The kind the entry's extension names, as a user reads it.
EntryKind KindOfExtension(std::string_view entry_name) {
  std::string extension = Extension(entry_name);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (extension == "rol") return EntryKind::kRollingStock;
  if (extension == "mod") return EntryKind::kModel;
  if (extension == "kon") return EntryKind::kConstruction;
  if (extension == "anl") return EntryKind::kLayout;
  return EntryKind::kNone;
}

std::vector<std::size_t> Rank(const std::vector<KindAttempt>& attempts, EntryKind named) {
  std::vector<std::size_t> order(attempts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (attempts[a].stop_offset != attempts[b].stop_offset) return attempts[a].stop_offset > attempts[b].stop_offset;
    return attempts[a].kind == named && attempts[b].kind != named;
  });
  return order;
}

HexWindow WindowAround(const KindAttempt& attempt, std::span<const std::uint8_t> bytes) {
  HexWindow window;
  window.stop = std::min(attempt.stop_offset, bytes.size());
  window.begin = window.stop >= kWindowReach ? window.stop - kWindowReach : 0;
  const std::size_t end = std::min(bytes.size(), window.stop + kWindowReach);
  window.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(window.begin),
                      bytes.begin() + static_cast<std::ptrdiff_t>(end));
  if (attempt.field_end > attempt.field_begin) {
    window.mark_begin = std::clamp(attempt.field_begin, window.begin, end);
    window.mark_end = std::clamp(attempt.field_end, window.begin, end);
  } else {
    window.mark_begin = window.stop;
    window.mark_end = std::min(window.stop + 1, end);
  }
  return window;
}

}  // namespace

std::vector<std::string> KindAttempt::Messages() const {
  std::vector<std::string> out;
  for (const Said& s : said) {
    if (!s.is_mismatch) out.push_back(s.text);
  }
  return out;
}

std::vector<std::string> KindAttempt::MismatchLines() const {
  std::vector<std::string> out;
  for (const Said& s : said) {
    if (s.is_mismatch) out.push_back(s.text);
  }
  return out;
}

const KindAttempt* Report::MostLikely() const { return ranking.empty() ? nullptr : &attempts[ranking.front()]; }

Report Inspect(std::string_view entry_name, std::span<const std::uint8_t> bytes, bool predict) {
  Report report;
  report.path = std::string(entry_name);
  report.entry_name = std::string(entry_name);
  report.size = bytes.size();
  for (EntryKind kind : kCascadeOrder) {
    KindAttempt& attempt = report.attempts.emplace_back();
    attempt.kind = kind;
    std::optional<KindRead> read;
    {
      DiagnosticCapture capture;
      read.emplace(ReadKind(kind, bytes, entry_name));
      for (const Diagnostic& d : capture.entries()) attempt.said.push_back({d.is_mismatch, WithoutNewline(d.text), ""});
    }
    attempt.accepted = read->result.accepted;
    attempt.stop_offset = read->result.stop_offset;
    Explain(attempt, read->object, bytes);
    if (attempt.accepted) {
      report.file.emplace(std::move(read->object), std::string(entry_name));
      break;
    }
  }
  if (!report.recognised()) {
    report.ranking = Rank(report.attempts, KindOfExtension(entry_name));
    report.window = WindowAround(*report.MostLikely(), bytes);
    report.prediction.action = Action::kNone;
  } else if (predict) {
    report.prediction = PredictAlone(*report.file, bytes);
  }
  if (!predict && report.recognised()) report.prediction.action = Action::kUnknown;
  return report;
}

EntryKind NamedKind(std::string_view entry_name) { return KindOfExtension(entry_name); }

}  // namespace railfmt::inspect
