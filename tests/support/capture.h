// Test support: collects every diagnostic and mismatch line while alive.
#pragma once

#include <string>
#include <vector>

#include "driver/diagnostics.h"

namespace railfmt::testing {

class CapturedOutput {
 public:
  CapturedOutput();
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  // Messages handed to the sink, in order.
  const std::vector<std::string>& messages() const { return messages_; }
  // Mismatch lines, concatenated as they would stand on standard output.
  const std::string& mismatches() const { return mismatches_; }
  // The last message, or "" when there was none.
  std::string last_message() const { return messages_.empty() ? std::string() : messages_.back(); }
  void Clear() {
    messages_.clear();
    mismatches_.clear();
  }

 private:
  std::vector<std::string> messages_;
  std::string mismatches_;
  DiagnosticSink previous_sink_;
  MismatchWriter previous_writer_;
};

}  // namespace railfmt::testing
