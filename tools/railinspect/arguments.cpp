#include "tools/railinspect/arguments.h"

#include <algorithm>
#include <string_view>

namespace railfmt::inspect {
namespace {

enum class Id {
  kCheck,
  kStrict,
  kChanges,
  kQuiet,
  kAll,
  kColour,
  kJson,
  kJsonl,
  kNoContent,
  kSvg,
  kRescue,
  kOutput,
  kAs,
  kForce,
  kHelp,
  kVersion
};

struct OptionEntry {
  Id id;
  std::string_view short_name;  // "" when none
  std::string_view long_name;
  bool takes_value;
};

// In the order --help lists them.
constexpr OptionEntry kOptions[] = {
    {Id::kCheck, "", "--check", false},
    {Id::kStrict, "", "--strict", false},
    {Id::kChanges, "", "--changes", false},
    {Id::kQuiet, "-q", "--quiet", false},
    {Id::kAll, "", "--all", false},
    {Id::kColour, "", "--color", true},
    {Id::kJson, "", "--json", false},
    {Id::kJsonl, "", "--jsonl", false},
    {Id::kNoContent, "", "--no-content", false},
    {Id::kSvg, "", "--svg", true},
    {Id::kRescue, "", "--rescue", false},
    {Id::kOutput, "-o", "--output", true},
    {Id::kAs, "", "--as", true},
    {Id::kForce, "", "--force", false},
    {Id::kHelp, "-h", "--help", false},
    {Id::kVersion, "-V", "--version", false},
};

const OptionEntry* FindOption(std::string_view name) {
  for (const OptionEntry& option : kOptions) {
    if (name == option.long_name || (!option.short_name.empty() && name == option.short_name)) return &option;
  }
  return nullptr;
}

// The placeholder of an option's value, as --help and the errors name it.
std::string ValueName(Id id, const Words& words) {
  // TRANSLATORS: the placeholder of --color's value (auto, always, never).
  if (id == Id::kColour) return words.Say("WHEN");
  // TRANSLATORS: the placeholder of the file (or folder) -o writes the rescued file to.
  if (id == Id::kOutput) return words.Say("OUTPUT");
  // TRANSLATORS: the placeholder of the kind --as names (model, rolling_stock, ...).
  if (id == Id::kAs) return words.Say("KIND");
  // TRANSLATORS: the placeholder of the picture file --svg writes.
  return words.Say("OUT");
}

// TRANSLATORS: the placeholder of a file or folder in the usage line.
std::string PathName(const Words& words) { return words.Say("PATH"); }

std::string Description(Id id, const Words& words) {
  switch (id) {
    case Id::kCheck:
      return words.Say("Show only the files railfmt would change, replace or create, and how many; "
                       "exit 1 when there is one.");
    case Id::kStrict: return words.Say("With --check: a file with a warning fails the check too.");
    case Id::kChanges: return words.Say("List every change railfmt would make to a file, one line each.");
    case Id::kQuiet:
      return words.Say("Show only files that need attention: not in order, or with a warning.");
    case Id::kAll: return words.Say("Show every kind tried on a rejected file in full, not one line each.");
    case Id::kColour:
      return words.Say("Colour the report: auto (on a terminal, unless NO_COLOR is set), always or never.");
    case Id::kJson:
      return words.Say("Print one JSON document: every file's report and the content of every recognised file.");
    case Id::kJsonl: return words.Say("Print one JSON document per file and line, each as soon as its file is done.");
    case Id::kNoContent: return words.Say("Leave the content of the files out of the JSON.");
    case Id::kSvg:
      return words.Say("Draw the one file given as {path} as a picture (SVG) into the file {out}; with {out} "
                       "given as -, to standard output.",
                       {{"path", PathName(words)}, {"out", ValueName(Id::kSvg, words)}});
    case Id::kRescue:
      return words.Say("Write what the one damaged file given as {path} still holds to NAME.rescued.EXT beside "
                       "it (see Rescue below).",
                       {{"path", PathName(words)}});
    case Id::kOutput:
      return words.Say("With --rescue: write the rescued file to {file} (a file, or a folder to put it in).",
                       {{"file", ValueName(Id::kOutput, words)}});
    case Id::kAs:
      return words.Say("With --rescue: rescue it as {kind} (model, rolling_stock, construction_drawing, layout, or "
                       "their extensions) instead of the kind it most likely is.",
                       {{"kind", ValueName(Id::kAs, words)}});
    case Id::kForce: return words.Say("With --rescue: replace an existing rescued file.");
    case Id::kHelp: return words.Say("Show this help and exit.");
    case Id::kVersion: return words.Say("Show the version and exit.");
  }
  return "";
}

std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// text wrapped to 79 columns at spaces: its first line after first (which
// fills the first columns), later lines indented by indent columns.
std::string Wrapped(const std::string& first, const std::string& text, std::size_t indent) {
  constexpr std::size_t kWidth = 79;
  std::string out = first;
  std::size_t column = Columns(first);
  if (!first.empty() && column >= indent && !text.empty()) {
    out += '\n';
    column = 0;
  }
  std::size_t at = 0;
  bool line_empty = true;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string_view word = std::string_view(text).substr(at, end - at);
    at = end + 1;
    if (!line_empty && column + 1 + Columns(word) > kWidth) {
      out += '\n';
      column = 0;
      line_empty = true;
    }
    if (column < indent) {
      out.append(indent - column, ' ');
      column = indent;
    } else if (!line_empty) {
      out += ' ';
      ++column;
    }
    out += word;
    column += Columns(word);
    line_empty = false;
  }
  return out + "\n";
}

// A heading of the help after an empty line. Appended piece by piece: g++
// 12 at -O3 warns falsely (-Wrestrict) about a literal put before a
// temporary string.
std::string Heading(const std::string& text) {
  std::string out = "\n";
  out += text;
  out += '\n';
  return out;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, const Words& words) {
  CommandLine line;
  Options& o = line.options;
  bool help = false;
  bool version = false;
  bool colour_given = false;
  bool options_ended = false;
  auto problem = [&](const std::string& text) {
    if (line.problem.empty()) line.problem = text;
  };
  // Applies one option; value is its value for an option that takes one.
  auto apply = [&](const OptionEntry& option, const std::string& value) {
    switch (option.id) {
      case Id::kCheck: o.check = true; break;
      case Id::kStrict: o.strict = true; break;
      case Id::kChanges: o.changes = true; break;
      case Id::kQuiet: o.quiet = true; break;
      case Id::kAll: o.all = true; break;
      case Id::kJson: o.json = true; break;
      case Id::kJsonl: o.jsonl = true; break;
      case Id::kNoContent: o.content = false; break;
      case Id::kRescue: o.rescue = true; break;
      case Id::kForce: o.force = true; break;
      case Id::kOutput:
        if (!o.rescue_output.empty()) problem(words.Say("{option} may be given only once", {{"option", "-o"}}));
        if (value.empty()) problem(words.Say("{option} needs a file name", {{"option", "-o"}}));
        o.rescue_output = value;
        break;
      case Id::kAs:
        if (!o.rescue_as.empty()) problem(words.Say("{option} may be given only once", {{"option", "--as"}}));
        o.rescue_as = value;
        break;
      case Id::kHelp: help = true; break;
      case Id::kVersion: version = true; break;
      case Id::kColour:
        if (colour_given) problem(words.Say("{option} may be given only once", {{"option", "--color"}}));
        colour_given = true;
        if (value == "auto" || value == "always" || value == "never") {
          o.colour = value == "always" ? ColourMode::kAlways : value == "never" ? ColourMode::kNever : ColourMode::kAuto;
        } else {
          problem(words.Say("--color takes auto, always or never, not \"{value}\"", {{"value", value}}));
        }
        break;
      case Id::kSvg:
        if (!o.svg_path.empty()) problem(words.Say("{option} may be given only once", {{"option", "--svg"}}));
        if (value.empty()) problem(words.Say("{option} needs a file name", {{"option", "--svg"}}));
        o.svg_path = value;
        break;
    }
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg == "-" || !arg.starts_with('-')) {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    // Short options may stand together ("-qV"); only the last may take a
    // value, none does.
    std::vector<std::string> names;
    std::string value;
    bool inline_value = false;
    if (arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      names.push_back(arg.substr(0, equals));
      inline_value = equals != std::string::npos;
      if (inline_value) value = arg.substr(equals + 1);
    } else {
      for (std::size_t k = 1; k < arg.size(); ++k) names.push_back(std::string("-") + arg[k]);
    }
    for (const std::string& name : names) {
      const OptionEntry* option = FindOption(name);
      if (option == nullptr) {
        problem(words.Say("unknown option {option}", {{"option", name}}));
        break;
      }
      if (option->takes_value && !inline_value) {
        if (i + 1 == args.size()) {
          problem(words.Say("{option} needs a value: {value}",
                            {{"option", name}, {"value", ValueName(option->id, words)}}));
          break;
        }
        value = args[++i];
      } else if (!option->takes_value && inline_value) {
        problem(words.Say("{option} takes no value", {{"option", name}}));
        break;
      }
      apply(*option, value);
    }
  }
  if (help) {
    line.request = CommandLine::Request::kHelp;
  } else if (version) {
    line.request = CommandLine::Request::kVersion;
  } else {
    if (o.paths.empty()) problem(words.Say("no file or folder given"));
    if (!line.problem.empty()) line.request = CommandLine::Request::kUsageError;
  }
  return line;
}

std::string HelpText(const Words& words) {
  const std::string path = PathName(words);
  std::string out = words.Say("Usage: railinspect [OPTION]... {path}...", {{"path", path}}) + "\n";
  out += Wrapped("", words.Say("Checks the files of a model-railway planning program without changing them: which "
                               "kind each file is (model .mod, rolling stock .rol, construction drawing .kon, "
                               "layout .anl), what railfmt would do with it, or why it is damaged and railfmt "
                               "leaves it alone."),
                 0);
  out += Wrapped("", words.Say("{path} is a file, a folder (the files railfmt would visit in it) or - for standard "
                               "input. railinspect writes no file but the picture asked for with --svg.",
                               {{"path", path}}),
                 0);
  out += Heading(words.Say("Options:"));
  for (const OptionEntry& option : kOptions) {
    std::string names = "  ";
    if (!option.short_name.empty()) names += std::string(option.short_name) + ", ";
    names += option.long_name;
    if (option.takes_value) names += ' ' + ValueName(option.id, words);
    out += Wrapped(names, Description(option.id, words), 18);
  }
  out += Heading(words.Say("Exit status:"));
  out += Wrapped("  0", words.Say("Every file was recognised (--check: railfmt would write no file)."), 5);
  out += Wrapped("  1", words.Say("A file was not recognised or could not be read, or the picture could not be "
                                  "written (--check: railfmt would change, replace or create a file)."),
                 5);
  out += Wrapped("  2", words.Say("Usage error (--check: also a file or folder that cannot be read)."), 5);
  out += Wrapped("", words.Say("With --rescue: 0 the rescued file was written, or the file needs no rescue; 1 nothing "
                               "was written; 2 usage error."),
                 2);
  out += Heading(words.Say("Rescue:"));
  out += Wrapped("", words.Say("--rescue FILE takes the kind a damaged FILE most likely is (or --as KIND) and keeps "
                               "every record that reads whole before the damage: a model's parts with the point, "
                               "primitive and format lists read, rolling stock's whole models, a drawing's points, "
                               "primitives, formats and lines, a layout's tracks, placed models and vehicles, and "
                               "the blocks, properties and trailers it read."),
                 2);
  out += Wrapped("", words.Say("It cannot keep what lies after the damage, nor the damaged record itself; fixed parts "
                               "that were lost are written as a new, empty file has them (a rolling stock's info "
                               "block always: its name becomes the rescued file's). The result goes to "
                               "NAME.rescued.EXT beside FILE (or to -o OUTPUT), never over FILE; an existing file is "
                               "replaced only with --force. It is written only after railfmt's own reader read it "
                               "back and found it in normal form, whole or not at all. The original is never "
                               "changed."),
                 2);
  out += Heading(words.Say("Examples:"));
  const std::pair<const char*, std::string> examples[] = {
      {"railinspect --check .", words.Say("What railfmt would change in this folder. Nothing is changed.")},
      {"railinspect broken.mod", words.Say("Why railfmt leaves broken.mod alone.")},
      {"railinspect --svg layout.svg layout.anl", words.Say("Draws layout.anl; open layout.svg in a web browser.")},
      {"railinspect --rescue broken.anl", words.Say("Writes broken.rescued.anl with what broken.anl still holds.")},
      {"railinspect --jsonl --no-content . | jq -r 'select(.recognised|not).path'",
       words.Say("The files no kind accepts, for a script.")},
  };
  for (const auto& [command, what] : examples) out += Wrapped(std::string("  ") + command, what, 6);
  return out;
}

}  // namespace railfmt::inspect
