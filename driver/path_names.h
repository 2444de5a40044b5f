// Names of directory entries and outputs.
//
// The formats come from a system whose paths separate directories with a
// backslash; BaseName and Extension keep that rule, so a name such as
// "a\b.mod" has the base name "b". A '/' never occurs in an entry's name.
#pragma once

#include <string>
#include <string_view>

namespace railfmt {

// The name without its directory part and without its last extension: the
// last '.' anywhere in the name is cut, so a '.' inside the directory part
// cuts only that part and the returned name stays whole.
std::string BaseName(std::string_view path);

// The extension without its dot, searched from after the last backslash;
// empty when there is none.
std::string Extension(std::string_view path);

// The driver passes over names that begin with '.' and names whose
// extension is "exe" in any letter case.
bool IsSkippedName(std::string_view name);

// The order in which the driver visits a directory's names: compared with
// ASCII a-z taken as A-Z, and where equal so, by their raw bytes.
bool DirectoryOrderLess(std::string_view a, std::string_view b);

}  // namespace railfmt
