// Whole-name glob matching of element names, byte by byte and case-sensitive.
#include "dcXml.h"

namespace {

using Byte = unsigned char;

// Matches one byte c against the set that opens at pattern ("["). Sets
// *after to the byte after the closing "]" and returns whether c is in the
// set; false with *after null when the set is never closed.
bool matchSet(const char* pattern, Byte c, const char** after) {
  const char* q = pattern + 1;
  bool negate = false;
  if (*q == '!') {
    negate = true;
    ++q;
  }
  bool found = false;
  bool first = true;  // a "]" right after "[" (or "[!") is a member
  while (*q != '\0' && (*q != ']' || first)) {
    const Byte low = static_cast<Byte>(q[0]);
    const Byte high = static_cast<Byte>(q[1] == '-' ? q[2] : 0);
    if (q[1] == '-' && high != 0 && high != ']' && low < high) {
      if (c >= low && c <= high) found = true;
      q += 3;
    } else {
      if (c == low) found = true;
      ++q;
    }
    first = false;
  }
  if (*q != ']') {
    *after = nullptr;
    return false;
  }
  *after = q + 1;
  return found != negate;
}

}  // namespace

bool xmlNameMatch(const char* pattern, const char* text) {
  if (!pattern || !text) return false;
  const char* p = pattern;
  const char* t = text;
  // Where the last "*" may take one more byte: only the last star ever
  // needs to backtrack, since every other element matches exactly one byte.
  const char* starPattern = nullptr;
  const char* starText = nullptr;
  while (*t != '\0') {
    if (*p == '*') {
      while (*p == '*') ++p;
      if (*p == '\0') return true;
      starPattern = p;
      starText = t;
      continue;
    }
    const char* next = p + 1;
    bool matched;
    if (*p == '?') {
      matched = true;
    } else if (*p == '[') {
      matched = matchSet(p, static_cast<Byte>(*t), &next);
    } else {
      matched = *p != '\0' && *p == *t;
    }
    if (matched) {
      p = next;
      ++t;
      continue;
    }
    if (!starPattern) return false;
    p = starPattern;
    t = ++starText;
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

int xmlNameMatchCmp(const char* pattern, const char* text) {
  if (!pattern || !text) return -1;
  return xmlNameMatch(pattern, text) ? 0 : 1;
}
