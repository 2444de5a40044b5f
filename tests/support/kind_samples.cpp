#include "tests/support/kind_samples.h"

#include <stdexcept>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "rollingstock/rolling_stock_kind.h"

namespace railfmt::testing {

std::vector<KindSample> RecognisedSamples() {
  DiagnosticCapture quiet;
  std::vector<KindSample> result;
  for (SampleFile& sample : MakeSampleFiles()) {
    const auto file = RecogniseEntry(sample.name, sample.bytes);
    if (!file) continue;
    result.push_back({std::move(sample), file->kind(), file->OutputName()});
  }
  return result;
}

std::vector<std::uint8_t> Sample(const std::string& name) {
  for (const SampleFile& f : MakeSampleFiles()) {
    if (f.name == name) return f.bytes;
  }
  throw std::logic_error("no sample " + name);
}

std::vector<std::uint8_t> SampleOf(EntryKind kind) {
  for (const KindSample& s : RecognisedSamples()) {
    if (s.kind == kind) return s.sample.bytes;
  }
  throw std::logic_error(std::string("no sample of kind ") + EntryKindName(kind));
}

std::vector<std::uint8_t> ModelWithTrailingByte() {
  std::vector<std::uint8_t> bytes = SampleOf(EntryKind::kModel);
  bytes.push_back(0x5A);
  return bytes;
}

std::vector<std::uint8_t> RollingStockNamed(const std::string& name) {
  DiagnosticCapture quiet;
  CRollmaterial record;
  if (!RollingStockKind::Read(SampleOf(EntryKind::kRollingStock), "sample", record).accepted) {
    throw std::logic_error("the rolling-stock sample is not read");
  }
  record.Info.Name = name;
  return EncodeToBytes<RollingStockKind>(record);
}

}  // namespace railfmt::testing
