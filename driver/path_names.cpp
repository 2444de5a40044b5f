#include "driver/path_names.h"

#include <algorithm>

namespace railfmt {
namespace {

unsigned char UpperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  const std::size_t dot = path.rfind('.');
  const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  // A dot before the last backslash cuts only the directory part.
  if (dot != std::string_view::npos && dot >= start) return std::string(path.substr(start, dot - start));
  return std::string(path.substr(start));
}

std::string Extension(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return std::string(name.substr(dot + 1));
}

bool IsSkippedName(std::string_view name) {
  if (!name.empty() && name.front() == '.') return true;
  const std::string ext = Extension(name);
  if (ext.size() != 3) return false;
  return UpperAscii(static_cast<unsigned char>(ext[0])) == 'E' &&
         UpperAscii(static_cast<unsigned char>(ext[1])) == 'X' && UpperAscii(static_cast<unsigned char>(ext[2])) == 'E';
}

bool DirectoryOrderLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = UpperAscii(static_cast<unsigned char>(a[i]));
    const unsigned char cb = UpperAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace railfmt
