#include "tools/railinspect/svg_layout.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "layout/layout_format.h"
#include "layout/track_geometry.h"
#include "tools/railinspect/svg_drawing.h"

namespace railfmt::inspect {
namespace {

// A track's course in the x-y plane: a straight from start to end, or an
// arc around centre from start_angle through turn (radians, positive
// counter-clockwise) with radius.
struct Course {
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  bool curved = false;
  double centre_x = 0, centre_y = 0, radius = 0, start_angle = 0, turn = 0;

  void Bounds(Box& box) const {
    box.Add(start_x, start_y);
    box.Add(end_x, end_y);
    if (!curved) return;
    constexpr int kSamples = 32;
    for (int k = 1; k < kSamples; ++k) {
      const double a = start_angle + turn * k / kSamples;
      box.Add(centre_x + radius * std::cos(a), centre_y + radius * std::sin(a));
    }
  }
  // The middle of the course and the unit normal there that points to the
  // left of the direction of travel (0, 0 for a track without length).
  void Middle(double& x, double& y, double& normal_x, double& normal_y) const {
    if (!curved) {
      x = (start_x + end_x) / 2;
      y = (start_y + end_y) / 2;
      const double length = std::hypot(end_x - start_x, end_y - start_y);
      normal_x = length > 0 ? -(end_y - start_y) / length : 0;
      normal_y = length > 0 ? (end_x - start_x) / length : 0;
      return;
    }
    const double a = start_angle + turn / 2;
    x = centre_x + radius * std::cos(a);
    y = centre_y + radius * std::sin(a);
    // Left of travel is towards the centre on a left turn, away from it on a right turn.
    const double towards = turn > 0 ? -1 : 1;
    normal_x = towards * std::cos(a);
    normal_y = towards * std::sin(a);
  }
};

Course TrackCourse(const CGleis& track) {
  Course c;
  c.start_x = track.StartPoint[0];
  c.start_y = track.StartPoint[1];
  c.end_x = track.EndPoint[0];
  c.end_y = track.EndPoint[1];
  const ArcResult arc = ArcGeometry(track);
  if (!arc.radius || !std::isfinite(*arc.radius) || *arc.radius == 0 || !std::isfinite(arc.turning_angle)) return c;
  // The circle through the start point, tangent to the start direction:
  // its centre lies a radius to the left of that direction (to the right
  // for a negative radius, a turn clockwise).
  const double a0 =
      std::atan2(static_cast<double>(track.StartDirection[1]), static_cast<double>(track.StartDirection[0]));
  const double r = *arc.radius;
  c.curved = true;
  c.centre_x = c.start_x - r * std::sin(a0);
  c.centre_y = c.start_y + r * std::cos(a0);
  c.radius = std::abs(r);
  c.start_angle = std::atan2(c.start_y - c.centre_y, c.start_x - c.centre_x);
  c.turn = arc.turning_angle;
  return c;
}

bool StartsWith(const std::string& name, std::string_view prefix) { return name.rfind(prefix, 0) == 0; }

// The screen angle in degrees of a direction given with y up.
double ScreenDegrees(const std::array<float, 3>& direction) {
  const double a = std::atan2(static_cast<double>(direction[1]), static_cast<double>(direction[0]));
  return std::isfinite(a) ? -a * 180.0 / std::numbers::pi : 0.0;
}

// The part of a model file name after its directories.
std::string ShortName(const std::string& name) {
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string TrackPath(const Course& c, const Viewport& view) {
  const PixelPoint s = view.Map(c.start_x, c.start_y);
  const PixelPoint e = view.Map(c.end_x, c.end_y);
  std::string d = "M " + Num(s.x) + " " + Num(s.y) + " ";
  const double radius = c.radius * view.scale();
  // An arc the picture cannot tell from its chord is drawn as the chord.
  if (!c.curved || radius > 1e6 || (s.x == e.x && s.y == e.y)) return d + "L " + Num(e.x) + " " + Num(e.y);
  // The picture keeps the file's orientation (y up), so a counter-clockwise
  // turn stays counter-clockwise on the screen: SVG's sweep flag 0.
  const int large = std::abs(c.turn) > std::numbers::pi ? 1 : 0;
  const int sweep = c.turn > 0 ? 0 : 1;
  return d + "A " + Num(radius) + " " + Num(radius) + " 0 " + std::to_string(large) + " " + std::to_string(sweep) +
         " " + Num(e.x) + " " + Num(e.y);
}

std::string TrackClass(const CGleis& track) {
  if (track.EndCount >= 3) return "track junction";
  if (track.EndCount == 1) return "track end";
  return "track";
}

}  // namespace

void DrawLayout(const CAnlage& layout, SvgDocument& picture) {
  std::vector<const CGleis*> tracks;
  std::vector<Course> courses;
  Box box;
  for (const CGleis& track : layout.Tracks) {
    if (track.Number == 0) continue;
    tracks.push_back(&track);
    courses.push_back(TrackCourse(track));
    courses.back().Bounds(box);
  }
  for (const CAnlagenModell& model : layout.Models) {
    if (model.Number != 0) box.Add(model.Position[0], model.Position[1]);
  }
  constexpr double kMargin = 40;
  const Viewport view(box, kMargin, kLegendHeight + kMargin, picture.width() - 2 * kMargin,
                      picture.height() - kLegendHeight - 2 * kMargin);

  int curved = 0;
  std::string numbers = "<g class=\"track-numbers\">";
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const CGleis& track = *tracks[i];
    const Course& course = courses[i];
    if (course.curved) ++curved;
    picture.Add("<path class=\"" + TrackClass(track) + "\" d=\"" + TrackPath(course, view) + "\"><title>Track " +
                std::to_string(track.Number) + ": " + XmlText(track.Name) + " (type " + std::to_string(track.Type) +
                ", " + std::to_string(track.EndCount) + " ends)</title></path>");
    // The number stands beside the middle of the track, on its left.
    double mx = 0, my = 0, nx = 0, ny = 0;
    course.Middle(mx, my, nx, ny);
    const PixelPoint m = view.Map(mx, my);
    constexpr double kLabelOffset = 11;
    numbers += "<text class=\"track-number\" x=\"" + Num(m.x + kLabelOffset * nx) + "\" y=\"" +
               Num(m.y - kLabelOffset * ny) + "\">" + std::to_string(track.Number) + "</text>";
  }
  picture.Add(numbers + "</g>");

