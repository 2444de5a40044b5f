#include "tools/railinspect/json_content.h"

namespace railfmt::inspect {

Json ContentJson(const FileReport& report) {
  if (!report.recognised()) return nullptr;
  return nullptr;
}

}  // namespace railfmt::inspect
