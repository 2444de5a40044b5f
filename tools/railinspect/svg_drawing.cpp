#include "tools/railinspect/svg_drawing.h"

#include "tools/railinspect/svg_canvas.h"

namespace railfmt::inspect {

std::string DrawFile(const FileReport& report) {
  SvgDocument picture(kPictureWidth, kPictureHeight, report.entry_name);
  return picture.Text();
}

}  // namespace railfmt::inspect
