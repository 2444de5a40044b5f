// Construction drawings as files: the path-taking reader and writer, and the
// drawing's place in the recognition cascade.
#pragma once

#include <string>

#include "construction/construction_drawing.h"
#include "driver/file_kind.h"

namespace railfmt {

// Loads the file and reads it with ReadConstructionBytes; a file that cannot
// be loaded reports "Can't open %s!\n" with the path and leaves ReadOk 0.
void ReadConstructionFile(CKonstruktion& drawing, const std::string& path);

// Encodes the drawing and stores it under path, whole or not at all; a
// failure reports "Can't open %s!\n" (or "Can't write %s!\n") with the path.
void WriteConstructionFile(const CKonstruktion& drawing, const std::string& path);

// Tried third, after rolling stock and models; a recognised drawing is
// written as "%s.kon" with the entry's BaseName.
extern const FileKind kConstructionKind;

}  // namespace railfmt
