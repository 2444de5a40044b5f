#include "driver/recognition_cascade.h"

#include <type_traits>
#include <utility>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

// The face of the kind whose reader fills an Object.
template <typename Object>
struct FaceOf;
template <>
struct FaceOf<CRollmaterial> {
  using type = RollingStockKind;
};
template <>
struct FaceOf<CModell> {
  using type = ModelKind;
};
template <>
struct FaceOf<CKonstruktion> {
  using type = ConstructionKind;
};
template <>
struct FaceOf<CAnlage> {
  using type = LayoutKind;
};

// Calls f with the face and the object.
template <typename Variant, typename F>
decltype(auto) WithFace(Variant& object, F&& f) {
  return std::visit(
      [&](auto& o) -> decltype(auto) {
        using Face = typename FaceOf<std::remove_const_t<std::remove_reference_t<decltype(o)>>>::type;
        return f(Face{}, o);
      },
      object);
}

// The names the models' and the drawing's messages carry ("%s").
void SetMessageNames(CRollmaterial& record, const std::optional<std::string>& name) {
  for (CModell& model : record.Models) model.Name = name;
}
void SetMessageNames(CModell& model, const std::optional<std::string>& name) { model.Name = name; }
void SetMessageNames(CKonstruktion& drawing, const std::optional<std::string>& name) { drawing.Name = name; }
void SetMessageNames(CAnlage& /*layout*/, const std::optional<std::string>& /*name*/) {}

template <typename Face>
KindRead ReadFace(std::span<const std::uint8_t> bytes, std::string_view entry_name, MessageNames names) {
  typename Face::Object object;
  if (names == MessageNames::kEntryName) SetMessageNames(object, std::string(entry_name));
  const ReadResult read = Face::Read(bytes, entry_name, object);
  if (names == MessageNames::kEntryName) SetMessageNames(object, std::nullopt);
  return {std::move(object), read};
}

}  // namespace

EntryKind RecognisedFile::kind() const {
  return WithFace(object_, [](auto face, const auto&) { return decltype(face)::kKind; });
}

std::string RecognisedFile::OutputName() const {
  return WithFace(object_, [&](auto face, const auto& o) { return decltype(face)::OutputName(o, entry_name_); });
}

std::optional<std::string> RecognisedFile::RefusedName() const {
  return WithFace(object_, [](auto face, const auto& o) -> std::optional<std::string> {
    using Face = decltype(face);
    if constexpr (requires { Face::RefusedName(o); }) {
      return Face::RefusedName(o);
    } else {
      return std::nullopt;
    }
  });
}

Normalisation RecognisedFile::Normalise() {
  return WithFace(object_, [](auto face, auto& o) { return decltype(face)::Normalise(o); });
}

void RecognisedFile::Encode(ByteWriter& out) const {
  WithFace(object_, [&](auto face, const auto& o) { decltype(face)::Encode(o, out); });
}

std::vector<std::uint8_t> RecognisedFile::Encode() const {
  ByteWriter out;
  Encode(out);
  return out.Take();
}

KindRead ReadKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                  MessageNames names) {
  switch (kind) {
    case EntryKind::kRollingStock: return ReadFace<RollingStockKind>(bytes, entry_name, names);
    case EntryKind::kModel: return ReadFace<ModelKind>(bytes, entry_name, names);
    case EntryKind::kConstruction: return ReadFace<ConstructionKind>(bytes, entry_name, names);
    case EntryKind::kLayout:
    case EntryKind::kNone: break;
  }
  return ReadFace<LayoutKind>(bytes, entry_name, names);
}

std::optional<RecognisedFile> TryKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                      ReadResult* result, MessageNames names) {
  if (kind == EntryKind::kNone) {
    if (result != nullptr) *result = {};
    return std::nullopt;
  }
  KindRead read = ReadKind(kind, bytes, entry_name, names);
  if (result != nullptr) *result = read.result;
  if (!read.result.accepted) return std::nullopt;
  return RecognisedFile(std::move(read.object), std::string(entry_name));
}

std::optional<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes) {
  for (EntryKind kind : kCascadeOrder) {
    if (auto file = TryKind(kind, bytes, entry_name)) return file;
  }
  return std::nullopt;
}

void ReportUnreadableEntry(std::string_view entry_name) {
  for (std::size_t i = 0; i < kCascadeOrder.size(); ++i) ReportOpenFailure(entry_name);
}

}  // namespace railfmt
