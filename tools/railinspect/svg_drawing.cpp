#include "tools/railinspect/svg_drawing.h"

#include "tools/railinspect/svg_canvas.h"

namespace railfmt::inspect {

std::string DrawFile(const RecognisedFile& file, const std::string& title) {
  SvgDocument picture(kPictureWidth, kPictureHeight, title);
  switch (file.kind()) {
    case EntryKind::kRollingStock:
    case EntryKind::kModel:
    case EntryKind::kConstruction:
    case EntryKind::kLayout:
    case EntryKind::kNone:
      break;
  }
  return picture.Text();
}

}  // namespace railfmt::inspect
