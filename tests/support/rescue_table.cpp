#include "tests/support/rescue_table.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

#include "tests/support/damage_table.h"
#include "tests/support/kind_samples.h"
#include "tools/make_corpus/corpus.h"

namespace railfmt::testing {
namespace {

// The corpus drawn from: the first files of one seed.
constexpr std::uint64_t kCorpusSeed = 1;
constexpr std::size_t kCorpusFiles = 300;

std::string Guards(const inspect::Rescue& rescue) {
  const FieldFault& fault = rescue.fault;
  if (!fault) return rescue.outcome == inspect::RescueOutcome::kNeedsNone ? "accepted" : "no reader";
  std::string text = std::string(CauseName(fault.cause)) + " at ";
  for (std::size_t i = 0; i < fault.depth(); ++i) text += std::string(fault.places[i].record) + "/";
  return text + fault.field;
}

}  // namespace

const std::vector<RescueSource>& RescueSources() {
  static const std::vector<RescueSource> sources = [] {
    std::vector<RescueSource> all;
    for (KindSample& s : RecognisedSamples()) all.push_back({s.sample.name, s.kind, std::move(s.sample.bytes)});
    std::map<EntryKind, RescueSource> smallest;
    for (std::size_t i = 0; i < kCorpusFiles; ++i) {
      CorpusFile file = MakeCorpusFile(kCorpusSeed, i);
      RescueSource source{"corpus/" + std::to_string(kCorpusSeed) + "/" + std::to_string(i) + "/" + file.name,
                          file.kind, std::move(file.bytes), true, false};
      if (file.name.starts_with("cut")) {
        source.kind = KindOfExtension(file.name);
        source.cut = false;
        all.push_back(std::move(source));
      } else if (source.kind != EntryKind::kNone) {
        auto [it, fresh] = smallest.try_emplace(source.kind, source);
        if (!fresh && source.bytes.size() < it->second.bytes.size()) it->second = std::move(source);
      }
    }
    for (auto& [kind, source] : smallest) all.push_back(std::move(source));
    return all;
  }();
  return sources;
}

const RescueSource& RescueSourceNamed(const std::string& name) {
  for (const RescueSource& source : RescueSources()) {
    if (source.name == name) return source;
  }
  throw std::logic_error("no rescue source " + name);
}

std::vector<RescueCase> RescueCases(const RescueSource& source) {
  std::vector<RescueCase> cases;
  if (!source.cut && !source.invert) cases.push_back({0, "as made"});
  for (std::size_t offset = 0; source.cut && offset < source.bytes.size(); ++offset) cases.push_back({offset, "cut"});
  for (std::size_t offset = 0; source.invert && offset < source.bytes.size(); ++offset) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned>(~source.bytes[offset] & 0xFFu));
    cases.push_back({offset, hex});
  }
  return cases;
}

std::vector<std::uint8_t> RescueInput(const RescueSource& source, const RescueCase& c) {
  return c.damage == "as made" ? source.bytes : Damaged(source.bytes, c.offset, c.damage);
}

inspect::Rescue RescueOf(const RescueSource& source, std::span<const std::uint8_t> damaged) {
  static const inspect::Words english;
  return inspect::RescueFile(source.name.substr(source.name.rfind('/') + 1), damaged, english, source.kind);
}

RescueRow RowOfRescue(const RescueSource& source, const RescueCase& c, const inspect::Rescue& rescue) {
  RescueRow row{source.name, c, inspect::RescueOutcomeName(rescue.outcome), "", "", Guards(rescue)};
  for (const inspect::KeptRecords& list : rescue.kept) {
    row.kept += (row.kept.empty() ? "" : " ") + std::string(list.id) + " " + std::to_string(list.kept) + "/" +
                (list.total == inspect::KeptRecords::kUnknown ? "-" : std::to_string(list.total));
  }
  for (const inspect::LostPart& part : rescue.lost) {
    row.lost += (row.lost.empty() ? "" : " ") + std::string(part.id) + " " + std::to_string(part.count);
  }
  return row;
}

std::vector<RescueRow> RescueRows(const RescueSource& source) {
  std::vector<RescueRow> rows;
  std::set<std::string> seen;
  for (const RescueCase& c : RescueCases(source)) {
    RescueRow row = RowOfRescue(source, c, RescueOf(source, RescueInput(source, c)));
    // The field's name is left out of what makes two rescues the same.
    const std::string key = (c.damage == "cut" ? "cut|" : "byte|") + row.outcome + "|" + row.kept + "|" + row.lost +
                            "|" + row.guards.substr(0, row.guards.rfind('/'));
    if (seen.insert(key).second) rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const RescueRow& a, const RescueRow& b) { return a.damage.offset < b.damage.offset; });
  return rows;
}

std::string RescueRowLine(const RescueRow& row) {
  return row.source + "\t" + std::to_string(row.damage.offset) + "\t" + row.damage.damage + "\t" + row.outcome + "\t" +
         row.kept + "\t" + row.lost + "\t" + row.guards;
}

RescueRow RescueRowOf(const std::vector<std::string>& fields) {
  std::vector<std::string> f = fields;
  f.resize(7);
  return {f[0], {std::stoul(f[1]), f[2]}, f[3], f[4], f[5], f[6]};
}

}  // namespace railfmt::testing
