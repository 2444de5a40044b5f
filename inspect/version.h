// railinspect's version: the project's.
#pragma once

namespace railfmt::inspect {

inline constexpr const char* kRailinspectVersion = RAILFMT_VERSION;

}  // namespace railfmt::inspect
