// JSON written as it is produced: a file's content can be many times the
// size of the file as a document tree, so the big lists (points, tracks,
// line records, ...) are written record by record, each record a small
// tree of its own, and the text goes out through a sink in pieces. Nothing
// but the record at hand and a small buffer is held.
//
// The text is the one nlohmann's dump gives for the same tree: one line, or
// pretty-printed with indent spaces per level.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/json_values.h"

namespace railfmt::inspect {

class JsonStream {
 public:
  using Sink = std::function<void(std::string_view text)>;

  // indent: spaces per level, -1 for one line; depth: the level the first
  // value stands at (its first line is not indented).
  explicit JsonStream(Sink sink, int indent = -1, int depth = 0);
  ~JsonStream();
  JsonStream(const JsonStream&) = delete;
  JsonStream& operator=(const JsonStream&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The key of the next member of the open object.
  void Key(std::string_view key);
  // A whole value: a member's after Key, an element of the open array, or
  // the document.
  void Value(const Json& value);
  void Member(std::string_view key, const Json& value) {
    Key(key);
    Value(value);
  }
  // A member whose value is the list of convert(item) for every item.
  template <typename Range, typename Convert>
  void ListMember(std::string_view key, const Range& range, Convert convert) {
    Key(key);
    BeginArray();
    for (const auto& item : range) Value(convert(item));
    EndArray();
  }
  // Hands what is buffered to the sink.
  void Flush();

 private:
  void BeforeValue();
  void NewLine(std::size_t depth);
  void Close(char bracket);

  Sink sink_;
  int indent_;
  std::size_t depth_;
  std::string buffer_;
  std::vector<bool> empty_;  // per open object or array: nothing in it yet
  bool after_key_ = false;
};

}  // namespace railfmt::inspect
