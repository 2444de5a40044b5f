// Rolling-stock files as files: the path-taking reader and writer, and the
// first place in the recognition cascade.
#pragma once

#include <string>

#include "driver/file_kind.h"
#include "rollingstock/rolling_stock.h"

namespace railfmt {

// Loads the file and reads it with ReadRollingStockBytes; a file that cannot
// be loaded reports "Can't open %s!\n" with the path and leaves Complete 0.
void ReadRollingStockFile(CRollmaterial& record, const std::string& path);

// Encodes the record and stores it under path, whole or not at all; a
// failure reports "Can't open %s!\n" (or "Can't write %s!\n") with the path.
void WriteRollingStockFile(CRollmaterial& record, const std::string& path);

// Tried first. A recognised file is written as "%s.rol" with the name from
// its own info block, and always in the working directory: a name holding
// '/' or '\' writes nothing and reports "Can't open %s!\n" with the name,
// while the entry still counts as rolling stock. An empty name writes ".rol".
extern const FileKind kRollingStockKind;

}  // namespace railfmt
