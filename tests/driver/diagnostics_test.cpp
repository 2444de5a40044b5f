#include "driver/diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

TEST(Diagnostics, FormattingAndReportingAreSeparateSteps) {
  DiagnosticCapture captured;
  FormatMessage("Gleis Nr. %d fehlerhaft!\n", -7);
  EXPECT_EQ(MessageBuffer(), "Gleis Nr. -7 fehlerhaft!\n");
  EXPECT_TRUE(captured.messages().empty()) << "formatting alone reports nothing";
  ReportMessage();
  ReportMessage();
  EXPECT_EQ(captured.messages(),
            (std::vector<std::string>{"Gleis Nr. -7 fehlerhaft!\n", "Gleis Nr. -7 fehlerhaft!\n"}));
}

TEST(Diagnostics, AMessageThatCannotBeFormattedLeavesAnEmptyBuffer) {
  // A wide character without a narrow form fails the conversion: the
  // buffer must not keep the previous message or half of this one.
  DiagnosticCapture captured;
  FormatMessage("before\n");
  FormatMessage("%ls", L"\xdfff");
  EXPECT_EQ(MessageBuffer(), "");
}

TEST(Diagnostics, TheSinkCanBeReplacedAndTheDiscardingDefaultRestored) {
  std::vector<std::string> seen;
  DiagnosticSink previous = SetDiagnosticSink([&seen](std::string_view m) { seen.emplace_back(m); });
  Report("Datei zu lang!\n");
  SetDiagnosticSink(nullptr);
  Report("Formatfehler!\n");  // discarded
  SetDiagnosticSink(std::move(previous));
  EXPECT_EQ(seen, std::vector<std::string>{"Datei zu lang!\n"});
}

}  // namespace
}  // namespace railfmt
