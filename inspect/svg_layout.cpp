#include "inspect/svg_layout.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "layout/layout_format.h"
#include "layout/track_geometry.h"
#include "inspect/json_values.h"
#include "inspect/svg_labels.h"

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
  double Length() const { return curved ? radius * std::abs(turn) : std::hypot(end_x - start_x, end_y - start_y); }
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

// "(a, b, c)", or with another separator. Appended piece by piece: g++ 12
// at -O3 warns falsely (-Wrestrict) about a literal put before a temporary
// string.
std::string Parenthesised(std::initializer_list<std::string> values, const char* separator = ", ") {
  std::string out = "(";
  const char* before = "";
  for (const std::string& value : values) {
    out += before;
    out += value;
    before = separator;
  }
  return out + ")";
}

// German writes decimals with a comma, so its coordinates are separated by semicolons.
const char* CoordinateSeparator(Language language) { return language == Language::kGerman ? "; " : ", "; }

std::string Point3(const std::array<std::int32_t, 3>& p, Language language) {
  return Parenthesised({std::to_string(p[0]), std::to_string(p[1]), std::to_string(p[2])},
                       CoordinateSeparator(language));
}

std::string Direction3(const std::array<float, 3>& d, Language language) {
  return Parenthesised({Units(d[0], language), Units(d[1], language), Units(d[2], language)},
                       CoordinateSeparator(language));
}

// A track's hover title (plain text).
std::string TrackTitle(const CGleis& t, const Course& c, const Words& words) {
  const Language language = words.language();
  const std::string shape =
      c.curved ? words.Say("curved, radius {radius}", {{"radius", Units(std::round(c.radius), language)}})
               : words.Say("straight");
  std::string title = words.Say(
      "Track {n} \"{name}\": type {type}, {ends}, {shape}, length {length}; from {from} to {to}, start direction "
      "{direction}",
      {{"n", std::to_string(t.Number)},
       {"name", DisplayText(t.Name)},
       {"type", std::to_string(t.Type)},
       {"ends", words.SayN("{n} end", "{n} ends", t.EndCount)},
       {"shape", shape},
       {"length", Units(std::round(c.Length()), language)},
       {"from", Point3(t.StartPoint, language)},
       {"to", Point3(t.EndPoint, language)},
       {"direction", Direction3(t.StartDirection, language)}});
  std::string neighbours;
  for (int e = 0; e < std::min<int>(t.EndCount, layout_format::kMaxEnds); ++e) {
    const CGleisEnde& end = t.Ends[static_cast<std::size_t>(e)];
    if (end.Neighbour == 0) continue;
    neighbours += (neighbours.empty() ? "" : ", ") +
                  words.Say("end {end} to track {track} end {other}", {{"end", std::to_string(e)},
                                                                       {"track", std::to_string(end.Neighbour)},
                                                                       {"other", std::to_string(end.NeighbourEnd)}});
  }
  return title + "; " + (neighbours.empty() ? words.Say("no neighbours") : neighbours);
}

// A placed model's hover title (plain text); where says on which track it stands.
std::string ModelTitle(const CAnlagenModell& m, const std::string& where, const Words& words) {
  return words.Say("Model {n} \"{name}\" at {position}, direction {direction}",
                   {{"n", std::to_string(m.Number)},
                    {"name", DisplayText(m.Name)},
                    {"position", Point3(m.Position, words.language())},
                    {"direction", Direction3(m.Direction, words.language())}}) +
         where;
}

std::string Titled(const std::string& text) { return "<title>" + XmlText(text) + "</title>"; }

enum class ModelRole { kBridge, kBufferStop, kOther };

ModelRole RoleOf(const CAnlagenModell& m) {
  if (StartsWith(m.Name, layout_format::kBridgePrefix)) return ModelRole::kBridge;
  if (StartsWith(m.Name, layout_format::kBufferStopPrefix)) return ModelRole::kBufferStop;
  return ModelRole::kOther;
}

