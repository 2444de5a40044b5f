// The control groups are found as the kernel lists them: /proc/self/cgroup
// names the process's group in each hierarchy, /proc/self/mountinfo where
// each hierarchy is mounted and which of its groups the mount shows as its
// root (a container sees its own group as "/").
#include "driver/posix_memory.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace railfmt {
namespace {

// A limit this large means none (cgroup v1 writes the largest page-aligned
// number it can hold).
constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 62;

struct Hierarchy {
  bool unified = false;  // cgroup v2
  std::string group;     // the process's group in it, from its root
};

struct Mount {
  std::string root;   // the group the mount shows as its root
  std::string point;  // where it is mounted
};

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

// mountinfo writes a space, tab, newline or backslash in a path as \ and
// three octal digits.
std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && text.size() - i >= 4) {
      out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<Hierarchy> MemoryHierarchies(const std::string& root) {
  std::vector<Hierarchy> found;
  std::ifstream in(root + "/proc/self/cgroup");
  for (std::string line; std::getline(in, line);) {
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const std::vector<std::string> names = Split(controllers, ',');
    if (line.compare(0, first, "0") == 0 && controllers.empty()) {
      found.push_back({true, line.substr(second + 1)});
    } else if (std::find(names.begin(), names.end(), "memory") != names.end()) {
      found.push_back({false, line.substr(second + 1)});
    }
  }
  return found;
}

std::optional<Mount> MountOf(const std::string& root, bool unified) {
  std::ifstream in(root + "/proc/self/mountinfo");
  for (std::string line; std::getline(in, line);) {
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    const std::vector<std::string> fields = Split(line.substr(0, dash), ' ');
    const std::vector<std::string> rest = Split(line.substr(dash + 3), ' ');
    if (fields.size() < 5 || rest.size() < 3) continue;
    const std::vector<std::string> options = Split(rest[2], ',');
    const bool memory = std::find(options.begin(), options.end(), "memory") != options.end();
    if (unified ? rest[0] == "cgroup2" : rest[0] == "cgroup" && memory) {
      return Mount{Unescaped(fields[3]), Unescaped(fields[4])};
    }
  }
  return std::nullopt;
}

std::optional<std::uint64_t> NumberIn(const std::string& path) {
  std::ifstream in(path);
  std::string word;
  if (!(in >> word) || word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  std::uint64_t value = 0;
  std::istringstream(word) >> value;
  return value;
}

// The value of a key in a memory.stat file, 0 when it is not there.
std::uint64_t StatValue(const std::string& path, std::string_view key) {
  std::ifstream in(path);
  std::string name;
  std::uint64_t value = 0;
  while (in >> name >> value) {
    if (name == key) return value;
  }
  return 0;
}

// What the group at dir still allows, when it has a limit.
std::optional<std::uint64_t> LeftIn(const std::string& dir, bool unified) {
  const std::optional<std::uint64_t> limit = NumberIn(dir + (unified ? "/memory.max" : "/memory.limit_in_bytes"));
  if (!limit || *limit >= kNoLimit) return std::nullopt;
  const std::uint64_t usage = NumberIn(dir + (unified ? "/memory.current" : "/memory.usage_in_bytes")).value_or(0);
  const std::uint64_t droppable = StatValue(dir + "/memory.stat", unified ? "inactive_file" : "total_inactive_file");
  const std::uint64_t used = usage - std::min(usage, droppable);
  return *limit - std::min(*limit, used);
}

}  // namespace

std::optional<std::uint64_t> ContainerMemoryLeft(const std::string& root) {
  std::optional<std::uint64_t> left;
  for (const Hierarchy& hierarchy : MemoryHierarchies(root)) {
    const std::optional<Mount> mount = MountOf(root, hierarchy.unified);
    if (!mount) continue;
    // The group as seen from the mount's root; a group outside it is not
    // visible here.
    std::string group = hierarchy.group;
    if (mount->root != "/") {
      if (group != mount->root && !group.starts_with(mount->root + "/")) continue;
      group.erase(0, mount->root.size());
    }
    if (group.ends_with('/')) group.pop_back();
    // The group and each parent up to the mount's root: every one's limit
    // applies.
    std::string dir = root + mount->point + group;
    const std::string top = root + mount->point;
    while (true) {
      if (const std::optional<std::uint64_t> here = LeftIn(dir, hierarchy.unified)) {
        left = left ? std::min(*left, *here) : *here;
      }
      if (dir.size() <= top.size()) break;
      dir.erase(dir.rfind('/'));
    }
  }
  return left;
}

}  // namespace railfmt
