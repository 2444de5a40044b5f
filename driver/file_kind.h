// The recognition cascade's view of a file kind.
//
// Each kind (rolling stock, model, construction drawing, layout) offers one
// FileKind: its reader, tried on an entry's bytes, returns the object it
// filled when the entry is of that kind, and nothing otherwise. The object
// knows the name the batch tool writes it under and how to write itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace railfmt {

enum class EntryKind { kNone, kRollingStock, kModel, kConstruction, kLayout };

// "rolling stock", "model", "construction drawing", "layout", "none".
const char* EntryKindName(EntryKind kind);

class RecognisedFile {
 public:
  virtual ~RecognisedFile() = default;
  virtual EntryKind kind() const = 0;
  // The output name: "%s.rol" with the stored name for rolling stock, the
  // entry's BaseName with ".mod", ".kon" or ".anl" otherwise.
  virtual std::string OutputName() const = 0;
  // Writes the file under OutputName() in the working directory, normalised
  // as its kind does; failures go to the diagnostic sink.
  virtual void WriteOutput() = 0;
};

struct FileKind {
  EntryKind kind;
  // Runs the kind's reader on the bytes of the entry named entry_name (the
  // name its messages carry). Returns the filled object when the reader's
  // success flag is set, else nullptr; the reader's mismatch lines and
  // messages have gone out either way. When stop_offset is given, it
  // receives the byte offset at which the reader stopped (the end of what it
  // consumed, or the offset of the field it could not read in full).
  std::unique_ptr<RecognisedFile> (*try_read)(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                              std::size_t* stop_offset);
};

}  // namespace railfmt
