// Test support: sample files picked by the kind the cascade recognises.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/file_kind.h"
#include "tools/samples/sample_files.h"

namespace railfmt::testing {

struct KindSample {
  SampleFile sample;
  EntryKind kind = EntryKind::kNone;
  std::string output_name;  // what the batch tool writes it as, stored under sample.name
};

// Every sample with the kind that recognises it (samples no kind reads are
// left out).
std::vector<KindSample> RecognisedSamples();

// The sample stored under name, and the first sample of a kind; each throws
// std::logic_error when there is none.
std::vector<std::uint8_t> Sample(const std::string& name);
std::vector<std::uint8_t> SampleOf(EntryKind kind);

// A model that is not in normal form: a sample model with one byte after
// its last field. The model reader accepts it and the rewrite drops the byte.
std::vector<std::uint8_t> ModelWithTrailingByte();

// The rolling-stock sample with name stored in its info block: the name the
// batch writes it under, with ".rol".
std::vector<std::uint8_t> RollingStockNamed(const std::string& name);

}  // namespace railfmt::testing
