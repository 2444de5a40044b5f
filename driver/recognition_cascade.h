// The recognition cascade: every entry is tried as rolling stock, model,
// construction drawing and layout, in that order, and the first kind whose
// reader accepts it is the only one written. The cascade hands back the
// object that reader filled, behind one face for all kinds.
//
// Kinds is the one list of the kinds, in cascade order: the object variant,
// the order, the dispatch to a kind's face, the kinds' names and their
// extensions all derive from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "archive/model_kind.h"
#include "construction/construction_kind.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"
#include "layout/layout_kind.h"
#include "rollingstock/rolling_stock_kind.h"

namespace railfmt {

template <typename... Faces>
struct KindList {
  static constexpr std::size_t kCount = sizeof...(Faces);
  using Object = std::variant<typename Faces::Object...>;
  static constexpr std::array<EntryKind, kCount> kOrder = {Faces::kKind...};
  static constexpr std::array<const char*, kCount> kNames = {Faces::kName...};
  static constexpr std::array<const char*, kCount> kExtensions = {Faces::kExtension...};
};

// The kinds, in the order they are tried.
using Kinds = KindList<RollingStockKind, ModelKind, ConstructionKind, LayoutKind>;
inline constexpr std::array<EntryKind, Kinds::kCount> kCascadeOrder = Kinds::kOrder;

// "rolling stock", "model", "construction drawing", "layout"; "none".
const char* EntryKindName(EntryKind kind);
// "rol", "mod", "kon", "anl"; "" for kNone.
const char* EntryKindExtension(EntryKind kind);
// The kind a name's last extension names (any letter case); kNone for any
// other name.
EntryKind KindOfExtension(std::string_view entry_name);

// A file one kind's reader accepted, with the object it filled.
class RecognisedFile {
 public:
  using Object = Kinds::Object;

  RecognisedFile(Object object, std::string entry_name)
      : object_(std::move(object)), entry_name_(std::move(entry_name)) {}

  EntryKind kind() const;
  const std::string& entry_name() const { return entry_name_; }
  // The name the batch writes the object under.
  std::string OutputName() const;
  // When the output must not be made (a name the object's own content
  // gives unsafely, or any output name that begins with '.', hidden from
  // every later run): the text "Can't open %s!\n" carries, and why.
  // Nothing otherwise.
  std::optional<RefusedOutput> RefusedName() const;
  // Changes the object into the form the batch writes; says what changed.
  Normalisation Normalise();
  // The object in file form, as it stands.
  void Encode(ByteWriter& out) const;
  std::vector<std::uint8_t> Encode() const;

  const Object& object() const { return object_; }
  // The object when it is of type T, else null.
  template <typename T>
  const T* As() const {
    return std::get_if<T>(&object_);
  }

 private:
  Object object_;
  std::string entry_name_;
};

// One kind's reader run on an entry's bytes: the object it filled, whether
// or not it accepted them (a rejected object holds what was read before the
// fault), and its verdict, stop offset and fault.
struct KindRead {
  RecognisedFile::Object object;
  ReadResult result;
};

// Runs the reader of kind (not kNone) on an entry's bytes and keeps the
// object either way. The reader's mismatch lines and messages have gone out.
KindRead ReadKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name);

// Runs one kind's reader; the filled object when the reader accepts the
// bytes. result, when given, receives the reader's verdict either way.
std::optional<RecognisedFile> TryKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                      ReadResult* result = nullptr);

// Tries every kind in cascade order; nothing when none accepts the bytes.
// attempts, when given, receives each kind's verdict in cascade order, up to
// the one that accepted the bytes.
std::optional<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                             std::vector<ReadResult>* attempts = nullptr);

// Tells every kind that the entry could not be read: each reader reports
// "Can't open %s!\n" with the name, as it would for a file it cannot open.
void ReportUnreadableEntry(std::string_view entry_name);

}  // namespace railfmt
