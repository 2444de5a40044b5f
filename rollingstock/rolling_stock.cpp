#include "rollingstock/rolling_stock.h"

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

// The first-model / later-model rule of one archive stream, shared by the
// reader and the writer: models go the first-model way until one with parts
// has introduced the classes; every later model takes that model's tags.
class StreamTags {
 public:
  // True when the model goes the first-model way; otherwise it has been
  // given the carried tags.
  bool IsFirstForm(CModell& model) const {
    if (first_form_) return true;
    model.IndexTag = index_tag_;
    model.FormatTag = format_tag_;
    return false;
  }
  // After a first-model read or write: a model with parts fixes the tags.
  void Carry(const CModell& model) {
    if (model.ElementCount == 0) return;
    index_tag_ = model.IndexTag;
    format_tag_ = model.FormatTag;
    first_form_ = false;
  }

 private:
  bool first_form_ = true;
  std::uint16_t index_tag_ = 0;
  std::uint16_t format_tag_ = 0;
};

}  // namespace

void ReadRollingStockBytes(CRollmaterial& record, std::span<const std::uint8_t> bytes, std::string_view path,
                           std::size_t* stop_offset) {
  ReadCursor in(bytes);
  StreamTags tags;
  std::size_t read = 0;
  for (CModell& model : record.Models) {
    if (tags.IsFirstForm(model)) {
      model.ReadModelFirst(in);
      tags.Carry(model);
    } else {
      model.ReadModelLater(in);
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
  if (stop_offset != nullptr) *stop_offset = read == record.Models.size() ? in.offset() : verdict_offset;
}

void EncodeRollingStockFile(CRollmaterial& record, ByteWriter& out) {
  StreamTags tags;
  for (CModell& model : record.Models) {
    if (tags.IsFirstForm(model)) {
      model.WriteModelFirst(out);
      tags.Carry(model);
    } else {
      model.WriteModelLater(out);
    }
  }
  WriteRollInfo(record.Info, out);
}

}  // namespace railfmt
