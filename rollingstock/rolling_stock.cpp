#include "rollingstock/rolling_stock.h"

#include "driver/diagnostics.h"

namespace railfmt {

void ReadRollingStockBytes(CRollmaterial& record, std::span<const std::uint8_t> bytes, std::string_view path,
                           std::size_t* stop_offset) {
  ReadCursor in(bytes);
  bool first_form = true;
  std::uint16_t index_tag = 0;
  std::uint16_t format_tag = 0;
  std::size_t read = 0;
  for (CModell& model : record.Models) {
    if (first_form) {
      model.ReadModelFirst(in);
      if (model.ElementCount != 0) {
        index_tag = model.IndexTag;
        format_tag = model.FormatTag;
        first_form = false;
      }
    } else {
      model.IndexTag = index_tag;
      model.FormatTag = format_tag;
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
  bool first_form = true;
  std::uint16_t index_tag = 0;
  std::uint16_t format_tag = 0;
  for (CModell& model : record.Models) {
    if (first_form) {
      model.WriteModelFirst(out);
      if (model.ElementCount != 0) {
        index_tag = model.IndexTag;
        format_tag = model.FormatTag;
        first_form = false;
      }
    } else {
      model.IndexTag = index_tag;
      model.FormatTag = format_tag;
      model.WriteModelLater(out);
    }
  }
  WriteRollInfo(record.Info, out);
}

}  // namespace railfmt
