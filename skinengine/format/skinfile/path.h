// File paths as the engine receives them.
#pragma once
#include <cstddef>

namespace skinfile {

// Collapses each run of path separators ('\\' or '/') into one '\\', in
// place, so that "C:\\dir\\\\file" names "C:\\dir\\file". A leading pair
// (a "\\\\server" or "\\\\?\\" prefix) is kept. Works on UTF-16 text (the
// separators never occur inside another character there). Returns the new
// length; the text stays NUL-terminated if it was.
template <class Char>
std::size_t CollapseSeparators(Char* path, std::size_t length) {
  const auto isSeparator = [](Char c) { return c == Char('\\') || c == Char('/'); };
  std::size_t read = 0, written = 0;
  if (length >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    path[0] = path[1] = Char('\\');
    read = written = 2;
  }
  while (read < length) {
    if (isSeparator(path[read])) {
      path[written++] = Char('\\');
      while (read < length && isSeparator(path[read])) ++read;
    } else {
      path[written++] = path[read++];
    }
  }
  if (written < length) path[written] = Char(0);
  return written;
}

}  // namespace skinfile
