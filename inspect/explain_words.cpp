#include "inspect/explain_words.h"

#include <cstdio>
#include <cstdlib>

namespace railfmt::inspect::explain {

std::string N(std::size_t value) { return std::to_string(value); }

std::string Tag(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
  return text;
}

std::string Tag(std::string_view signed_decimal) {
  const long value = std::strtol(std::string(signed_decimal).c_str(), nullptr, 10);
  return Tag(static_cast<unsigned>(value));
}

std::string Quote(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      out += escaped;
    }
  }
  return out + "\"";
}

unsigned U16At(const Context& context, std::size_t offset) {
  if (offset > context.size() || context.size() - offset < 2) return 0;
  return static_cast<unsigned>(context.bytes[offset]) | static_cast<unsigned>(context.bytes[offset + 1]) << 8;
}

Finding DataEnds(const Context& context, const std::string& field, std::size_t width) {
  const std::size_t size = context.size();
  if (context.stop >= size) {
    return {"the data ends at byte " + N(size) + ", where " + field + " should begin", size, size};
  }
  std::string text = "the data ends at byte " + N(size) + ", inside " + field + " at byte " + N(context.stop);
  if (width > 0) text += " (" + N(width) + " bytes needed, " + N(size - context.stop) + " left)";
  return {text, context.stop, size};
}

Finding CheckedField(const Context& context, const std::string& field, std::size_t width, bool tags,
                     const std::string& must) {
  const std::size_t begin = context.stop >= width ? context.stop - width : 0;
  if (context.mismatch) {
    const std::string found = tags ? Tag(context.mismatch->first) : context.mismatch->first;
    const std::string expected = tags ? Tag(context.mismatch->second) : context.mismatch->second;
    return {field + " at byte " + N(begin) + " must " + (must.empty() ? "be " + expected : must) + ", found " + found,
            begin, context.stop};
  }
  // A check that reads its value prints a mismatch line when it differs:
  // without one, the data ran out, at this field or at a record before it
  // (a record the data cannot supply leaves every later field short too).
  if (context.ShortAt(width) || context.stop >= context.size()) return DataEnds(context, field, width);
  return {"the data ends at byte " + N(context.size()) + ": the reader ran out at byte " + N(context.stop) +
              ", where a record needs more than the " + N(context.size() - context.stop) + " bytes left, before " +
              field,
          context.stop, context.size()};
}

}  // namespace railfmt::inspect::explain
