#include "driver/recognition_cascade.h"

#include <tuple>
#include <type_traits>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "driver/words_for_people.h"

namespace railfmt {
namespace {

template <typename List>
struct FacesOf;
template <typename... Faces>
struct FacesOf<KindList<Faces...>> {
  using type = std::tuple<Faces...>;
};
using FaceTuple = FacesOf<Kinds>::type;

// The position in the list of the face whose reader fills Object.
template <typename Object, typename Tuple>
struct FaceIndex;
template <typename Object, typename... Faces>
struct FaceIndex<Object, std::tuple<Faces...>> {
  static constexpr std::size_t value = [] {
    constexpr bool kMatches[] = {std::is_same_v<typename Faces::Object, Object>...};
    std::size_t i = 0;
    while (i < sizeof...(Faces) && !kMatches[i]) ++i;
    return i;
  }();
};

// Calls f with the face of the object's kind and the object.
template <typename Variant, typename F>
decltype(auto) WithFace(Variant& object, F&& f) {
  return std::visit(
      [&](auto& o) -> decltype(auto) {
        using Object = std::remove_const_t<std::remove_reference_t<decltype(o)>>;
        return f(std::tuple_element_t<FaceIndex<Object, FaceTuple>::value, FaceTuple>{}, o);
      },
      object);
}

// The position of a kind in the list; Kinds::kCount for kNone.
std::size_t PositionOf(EntryKind kind) {
  for (std::size_t i = 0; i < Kinds::kCount; ++i) {
    if (Kinds::kOrder[i] == kind) return i;
  }
  return Kinds::kCount;
}

template <typename Face>
KindRead ReadFace(std::span<const std::uint8_t> bytes, std::string_view entry_name) {
  typename Face::Object object;
  const ReadResult read = Face::Read(bytes, entry_name, object);
  return {std::move(object), read};
}

template <std::size_t... I>
KindRead ReadAt(std::size_t position, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                std::index_sequence<I...>) {
  using Reader = KindRead (*)(std::span<const std::uint8_t>, std::string_view);
  static constexpr Reader kReaders[] = {&ReadFace<std::tuple_element_t<I, FaceTuple>>...};
  return kReaders[position](bytes, entry_name);
}

}  // namespace

const char* EntryKindName(EntryKind kind) {
  const std::size_t position = PositionOf(kind);
  return position < Kinds::kCount ? Kinds::kNames[position] : "none";
}

const char* EntryKindExtension(EntryKind kind) {
  const std::size_t position = PositionOf(kind);
  return position < Kinds::kCount ? Kinds::kExtensions[position] : "";
}

EntryKind KindOfExtension(std::string_view entry_name) {
  std::string extension = Extension(entry_name);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (std::size_t i = 0; i < Kinds::kCount; ++i) {
    if (extension == Kinds::kExtensions[i]) return Kinds::kOrder[i];
  }
  return EntryKind::kNone;
}

EntryKind RecognisedFile::kind() const {
  return WithFace(object_, [](auto face, const auto&) { return decltype(face)::kKind; });
}

std::string RecognisedFile::OutputName() const {
  return WithFace(object_, [&](auto face, const auto& o) { return decltype(face)::OutputName(o, entry_name_); });
}

std::optional<RefusedOutput> RecognisedFile::RefusedName() const {
  std::optional<RefusedOutput> refused =
      WithFace(object_, [](auto face, const auto& o) -> std::optional<RefusedOutput> {
        using Face = decltype(face);
        if constexpr (requires { Face::RefusedName(o); }) {
          return Face::RefusedName(o);
        } else {
          return std::nullopt;
        }
      });
  if (refused) return refused;
  // An output name the base-name rule leaves beginning with '.' (entries
  // named "k\" or "k\.bak" give ".anl"): a hidden file no later run would
  // visit.
  std::string output = OutputName();
  if (!output.starts_with('.')) return std::nullopt;
  return RefusedOutput{std::move(output), ForPeople("the name after the last backslash is empty or begins with a dot, "
                                                    "which would make a hidden file")};
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

KindRead ReadKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name) {
  const std::size_t position = PositionOf(kind);
  return ReadAt(position < Kinds::kCount ? position : Kinds::kCount - 1, bytes, entry_name,
                std::make_index_sequence<Kinds::kCount>());
}

std::optional<RecognisedFile> TryKind(EntryKind kind, std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                      ReadResult* result) {
  if (kind == EntryKind::kNone) {
    if (result != nullptr) *result = {};
    return std::nullopt;
  }
  KindRead read = ReadKind(kind, bytes, entry_name);
  if (result != nullptr) *result = read.result;
  if (!read.result.accepted) return std::nullopt;
  return RecognisedFile(std::move(read.object), std::string(entry_name));
}

std::optional<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                             std::vector<ReadResult>* attempts) {
  if (attempts != nullptr) attempts->clear();
  for (EntryKind kind : kCascadeOrder) {
    ReadResult result;
    std::optional<RecognisedFile> file = TryKind(kind, bytes, entry_name, &result);
    if (attempts != nullptr) attempts->push_back(result);
    if (file) return file;
  }
  return std::nullopt;
}

void ReportUnreadableEntry(std::string_view entry_name) {
  for (std::size_t i = 0; i < Kinds::kCount; ++i) ReportOpenFailure(entry_name);
}

}  // namespace railfmt
