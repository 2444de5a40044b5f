// Model files (.mod): one model stream per file, and the model kind of the
// recognition cascade.
//
// A model followed by extra bytes still counts as read: the reader reports
// "EOF not found: %s!\n" and the writer drops the extra bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/model.h"
#include "driver/file_kind.h"

namespace railfmt {

// Loads the file and reads it as ReadModelBytes does; a file that cannot be
// read reports "Can't open %s!\n" with the path and leaves ReadOk 0.
void ReadModelFile(CModell& model, const std::string& path);

// ReadModelFirst over the bytes, then the end-of-data check with path,
// whether or not the read succeeded. stop_offset, when given, receives the
// offset at which the reader stopped.
void ReadModelBytes(CModell& model, std::span<const std::uint8_t> bytes, std::string_view path,
                    std::size_t* stop_offset = nullptr);

// The model as the first model of a new stream.
std::vector<std::uint8_t> EncodeModelFile(CModell& model);
// Stores EncodeModelFile(model) under path; a failure goes to the sink.
void WriteModelFile(CModell& model, const std::string& path);

// Recognises models and writes them as "%s.mod" with the entry's BaseName.
extern const FileKind kModelKind;

}  // namespace railfmt
