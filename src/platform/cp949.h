// Code page 949 byte strings: the multibyte functions the core uses.
//
// Every text in the core is a NUL-terminated string of CP949 bytes. A lead
// byte (0x81-0xFE) followed by a trail byte (0x41-0x5A, 0x61-0x7A, 0x81-0xFE)
// forms one double-byte character; every other byte is a character of its
// own. Case folding touches single-byte ASCII letters only, never a trail
// byte, so a double-byte character always compares as one unit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mb {

constexpr bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
constexpr bool isTrailByte(unsigned char c) {
  return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) || (c >= 0x81 && c <= 0xFE);
}

// ASCII classification; bytes of 0x80 and above are never letters, digits
// or blanks.
constexpr bool isAsciiAlpha(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool isAsciiAlnum(unsigned char c) { return isAsciiAlpha(c) || isAsciiDigit(c); }
constexpr bool isAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr unsigned char asciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Length in bytes of the character at p: 2 for a lead byte followed by a
// non-NUL byte, 0 at the terminating NUL, 1 otherwise. Never steps over NUL.
inline std::size_t charLength(const char* p) {
  const auto c = static_cast<unsigned char>(*p);
  if (c == 0) return 0;
  if (isLeadByte(c) && p[1] != '\0') return 2;
  return 1;
}

// The character after p (p itself at the terminating NUL).
inline const char* next(const char* p) { return p + charLength(p); }
inline char* next(char* p) { return p + charLength(p); }

// The character before p within the text that starts at start; start when p
// is start. Scans from the start, so a trail byte is never taken for a
// character of its own.
const char* prev(const char* start, const char* p);

// Byte-exact comparison (<0, 0, >0), as strcmp; for CP949 this equals the
// comparison of whole characters.
int compare(const char* a, const char* b);

// Case-insensitive comparison: single-byte ASCII letters fold, double-byte
// characters compare as units, unchanged. The order is that of the folded
// characters (lead<<8 | trail for double-byte ones).
int compareNoCase(const char* a, const char* b);
// The same over at most n bytes of each text, never splitting a character
// (a double-byte character that would straddle n counts whole).
int compareNoCaseN(const char* a, const char* b, std::size_t n);

// First and last occurrence of the character c (single-byte, or double-byte
// given as lead<<8 | trail) in s, stepping by characters; nullptr if absent.
// A trail byte equal to c is never found.
const char* findChar(const char* s, unsigned c);
const char* findLastChar(const char* s, unsigned c);

// First occurrence of needle in s starting at a character boundary of s.
const char* findText(const char* s, const char* needle);

// Copies src into dst of dstSize bytes: at most dstSize - 1 bytes, never
// splitting a double-byte character, always NUL-terminated (when dstSize >
// 0). Returns the number of bytes copied (without the NUL).
std::size_t copyBounded(char* dst, std::size_t dstSize, const char* src);
template <std::size_t N>
std::size_t copyBounded(char (&dst)[N], const char* src) {
  return copyBounded(dst, N, src);
}

// Length of the longest prefix of text (at most maxBytes bytes) that ends
// on a character boundary.
std::size_t boundedLength(const char* text, std::size_t maxBytes);

// For the first length bytes of a longer text that is being cut there:
// length, or length - 1 when the cut would leave the first half of a
// double-byte character behind. Reads only those length bytes.
std::size_t cutLength(const char* text, std::size_t length);

// Conversion at the edges (screen, file system, terminal). Bytes that do not
// convert become '?' (to UTF-8) or '?' (to CP949), so a conversion never
// fails.
std::string toUtf8(std::string_view cp949);
std::string fromUtf8(std::string_view utf8);
// True when text holds only valid UTF-8.
bool isValidUtf8(std::string_view text);
// Appends the UTF-8 form of the code point cp (at most U+10FFFF) to out.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace mb
