// Field primitives: fields with an expected value, length-prefixed strings.
//
// The Expect primitives read one field, compare it with the expected value
// and return 1 on a match, 0 otherwise; they consume the field either way.
// A numeric mismatch prints one line through the mismatch writer, the value
// found first and the expected value second:
//   ExpectShort  "I: %d S: %d\n"  both as signed 16-bit numbers
//   ExpectLong   "I: %d S: %d\n"  both as signed 32-bit numbers
//   ExpectByte   "I: %d S: %d\n"  both as unsigned 8-bit numbers
//   ExpectFloat  "I: %f S: %f Diff: %e\n"  single precision widened to double
// ExpectFloat compares values: +0.0 matches -0.0, and a NaN on either side
// counts as a match.
//
// A failed comparison is recorded in the cursor as a mismatch of the field
// being read (ReadCursor::Mismatch), a field the data cannot supply as cut
// short; the caller names the field first (in.Field("part count copy")).
//
// Short data: a field that the data cannot supply in full is never a match.
// The primitive then returns 0 and prints nothing (there is no value found).
//
// The string primitives compare or read an 8-bit or 16-bit length and then
// that many bytes. When the length differs from the expected text's, the
// bytes are not consumed and nothing is printed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

int ExpectShort(ReadCursor& in, int expected);
int ExpectLong(ReadCursor& in, std::int32_t expected);
int ExpectFloat(ReadCursor& in, float expected);
int ExpectByte(ReadCursor& in, int expected);

// The text must not hold a zero byte; a zero byte read among the string's
// bytes makes the comparison fail.
int ExpectString16(ReadCursor& in, std::string_view text);
int ExpectString8(ReadCursor& in, std::string_view text);

// Reads an 8-bit length L and L bytes. The result is cut at the first zero
// byte, as a zero-terminated copy of the bytes would be. Returns false (and
// leaves out unchanged) when the data ends inside the string.
bool ReadString8(ReadCursor& in, std::string& out);

// A 16-bit length, then the characters; no terminator.
void WriteString16(ByteWriter& out, std::string_view text);
// The length modulo 256 as one byte, then that many characters from the
// start of the text, so the file stays consistent with its own prefix.
void WriteString8(ByteWriter& out, std::string_view text);

// Float equality as the formats use it: by value, NaN on either side equal.
bool FloatsMatch(float a, float b);

}  // namespace railfmt
