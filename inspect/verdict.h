// The verdict on a file, as its owner judges it: in order, will be tidied
// (and what changes), damaged (and where, in one line), or not a planning
// file at all; what to do about it; and what else to know (a warning).
//
// Which kind a damaged file most likely is, the way a person judges it: a
// kind whose identifying header holds and whose name the file bears first,
// then any kind whose header holds, then the kind the name says, and only
// then the reader that got furthest. A layout has no identifying header.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "inspect/report.h"
#include "inspect/words.h"

namespace railfmt::inspect {

// Why the bytes are not a planning file at all ("it begins with text",
// "it looks like a PNG image", "it holds only zero bytes"); empty when they
// may be one.
std::string ForeignReason(std::span<const std::uint8_t> bytes, const Words& words);

// Orders the attempts of a rejected file, most likely first (report.ranking),
// and says in one sentence why that kind was chosen (report.likely_why).
void RankAttempts(Report& report, const Words& words);

// Fills the verdict, its line, the next step and the warnings from the
// attempts and the prediction; bytes are the file's. The reasons of the
// attempts must be filled.
void JudgeReport(Report& report, std::span<const std::uint8_t> bytes, const Words& words);

// The name of a kind as its owners know it: "model (.mod)", "Modell (.mod)".
std::string KindWords(EntryKind kind, const Words& words);

// What normalising changes, in short: "2 bridges placed, 1 duplicate model
// removed" (each kind of change, then joined); and change by change, each
// a sentence.
std::vector<std::string> ChangesCounted(const Normalisation& changes, const Words& words);
std::string ChangesInShort(const Normalisation& changes, const Words& words);
std::vector<std::string> ChangesInDetail(const Normalisation& changes, const Words& words);

// What railfmt does, in one sentence ("writes x.mod beside it").
std::string PredictionText(const Prediction& prediction, const Words& words);

}  // namespace railfmt::inspect