// The label of a track number: beside its middle, left of travel first.
std::vector<Rect> TrackNumberPlaces(const Course& c, const Viewport& view, double width, double height) {
  double mx = 0, my = 0, nx = 0, ny = 0;
  c.Middle(mx, my, nx, ny);
  const PixelPoint m = view.Map(mx, my);
  std::vector<Rect> places;
  for (const double side : {1.0, -1.0}) {
    const double reach = 4 + (std::abs(nx) * width + std::abs(ny) * height) / 2;
    places.push_back(CentredRect(m.x + side * reach * nx, m.y - side * reach * ny, width, height));
  }
  return places;
}

// A model's name: right of its dot first, then left, above and below.
std::vector<Rect> NamePlaces(const PixelPoint& p, double width, double height) {
  return {CentredRect(p.x + 7 + width / 2, p.y, width, height), CentredRect(p.x - 7 - width / 2, p.y, width, height),
          CentredRect(p.x, p.y - 6 - height / 2, width, height), CentredRect(p.x, p.y + 6 + height / 2, width, height)};
}

std::string Label(const Rect& r, const std::string& cls, const std::string& text) {
  return "<text class=\"label " + cls + "\" x=\"" + Num(r.x + r.width / 2) + "\" y=\"" + Num(r.y + r.height / 2) +
         "\">" + text + "</text>";
}

}  // namespace

