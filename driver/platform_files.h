// The operating-system layer: the only code that enumerates directories or
// reads files. Everything above it works on names and bytes in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt {

// The names of every entry of a directory, "." and ".." included, in the
// order the system delivers them. Empty when the directory cannot be read.
std::vector<std::string> ListDirectoryNames(const std::string& directory);

// Reads a whole regular file (symbolic links followed) into out with as few
// system calls as its size allows. Anything that is not a regular file
// (directories, FIFOs, sockets, devices) is never opened and fails, as does a
// file that cannot be opened or read; a FIFO never blocks the call.
bool LoadRegularFile(const std::string& path, std::vector<std::uint8_t>& out);

}  // namespace railfmt
