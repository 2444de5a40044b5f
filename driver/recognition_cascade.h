// The recognition cascade: every entry is tried as rolling stock, model,
// construction drawing and layout, in that order, and the first kind whose
// reader accepts it is the only one written. The cascade hands back the
// object that reader filled, behind one face for all kinds.
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

// The kinds in the order they are tried.
inline constexpr std::array<EntryKind, 4> kCascadeOrder = {EntryKind::kRollingStock, EntryKind::kModel,
                                                           EntryKind::kConstruction, EntryKind::kLayout};

// A file one kind's reader accepted, with the object it filled.
class RecognisedFile {
 public:
  using Object = std::variant<CRollmaterial, CModell, CKonstruktion, CAnlage>;

  RecognisedFile(Object object, std::string entry_name)
      : object_(std::move(object)), entry_name_(std::move(entry_name)) {}

  EntryKind kind() const;
  const std::string& entry_name() const { return entry_name_; }
  // The name the batch writes the object under.
  std::string OutputName() const;
  // When the object's own content names an output that must not be made:
  // the text "Can't open %s!\n" carries. Nothing otherwise.
  std::optional<std::string> RefusedName() const;
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

// How the readers' messages name the file. The batch keeps the format's
// own wording, whose "%s" is a name the file does not store and so reads
// "(null)"; a report for people names the entry there instead.
enum class MessageNames { kAsStored, kEntryName };

// Runs one kind's reader on an entry's bytes. Returns the filled object when
// the reader accepts them; result, when given, receives the reader's verdict
// and stop offset either way. The reader's mismatch lines and messages have
// gone out in both cases.
std::optional<RecognisedFile> TryKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                      ReadResult* result = nullptr, MessageNames names = MessageNames::kAsStored);

// One kind's reader run on an entry's bytes: the object it filled, whether
// or not it accepted them (a rejected object holds what was read before the
// fault), and its verdict and stop offset.
struct KindRead {
  RecognisedFile::Object object;
  ReadResult result;
};

// Runs the reader of kind (not kNone) as TryKind does and keeps the object
// either way; a report for people looks into what a rejected read reached.
KindRead ReadKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                  MessageNames names = MessageNames::kAsStored);

// Tries every kind in cascade order; nothing when none accepts the bytes.
std::optional<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes);

// Tells every kind that the entry could not be read: each reader reports
// "Can't open %s!\n" with the name, as it would for a file it cannot open.
void ReportUnreadableEntry(std::string_view entry_name);

}  // namespace railfmt
