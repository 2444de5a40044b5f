#include "tests/support/capture.h"

namespace railfmt::testing {

CapturedOutput::CapturedOutput() {
  previous_sink_ = SetDiagnosticSink([this](std::string_view m) { messages_.emplace_back(m); });
  previous_writer_ = SetMismatchWriter([this](std::string_view l) { mismatches_.append(l); });
}

CapturedOutput::~CapturedOutput() {
  SetDiagnosticSink(std::move(previous_sink_));
  SetMismatchWriter(std::move(previous_writer_));
}

}  // namespace railfmt::testing
