#include "dcFileUtil.h"

#include <cstring>

#include "cp949.h"

dcStatus_t readLine(std::FILE* stream, char* line, std::size_t lineSize) {
  if (!stream || !line || lineSize == 0) return dcStatus::NULL_ARGUMENT;
  std::size_t used = 0;
  bool full = false;  // the buffer is full; the rest of the line is dropped
  for (;;) {
    const int c = std::getc(stream);
    if (c == EOF || c == '\r' || c == '\n') {
      line[used] = '\0';
      return c == EOF ? dcStatus::END_OF_FILE : dcStatus::OK;
    }
    if (full) continue;
    if (used + 1 < lineSize) {
      line[used++] = static_cast<char>(c);
      continue;
    }
    // No room for this byte. If it is the second half of a double-byte
    // character, drop the first half too so the line ends on a whole one.
    full = true;
    if (c != 0) used = mb::cutLength(line, used);
  }
}

dcStatus_t getFileName(const char* path, char* name, std::size_t nameSize) {
  if (!path || !name) return dcStatus::NULL_ARGUMENT;
  // Stepping by characters from the start finds the same last backslash as
  // stepping backwards would, and a trail byte is never mistaken for one.
  const char* start = path;
  for (const char* p = path; *p; p = mb::next(p))
    if (*p == '\\' && mb::charLength(p) == 1) start = p + 1;
  mb::copyBounded(name, nameSize, start);
  return dcStatus::OK;
}
