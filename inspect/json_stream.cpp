#include "inspect/json_stream.h"

#include <utility>

namespace railfmt::inspect {
namespace {

constexpr std::size_t kFlushSize = 1 << 16;

}  // namespace

JsonStream::JsonStream(Sink sink, int indent, int depth)
    : sink_(std::move(sink)), indent_(indent), depth_(depth > 0 ? static_cast<std::size_t>(depth) : 0) {}

JsonStream::~JsonStream() { Flush(); }

void JsonStream::Flush() {
  if (!buffer_.empty()) sink_(buffer_);
  buffer_.clear();
}

void JsonStream::NewLine(std::size_t depth) {
  if (indent_ < 0) return;
  buffer_ += '\n';
  buffer_.append(depth * static_cast<std::size_t>(indent_), ' ');
}

void JsonStream::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (empty_.empty()) return;
  if (!empty_.back()) buffer_ += ',';
  empty_.back() = false;
  NewLine(depth_ + empty_.size());
}

void JsonStream::BeginObject() {
  BeforeValue();
  buffer_ += '{';
  empty_.push_back(true);
}

void JsonStream::BeginArray() {
  BeforeValue();
  buffer_ += '[';
  empty_.push_back(true);
}

void JsonStream::Close(char bracket) {
  const bool empty = empty_.back();
  empty_.pop_back();
  if (!empty) NewLine(depth_ + empty_.size());
  buffer_ += bracket;
  if (buffer_.size() >= kFlushSize) Flush();
}

void JsonStream::EndObject() { Close('}'); }
void JsonStream::EndArray() { Close(']'); }

void JsonStream::Key(std::string_view key) {
  if (!empty_.back()) buffer_ += ',';
  empty_.back() = false;
  NewLine(depth_ + empty_.size());
  buffer_ += Json(std::string(key)).dump();
  buffer_ += indent_ < 0 ? ":" : ": ";
  after_key_ = true;
}

void JsonStream::Value(const Json& value) {
  BeforeValue();
  const std::string text = value.dump(indent_, ' ', false, Json::error_handler_t::replace);
  if (indent_ < 0) {
    buffer_ += text;
  } else {
    const std::string prefix((depth_ + empty_.size()) * static_cast<std::size_t>(indent_), ' ');
    for (const char c : text) {
      buffer_ += c;
      if (c == '\n') buffer_ += prefix;
    }
  }
  if (buffer_.size() >= kFlushSize) Flush();
}

}  // namespace railfmt::inspect
