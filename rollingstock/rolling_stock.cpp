#include "rollingstock/rolling_stock.h"

#include <optional>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

// The first-model / later-model rule of one archive stream, shared by the
// reader and the writer: models take the first form until one with parts
// has introduced the classes; every later model refers to them by that
// model's tags.
class StreamTags {
 public:
  // The tags a later model carries; null while the classes are not
  // introduced yet.
  const ModelTags* carried() const { return carried_ ? &*carried_ : nullptr; }
  // After a model of the first form, with the tags it read or wrote.
  void After(const CModell& model, ModelTags tags) {
    if (model.ElementCount != 0) carried_ = tags;
  }

 private:
  std::optional<ModelTags> carried_;
};

}  // namespace

ReadResult ReadRollingStock(CRollmaterial& record, std::span<const std::uint8_t> bytes, std::string_view path) {
  ReadCursor in(bytes);
  StreamTags tags;
  std::size_t read = 0;
  for (CModell& model : record.Models) {
    const auto place = in.Within("model", static_cast<std::int32_t>(read));
    if (const ModelTags* carried = tags.carried()) {
      model.ReadModelLater(in, *carried);
    } else {
      model.ReadModelFirst(in);
      tags.After(model, {model.IndexTag, model.FormatTag});
    }
    if (model.ReadOk == 0) break;
    ++read;
  }
  record.Complete = read == record.Models.size() ? 1 : 0;
  const std::size_t verdict_offset = in.offset();

  if (!ReadRollInfo(record.Info, in)) {
    if (record.Complete != 0) {
      record.Complete = 0;
      Report("Formatfehler!\n");
    }
  } else {
    CheckEndOfData(in, path);
  }
  return {record.Complete == 1, read == record.Models.size() ? in.offset() : verdict_offset, in.fault()};
}

void EncodeRollingStock(const CRollmaterial& record, ByteWriter& out) {
  StreamTags tags;
  for (const CModell& model : record.Models) {
    if (const ModelTags* carried = tags.carried()) {
      model.WriteModelLater(out, *carried);
    } else {
      tags.After(model, model.WriteModelFirst(out));
    }
  }
  WriteRollInfo(record.Info, out);
}

}  // namespace railfmt