  int bridges = 0, buffer_stops = 0, others = 0;
  for (const CAnlagenModell& model : layout.Models) {
    if (model.Number == 0) continue;
    const PixelPoint p = view.Map(model.Position[0], model.Position[1]);
    const std::string place = "transform=\"translate(" + Num(p.x) + " " + Num(p.y) + ") rotate(" +
                              Num(ScreenDegrees(model.Direction)) + ")\"";
    const std::string title = "<title>Model " + std::to_string(model.Number) + ": " + XmlText(model.Name) + "</title>";
    if (StartsWith(model.Name, layout_format::kBridgePrefix)) {
      ++bridges;
      picture.Add("<g class=\"bridge\" " + place + ">" + title +
                  "<rect x=\"-16\" y=\"-7\" width=\"32\" height=\"14\"/>"
                  "<path d=\"M -16 -7 L -20 -11 M 16 -7 L 20 -11 M -16 7 L -20 11 M 16 7 L 20 11\"/></g>");
    } else if (StartsWith(model.Name, layout_format::kBufferStopPrefix)) {
      ++buffer_stops;
      picture.Add("<g class=\"buffer-stop\" " + place + ">" + title + "<path d=\"M 0 -9 L 0 9 M 0 0 L -8 0\"/></g>");
    } else {
      ++others;
      picture.Add("<g class=\"placed-model\" transform=\"translate(" + Num(p.x) + " " + Num(p.y) + ")\">" + title +
                  "<circle r=\"5\"/><text x=\"8\" y=\"4\">" + XmlText(ShortName(model.Name)) + "</text></g>");
    }
  }

  int vehicles = 0;
  for (const CAnlagenRollmaterial& vehicle : layout.RollingStock) {
    if (vehicle.Number != 0) ++vehicles;
  }
  const int tracks_drawn = static_cast<int>(tracks.size());
  std::string legend = "<g class=\"legend\">";
  legend += "<text class=\"heading\" x=\"20\" y=\"28\">Layout " + XmlText(picture.title()) + "</text>";
  legend += "<text x=\"20\" y=\"54\">Tracks: " + std::to_string(tracks_drawn) + " (" +
            std::to_string(tracks_drawn - curved) + " straight, " + std::to_string(curved) + " curved)</text>";
  legend += "<text x=\"20\" y=\"78\">Vehicles: " + std::to_string(vehicles) + " (not drawn: no position)</text>";
  legend +=
      "<g class=\"legend-bridge\" transform=\"translate(370 49)\"><rect x=\"-10\" y=\"-5\" width=\"20\" "
      "height=\"10\"/></g>";
  legend += "<text x=\"390\" y=\"54\">Bridges: " + std::to_string(bridges) + "</text>";
  legend +=
      "<g class=\"legend-buffer-stop\" transform=\"translate(370 73)\"><path d=\"M 0 -7 L 0 7 M 0 0 L -6 0\"/></g>";
  legend += "<text x=\"390\" y=\"78\">Buffer stops: " + std::to_string(buffer_stops) + "</text>";
  legend += "<g class=\"legend-placed-model\" transform=\"translate(620 49)\"><circle r=\"5\"/></g>";
  legend += "<text x=\"635\" y=\"54\">Other models: " + std::to_string(others) + "</text>";
  legend += "<text x=\"620\" y=\"78\">1 cm on screen: " + Num(37.8 / view.scale()) + " units</text>";
  legend += "<line x1=\"0\" y1=\"" + Num(kLegendHeight) + "\" x2=\"" + Num(picture.width()) + "\" y2=\"" +
            Num(kLegendHeight) + "\" stroke=\"#ccc\"/></g>";
  picture.Add(legend);
}

}  // namespace railfmt::inspect
