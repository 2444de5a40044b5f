// The memory a container lets a process use, read from its control groups:
// a limit there is met by the kernel ending the process (the OOM killer),
// not by a failed allocation, so the run must keep below it itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace railfmt {

// What the process may still take: over the memory control groups it
// belongs to and each of their parents, the tightest limit (cgroup v2
// memory.max, v1 memory.limit_in_bytes) less what is in use there, page
// cache the kernel can drop not counted. Nothing when no limit applies.
// root is put before every path read: "" for the system's own files.
std::optional<std::uint64_t> ContainerMemoryLeft(const std::string& root = "");

}  // namespace railfmt
