// Layout files (.anl): the reader and writer of the whole file, and the
// layout kind of the recognition cascade.
//
// Reading is strict and never accepts short data. Messages:
//   a track fails         "Gleis Nr. %d fehlerhaft!\n", after "%s: Unbekannter Typ %d!\n"
//                         for a type that is not accepted
//   a placed model fails  "Modell Nr. %d fehlerhaft!\n"
//   a vehicle fails       "Dll-Modell \"%s\" kann nicht benutzt werden!\n" when its name
//                         ends in ".dll" in any letter case, else "Rollmaterial Nr. %d fehlerhaft!\n"
//   a zero byte of the properties is not 0: its mismatch line only
//   the 20-byte properties block is short: "Feher in Eigenschaften!\n"
//   the data ends inside a count, a block, a triplet, the final value or a
//   trailer: "Formatfehler!\n"
//   bytes follow the last trailer: "Datei zu lang!\n"
// The number in a record's message is its Number as far as it was read (0
// when not even that was). A failed read leaves what it read in the layout:
// each array holds the records read, the one that failed last.
//
// Writing normalises: bridge and buffer-stop models are placed again from
// their tracks, exact duplicate models removed, entries numbered 0 dropped
// (the counts written are those of the numbered entries) and types 7, 8, 9
// without a variant written as 1, 3, 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/file_kind.h"
#include "layout/layout.h"

namespace railfmt {

// Reads a layout from the bytes of a whole file into an empty layout. ReadOk
// becomes 1 on success, and the models are then linked to their tracks.
// path names the file; no layout message carries it. stop_offset, when
// given, receives the offset at which the reader stopped: the end of what it
// consumed (one byte past the end for "Datei zu lang!\n"), or the start of
// the field the data could not supply in full.
void ReadLayoutBytes(CAnlage& layout, std::span<const std::uint8_t> bytes, std::string_view path,
                     std::size_t* stop_offset = nullptr);

// Places the linked models, removes duplicates (both change the layout) and
// returns the file.
std::vector<std::uint8_t> EncodeLayoutFile(CAnlage& layout);
// The sections as the writer stores them (entries numbered 0 dropped, track
// types recomputed), without placing or removing any model first.
std::vector<std::uint8_t> EncodeLayoutSections(CAnlage& layout);

// The file-level entry points: "Can't open %s!\n" when the file cannot be
// read or the output cannot be stored.
void ReadLayoutFile(CAnlage& layout, const std::string& path);
void WriteLayoutFile(CAnlage& layout, const std::string& path);

// The layout kind: written as "%s.anl" with the entry's BaseName.
extern const FileKind kLayoutKind;

}  // namespace railfmt