Legend DrawLayout(const CAnlage& layout, const std::string& name, const Panel& panel, const Words& words,
                  SvgDocument& picture) {
  std::vector<std::size_t> tracks;
  std::vector<Course> courses(layout.Tracks.size());
  Box box;
  for (std::size_t i = 0; i < layout.Tracks.size(); ++i) {
    if (layout.Tracks[i].Number == 0) continue;
    tracks.push_back(i);
    courses[i] = TrackCourse(layout.Tracks[i]);
    courses[i].Bounds(box);
  }
  // The track each model stands on, as the reader linked them.
  std::vector<int> track_of_model(layout.Models.size(), -1);
  for (const std::size_t i : tracks) {
    const int linked = layout.Tracks[i].LinkedModel;
    if (linked >= 0 && static_cast<std::size_t>(linked) < layout.Models.size()) {
      track_of_model[static_cast<std::size_t>(linked)] = static_cast<int>(i);
    }
  }
  std::map<std::pair<std::int32_t, std::int32_t>, std::vector<std::size_t>> spots;
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& m = layout.Models[i];
    if (m.Number == 0) continue;
    box.Add(m.Position[0], m.Position[1]);
    spots[{m.Position[0], m.Position[1]}].push_back(i);
  }
  const Panel area = panel.Inset(28);
  const Viewport view(box, area);
  DrawGridAndScale(view, panel, words, picture);
  // Bands as wide as about 120 units, but always visible and never a blot.
  const double band = std::clamp(view.scale() * 120, 4.0, 14.0);

  int bridges = 0, buffer_stops = 0, off_track = 0, others = 0;
  std::string under = "<g class=\"on-track\">";
  std::string marks = "<g class=\"models\">";
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& m = layout.Models[i];
    if (m.Number == 0) continue;
    const PixelPoint p = view.Map(m.Position[0], m.Position[1]);
    const int on = track_of_model[i];
    const ModelRole role = RoleOf(m);
    if (role == ModelRole::kOther) {
      ++others;
      marks += "<circle class=\"placed-model\" cx=\"" + Num(p.x) + "\" cy=\"" + Num(p.y) + "\" r=\"3.5\">" +
               Titled(ModelTitle(m, "", words)) + "</circle>";
      continue;
    }
    if (on < 0) {
      ++off_track;
      const bool bridge = role == ModelRole::kBridge;
      marks += "<rect class=\"off-track " + std::string(bridge ? "bridge-mark" : "buffer-stop-mark") + "\" x=\"" +
               Num(p.x - 9) + "\" y=\"" + Num(p.y - 4) + "\" width=\"18\" height=\"8\" transform=\"rotate(" +
               Num(ScreenDegrees(m.Direction)) + " " + Num(p.x) + " " + Num(p.y) + ")\">" +
               Titled(ModelTitle(m, words.Say("; on no track"), words)) + "</rect>";
      continue;
    }
    const CGleis& track = layout.Tracks[static_cast<std::size_t>(on)];
    const std::string title =
        Titled(ModelTitle(m, words.Say("; on track {n}", {{"n", std::to_string(track.Number)}}), words));
    if (role == ModelRole::kBridge) {
      ++bridges;
      under += "<path class=\"bridge\" stroke-width=\"" + Num(band) + "\" d=\"" +
               TrackPath(courses[static_cast<std::size_t>(on)], view) + "\">" + title + "</path>";
    } else {
      ++buffer_stops;
      // From where it stands to the end of its track, and a bar across the end.
      const PixelPoint e = view.Map(track.EndPoint[0], track.EndPoint[1]);
      const double dx = e.x - p.x, dy = e.y - p.y, length = std::hypot(dx, dy);
      const double ux = length > 0 ? dx / length : 1, uy = length > 0 ? dy / length : 0;
      under += "<path class=\"buffer-stop\" stroke-width=\"" + Num(band / 2) + "\" d=\"M " + Num(p.x) + " " + Num(p.y) +
               " L " + Num(e.x) + " " + Num(e.y) + " M " + Num(e.x - uy * band) + " " + Num(e.y + ux * band) + " L " +
               Num(e.x + uy * band) + " " + Num(e.y - ux * band) + "\">" + title + "</path>";
    }
  }
  picture.Add(under + "</g>");

  int curved = 0;
  std::string paths = "<g class=\"tracks\">";
  for (const std::size_t i : tracks) {
    if (courses[i].curved) ++curved;
    paths += "<path class=\"" + TrackClass(layout.Tracks[i]) + "\" d=\"" + TrackPath(courses[i], view) + "\">" +
             Titled(TrackTitle(layout.Tracks[i], courses[i], words)) + "</path>";
  }
  picture.Add(paths + "</g>");
  picture.Add(marks + "</g>");

  // Labels go where no other label is; stacks and model dots stay visible.
  LabelSpace space(panel.Inset(2));
  std::string labels = "<g class=\"labels\">";
  std::string stacks = "<g class=\"stacks\">";
  int stacked_spots = 0;
  for (const auto& [spot, models] : spots) {
    const PixelPoint p = view.Map(spot.first, spot.second);
    space.Take(CentredRect(p.x, p.y, 7, 7));
    if (models.size() < 2) continue;
    ++stacked_spots;
    const std::string count = "\u00d7" + std::to_string(models.size());
    const double width = TextWidth(count, 10) + 6;
    const Rect badge{p.x + 4, p.y - 16, width, 13};
    space.Take(badge);
    std::string numbers;
    for (const std::size_t i : models) {
      if (!numbers.empty()) numbers += ' ';
      numbers += std::to_string(layout.Models[i].Number);
    }
    const std::string title = words.SayN("{n} model on one spot: {numbers}", "{n} models on one spot: {numbers}",
                                         static_cast<std::int64_t>(models.size()), {{"numbers", numbers}});
    stacks += "<g>" + Titled(title) + "<rect class=\"stack\" x=\"" + Num(badge.x) + "\" y=\"" + Num(badge.y) +
              "\" width=\"" + Num(badge.width) + "\" height=\"" + Num(badge.height) +
              "\" rx=\"3\"/><text class=\"stack-count\" x=\"" + Num(badge.x + badge.width / 2) + "\" y=\"" +
              Num(badge.y + badge.height / 2) + "\">" + count + "</text></g>";
  }
  // Long tracks first: their numbers are the ones a reader looks for.
  std::vector<std::size_t> by_length = tracks;
  std::stable_sort(by_length.begin(), by_length.end(),
                   [&](std::size_t a, std::size_t b) { return courses[a].Length() > courses[b].Length(); });
  constexpr double kLabelHeight = 13;
  for (const std::size_t i : by_length) {
    const std::string number = std::to_string(layout.Tracks[i].Number);
    const std::vector<Rect> places = TrackNumberPlaces(courses[i], view, TextWidth(number, 11) + 2, kLabelHeight);
    if (const std::optional<Rect> at = space.TakeFirstFree(places)) labels += Label(*at, "track-number", number);
  }
  for (const auto& [spot, models] : spots) {
    const CAnlagenModell& m = layout.Models[models.front()];
    if (RoleOf(m) != ModelRole::kOther) continue;
    const std::string short_name = XmlText(ShortName(m.Name));
    const std::vector<Rect> places =
        NamePlaces(view.Map(spot.first, spot.second), TextWidth(ShortName(m.Name), 11) + 2, kLabelHeight);
    if (const std::optional<Rect> at = space.TakeFirstFree(places)) labels += Label(*at, "model-name", short_name);
  }
  picture.Add(stacks + "</g>");
  picture.Add(labels + "</g>");

  int vehicles = 0;
  for (const CAnlagenRollmaterial& vehicle : layout.RollingStock) vehicles += vehicle.Number != 0;
  const int tracks_drawn = static_cast<int>(tracks.size());
  const int placed = bridges + buffer_stops + off_track + others;
  const auto count = [&words](int n) { return Field{"n", words.Number(n)}; };
  const std::string line = "<path class=\"track\" d=\"M -11 0 H 11\"";
  Legend legend{words.Say("Layout {file}: {tracks}, {models}, {vehicles} (no position, not drawn)",
                          {{"file", name},
                           {"tracks", words.SayN("{n} track", "{n} tracks", tracks_drawn)},
                           {"models", words.SayN("{n} placed model", "{n} placed models", placed)},
                           {"vehicles", words.SayN("{n} vehicle", "{n} vehicles", vehicles)}}),
                {},
                {}};
  // The symbols the picture has: the kinds of track always, the others
  // where there is one.
  const struct {
    int count;  // -1: always
    LegendItem item;
  } items[] = {
      {-1,
       {line + "/>", words.Say("Track: {straight} straight, {curved} curved",
                               {{"straight", words.Number(tracks_drawn - curved)}, {"curved", words.Number(curved)}})}},
      {-1, {"<path class=\"track junction\" d=\"M -11 0 H 11\"/>", words.Say("Track of 3 or more ends (switch, crossing)")}},
      {-1, {"<path class=\"track end\" d=\"M -11 0 H 11\"/>", words.Say("Track of 1 end")}},
      {bridges,
       {"<path class=\"bridge\" stroke-width=\"8\" d=\"M -11 0 H 11\"/>" + line + "/>",
        words.Say("Bridge over its whole track: {n}", {count(bridges)})}},
      {buffer_stops,
       {"<path class=\"buffer-stop\" stroke-width=\"4\" d=\"M -6 0 H 8 M 8 -6 V 6\"/>",
        words.Say("Buffer stop, last 300 units of its track: {n}", {count(buffer_stops)})}},
      {off_track,
       {"<rect class=\"off-track bridge-mark\" x=\"-9\" y=\"-4\" width=\"18\" height=\"8\"/>",
        words.Say("Bridge or buffer stop on no track: {n}", {count(off_track)})}},
      {others, {"<circle class=\"placed-model\" r=\"3.5\"/>", words.Say("Other placed model: {n}", {count(others)})}},
      {stacked_spots,
       {"<rect class=\"stack\" x=\"-10\" y=\"-6\" width=\"20\" height=\"12\" rx=\"3\"/>"
        "<text class=\"stack-count\" y=\"0\">\u00d72</text>",
        words.Say("Models on one spot, counted: {n} spots", {count(stacked_spots)})}},
      {-1, GridLegendItem(view, words)},
  };
  for (const auto& entry : items) {
    if (entry.count != 0) legend.items.push_back(entry.item);
  }
  return legend;
}

}  // namespace railfmt::inspect
