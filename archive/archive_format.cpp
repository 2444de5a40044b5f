#include "archive/archive_format.h"

#include "driver/field_primitives.h"

namespace railfmt::archive {

IntroductionCheck ReadClassIntroduction(ReadCursor& in, std::string_view class_name) {
  if (!ExpectShort(in.Field("new-class tag"), kNewClassTag) || !ExpectShort(in.Field("schema number"), kSchemaNumber)) {
    return IntroductionCheck::kMissingIntroduction;
  }
  if (!ExpectString16(in.Field("class name"), class_name)) return IntroductionCheck::kWrongName;
  return IntroductionCheck::kOk;
}

void WriteClassIntroduction(ByteWriter& out, std::string_view class_name) {
  out.U16(kNewClassTag);
  out.U16(kSchemaNumber);
  WriteString16(out, class_name);
}

}  // namespace railfmt::archive
