#include "cp949.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace mb {
namespace {

// The folded value of the character at p: lead<<8 | trail for a double-byte
// character, the lower-cased byte for a single one, 0 at the end.
inline unsigned foldedChar(const char* p, std::size_t len) {
  const auto c = static_cast<unsigned char>(p[0]);
  if (len == 2) return (static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(p[1]);
  return asciiLower(c);
}

inline unsigned rawChar(const char* p, std::size_t len) {
  const auto c = static_cast<unsigned char>(p[0]);
  if (len == 2) return (static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(p[1]);
  return c;
}

inline int order(unsigned a, unsigned b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

const char* prev(const char* start, const char* p) {
  if (!start || !p || p <= start) return start;
  // Any byte outside 0x81-0xFE ends a character (it is either a character of
  // its own or a trail byte), so the byte after it is a boundary. From there
  // the run of 0x81-0xFE bytes up to p pairs up from its first byte.
  const char* q = p - 1;
  while (q > start && isLeadByte(static_cast<unsigned char>(q[-1]))) --q;
  const char* boundary = q;
  for (;;) {
    const char* n = next(boundary);
    if (n >= p || n == boundary) return boundary;
    boundary = n;
  }
}

int compare(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *x == *y) ++x, ++y;
  return order(*x, *y);
}

int compareNoCase(const char* a, const char* b) {
  if (a == b) return 0;  // one text met twice, as kept texts often are
  for (;;) {
    const std::size_t la = charLength(a), lb = charLength(b);
    const unsigned ca = foldedChar(a, la), cb = foldedChar(b, lb);
    if (ca != cb) return order(ca, cb);
    if (ca == 0) return 0;
    a += la;
    b += lb;
  }
}

int compareNoCaseN(const char* a, const char* b, std::size_t n) {
  // Equal characters have equal lengths, so one offset serves both texts.
  std::size_t i = 0;
  while (i < n) {
    const std::size_t la = charLength(a + i), lb = charLength(b + i);
    const unsigned ca = foldedChar(a + i, la), cb = foldedChar(b + i, lb);
    if (ca != cb) return order(ca, cb);
    if (ca == 0) return 0;
    i += la;
  }
  return 0;
}

const char* findChar(const char* s, unsigned c) {
  if (!s) return nullptr;
  for (;;) {
    const std::size_t len = charLength(s);
    if (rawChar(s, len) == c) return s;
    if (len == 0) return nullptr;
    s += len;
  }
}

const char* findLastChar(const char* s, unsigned c) {
  if (!s) return nullptr;
  const char* found = nullptr;
  for (;;) {
    const std::size_t len = charLength(s);
    if (rawChar(s, len) == c) found = s;
    if (len == 0) return found;
    s += len;
  }
}

const char* findText(const char* s, const char* needle) {
  if (!s || !needle) return nullptr;
  const std::size_t n = std::strlen(needle);
  for (;;) {
    if (std::strncmp(s, needle, n) == 0) {
      // The match must also end on a character boundary of s.
      const char* end = s;
      while (end < s + n) end = next(end);
      if (end == s + n) return s;
    }
    if (*s == '\0') return nullptr;
    s = next(s);
  }
}

std::size_t boundedLength(const char* text, std::size_t maxBytes) {
  if (!text) return 0;
  std::size_t i = 0;
  for (;;) {
    const std::size_t len = charLength(text + i);
    if (len == 0 || i + len > maxBytes) return i;
    i += len;
  }
}

std::size_t cutLength(const char* text, std::size_t length) {
  if (!text || length == 0) return 0;
  // The run of 0x81-0xFE bytes that ends the kept part starts on a character
  // boundary (see prev) and pairs up from there: an odd run leaves its last
  // byte as the first half of a character. Only the kept bytes are read;
  // the byte at the cut may not have been written yet.
  std::size_t run = 0;
  while (run < length && isLeadByte(static_cast<unsigned char>(text[length - 1 - run]))) ++run;
  return run % 2 == 1 ? length - 1 : length;
}

std::size_t copyBounded(char* dst, std::size_t dstSize, const char* src) {
  if (!dst || dstSize == 0) return 0;
  const std::size_t n = boundedLength(src, dstSize - 1);
  if (n) std::memmove(dst, src, n);
  dst[n] = '\0';
  return n;
}

namespace {

// A conversion descriptor for one call. Opening one costs well under a
// microsecond once the library has loaded its tables, and a descriptor per
// call stays safe in any thread and during exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts in; skip(p, left) says how many bytes an unconvertible
  // character at p spans, each such character becomes '?'.
  template <typename Skip>
  std::string run(std::string_view in, Skip skip) {
    std::string out;
    if (!valid()) {
      out.assign(in.size(), '?');
      return out;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: one character that does not convert.
      const std::size_t n = skip(src, srcLeft);
      src += n;
      srcLeft -= n;
      if (out.size() - used < 1) out.resize(out.size() * 2);
      out[used++] = '?';
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

bool isAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Bytes of the (possibly broken) UTF-8 sequence at p: the lead byte and the
// continuation bytes that follow it, at least 1.
std::size_t utf8SequenceLength(const char* p, std::size_t left) {
  const auto c = static_cast<unsigned char>(p[0]);
  std::size_t want = 1;
  if (c >= 0xC2 && c <= 0xDF)
    want = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    want = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    want = 4;
  std::size_t n = 1;
  while (n < want && n < left && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::string toUtf8(std::string_view cp949) {
  if (isAscii(cp949)) return std::string(cp949);
  Converter converter("UTF-8", "CP949");
  return converter.run(cp949, [](const char* p, std::size_t left) -> std::size_t {
    if (left >= 2 && isLeadByte(static_cast<unsigned char>(p[0])) &&
        isTrailByte(static_cast<unsigned char>(p[1])))
      return 2;
    return 1;
  });
}

std::string fromUtf8(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  Converter converter("CP949", "UTF-8");
  return converter.run(utf8, utf8SequenceLength);
}

bool isValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
      if (c == 0xE0) lo = 0xA0;  // overlong
      if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
      if (c == 0xF0) lo = 0x90;  // overlong
      if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (static_cast<std::size_t>(end - p) < n) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (std::size_t i = 2; i < n; ++i)
      if ((p[i] & 0xC0) != 0x80) return false;
    p += n;
  }
  return true;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace mb
