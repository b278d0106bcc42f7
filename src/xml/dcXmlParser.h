// The in-place parser, shared by xmlParse (which builds a tree) and by the
// readers that take a text as it is parsed (xmlParseEvents): one pass over
// a writable NUL-terminated text, names and values left where they are and
// ended by NUL bytes written over the delimiters that follow them. Nothing
// is validated; whatever the bytes, the parser never reads past the
// terminating NUL nor writes past an array.
//
// The parser is a template over what it tells its findings to, so that a
// reader's calls are direct and can be inlined into the parse loop.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "dcXml.h"
#include "dcXmlAlloc.h"

namespace dcxml::parse {

// Character classes of the parser, one byte of flags per byte value.
constexpr std::uint8_t kSpace = 1;  // bytes 1 to 32; never a byte of 0x80 or above
constexpr std::uint8_t kName = 2;   // ASCII letters and digits, '_', ':', '-', '.'

constexpr std::array<std::uint8_t, 256> makeClassTable() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 1; c <= 32; ++c) table[c] |= kSpace;
  for (int c = 'a'; c <= 'z'; ++c) table[c] |= kName;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] |= kName;
  for (int c = '0'; c <= '9'; ++c) table[c] |= kName;
  for (unsigned char c : {'_', ':', '-', '.'}) table[c] |= kName;
  return table;
}
constexpr std::array<std::uint8_t, 256> kClass = makeClassTable();

inline bool isSpace(char c) { return kClass[static_cast<unsigned char>(c)] & kSpace; }
inline bool isName(char c) { return kClass[static_cast<unsigned char>(c)] & kName; }
inline char* skipSpace(char* p) {
  while (isSpace(*p)) ++p;
  return p;
}
inline char* skipName(char* p) {
  while (isName(*p)) ++p;
  return p;
}
// First c in [p, end), or nullptr. Most distances in a document are short
// (a tag name, a number, the blanks between tags), so the first bytes are
// looked at directly before the library search takes over. [p, end) holds
// no NUL: the only NUL at or after the position is the one at end.
inline char* findByte(char* p, char* end, char c) {
  for (int i = 0; i < 16; ++i) {
    if (p[i] == c) return p + i;
    if (p[i] == '\0') return nullptr;
  }
  p += 16;
  return static_cast<char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}
// First occurrence of the three bytes of s in [p, end), or nullptr.
inline char* findTriple(char* p, char* end, const char* s) {
  return static_cast<char*>(memmem(p, static_cast<std::size_t>(end - p), s, 3));
}

// Rewrites [s, e) with every run of two or more whitespace bytes made one
// space; returns the new end. A text whose runs are all single bytes is left
// as it is (a lone tab stays a tab): only a shorter copy is written back.
inline char* collapse(char* s, char* e) {
  char* q = s;
  while (q + 1 < e && !(isSpace(q[0]) && isSpace(q[1]))) ++q;
  if (q + 1 >= e) return e;
  char* w = s;
  bool inRun = false;
  for (q = s; q < e; ++q) {
    if (!isSpace(*q)) {
      *w++ = *q;
      inRun = false;
    } else if (!inRun) {
      *w++ = ' ';
      inRun = true;
    }
  }
  *w = '\0';
  return w;
}

// Trims the value [s, e) (e is its NUL) and returns where it now starts.
inline char* trim(char* s, char* e, bool collapseInner) {
  while (s < e && isSpace(*s)) ++s;
  if (collapseInner) e = collapse(s, e);
  while (e > s && isSpace(e[-1])) --e;
  *e = '\0';
  return s;
}

// A nested parse of a document type's internal subset: where the outer
// parse resumes once the subset is read.
template <class Node>
struct Frame {
  char* end;      // the outer text's terminating NUL
  Node cursor;    // the outer cursor (the document-type node)
  char* bracket;  // the subset's closing "]", now a NUL
};

// The parse itself, telling the sink what it finds: TreeSink for xmlParse,
// the reader's events for xmlParseEvents.
template <class Sink>
class Parser {
 public:
  using Node = typename Sink::Node;
  using Attribute = typename Sink::Attribute;

  Parser(Sink& sink, std::uint32_t options) : sink_(sink), options_(options) {}
  char* run(char* text, Node parent);

 private:
  bool has(std::uint32_t bit) const { return (options_ & bit) != 0; }
  char* trimIf(std::uint32_t bit, char* s, char* e) const {
    if (!has(bit)) return s;
    const bool collapseInner = has(XOPT_COLLAPSE);
    if (!collapseInner && s < e && !isSpace(*s) && !isSpace(e[-1])) return s;  // nothing to trim
    return trim(s, e, collapseInner);
  }

  // Opens a node: appended to the cursor and made the cursor.
  bool open(Node& cursor, std::int32_t kind) {
    const Node node = sink_.add(cursor, kind);
    if (node == Sink::NO_NODE) return false;
    cursor = node;
    return true;
  }
  void close(Node& cursor) { cursor = sink_.parentOf(cursor); }

  Sink& sink_;
  std::uint32_t options_;
};

inline bool spells(char*& p, const char* word) {
  for (; *word; ++word, ++p)
    if (*p != *word) return false;
  return true;
}

inline std::int32_t declarationKind(const char* keyword) {
  if (std::strcmp(keyword, "ATTLIST") == 0) return XN_ATTLIST;
  if (std::strcmp(keyword, "ELEMENT") == 0) return XN_ELEMENT_DECL;
  if (std::strcmp(keyword, "NOTATION") == 0) return XN_NOTATION;
  return XN_ENTITY;
}

template <class Sink>
char* Parser<Sink>::run(char* text, Node parent) {
  char* p = text;
  char* end = p + std::strlen(p);
  Node cur = parent;
  // Subsets nest rarely, but only the text bounds how deep.
  dcxml::Stack<Frame<Node>> frames(8);
  // Scratch of the states below; declared here so that the jumps between
  // states never cross an initialisation.
  char* q;
  char* m;
  char c;
  char s;
  char* v;
  Node node = Sink::NO_NODE;
  Attribute attr;
  bool kept;                          // the document type is kept as a node
  std::int32_t tagKind = XN_ELEMENT;  // the element or processing instruction whose tag is read
  std::int32_t kind;

search:
  q = findByte(p, end, '<');
  if (!q) goto ranOut;
  p = q + 1;

classify:
  switch (*p) {
    case '?':
      if (isName(p[1]) && has(XOPT_PI)) {
        q = findByte(p + 1, end, '?');
        if (!q) goto ranOut;
        *q = '/';
        if (!open(cur, XN_PI)) goto fail;
        tagKind = XN_PI;
        ++p;
        goto tagName;
      }
      q = findByte(p, end, '>');
      if (!q) goto ranOut;
      p = q + 1;
      goto search;

    case '!':
      c = p[1];
      if (c == '-') {
        if (has(XOPT_COMMENTS) && p[2] == '-') {
          if (!open(cur, XN_COMMENT)) goto fail;
          sink_.setValue(cur, p + 3);
          q = findTriple(p + 3, end, "-->");
          if (!q) goto ranOut;
          *q = '\0';
          sink_.setValue(cur, trimIf(XOPT_TRIM_COMMENT, p + 3, q));
          close(cur);
        } else {
          q = findTriple(p + 2, end, "-->");
          if (!q) goto ranOut;
        }
        p = q + 2;
        goto tagEnd;
      }
      if (c == '[') {
        p += 2;
        if (*p == 'I') {
          kind = XN_INCLUDE;
          if (!spells(p, "INCLUDE[")) goto search;
        } else if (*p == 'C') {
          kind = XN_CDATA;
          if (!spells(p, "CDATA[")) goto search;
        } else {
          goto search;
        }
        if (has(kind == XN_INCLUDE ? XOPT_DOCTYPE : XOPT_CDATA)) {
          if (!open(cur, kind)) goto fail;
          sink_.setValue(cur, p);
          q = findTriple(p, end, "]]>");
          if (!q) goto ranOut;
          *q = '\0';
          sink_.setValue(cur, trimIf(XOPT_TRIM_CDATA, p, q));
          close(cur);
        } else {
          q = findTriple(p, end, "]]>");
          if (!q) goto ranOut;
        }
        p = q + 2;
        goto tagEnd;
      }
      if (c == 'D') {
        p += 2;
        if (!spells(p, "OCTYPE")) goto search;
        goto doctype;
      }
      ++p;
      if (isName(c)) goto declaration;
      goto search;

    case '/':
      q = findByte(p, end, '>');
      if (!q) goto ranOut;
      close(cur);
      p = q + 1;
      goto search;

    default:
      if (!isName(*p)) goto search;
      if (!open(cur, XN_ELEMENT)) goto fail;
      tagKind = XN_ELEMENT;
      goto tagName;
  }

tagName:
  // The current node is the element or processing instruction just opened.
  sink_.setName(cur, p);
  p = skipName(p);
  c = *p;
  if (c == '\0') goto done;
  *p++ = '\0';
  if (c == '/') {
    q = findByte(p, end, '>');
    if (!q) goto ranOut;
    close(cur);
    p = q + 1;
    goto search;
  }
  if (isSpace(c)) {
    p = skipSpace(p);
    goto attributes;
  }
  goto text;

attributes:
  if (!isName(*p)) goto tagEnd;
attributeName:
  attr = sink_.addAttribute(cur);
  if (attr == Sink::NO_ATTRIBUTE) goto fail;
  sink_.setAttributeName(attr, p);
  p = skipName(p);
  s = *p;
  if (s == '\0') goto done;
  *p++ = '\0';
  if (isSpace(s)) p = skipSpace(p);
  if (s != '=' && *p != '=') {
    c = *p;
    goto noValue;
  }
  if (*p == '=') ++p;
  p = skipSpace(p);
  c = *p;
  if (c != '"' && c != '\'') goto noValue;
  v = ++p;
  sink_.setAttributeValue(attr, v);
  q = findByte(p, end, c);
  if (!q) goto ranOut;
  *q = '\0';
  p = q + 1;
  sink_.setAttributeValue(attr, trimIf(XOPT_TRIM_ATTR, v, q));
  c = *p;
  if (c == '>') {
    ++p;
    goto text;
  }
  if (c == '/') {
    ++p;
    close(cur);
    p = skipSpace(p);
    if (*p == '>') ++p;
    goto text;
  }
  p = skipSpace(p);
  goto attributes;

noValue:
  // The attribute has no value; c is the current byte.
  if (isName(c)) goto attributeName;
  if (c != '\0' && tagKind == XN_PI) {
    q = findByte(p, end, '/');
    if (!q) goto ranOut;
    p = skipSpace(q);
    if (*p == '/') ++p;
    p = skipSpace(p);
    if (*p == '>') ++p;
    close(cur);
    goto text;
  }
  goto tagEnd;

tagEnd:
  c = *p;
  if (c == '>') {
    ++p;
    goto text;
  }
  if (c == '/') {
    ++p;
    if (*p == '>') {
      close(cur);
      ++p;
    }
  }
  goto search;

text:
  // Just after a ">": text up to the next "<" becomes a text child of the
  // cursor, unless it is only whitespace.
  m = p;
  p = skipSpace(p);
  if (*p == '\0') goto done;
  if (*p == '<') {
    if (p[1] == '/') {
      q = findByte(p, end, '>');
      if (!q) goto ranOut;
      close(cur);
      p = q + 1;
      goto search;
    }
    ++p;
    goto classify;
  }
  node = sink_.add(cur, XN_TEXT);
  if (node == Sink::NO_NODE) goto fail;
  sink_.setValue(node, m);
  q = findByte(p, end, '<');
  if (!q) goto ranOut;
  *q = '\0';
  p = q + 1;
  sink_.setValue(node, trimIf(XOPT_TRIM_TEXT, m, q));
  if (*p == '/') {
    q = findByte(p, end, '>');
    if (!q) goto ranOut;
    close(cur);
    p = q + 1;
    goto text;
  }
  goto classify;

doctype:
  // After "<!DOCTYPE".
  p = skipSpace(p);
  if (*p == '\0') goto done;
  kept = has(XOPT_DOCTYPE);
  if (kept) {
    if (!open(cur, XN_DOCTYPE)) goto fail;
    node = cur;
    attr = sink_.addAttribute(node);
    if (attr == Sink::NO_ATTRIBUTE) goto fail;
    sink_.setAttributeName(attr, p);
    sink_.setAttributeValue(attr, p);
  }
  p = skipName(p);
  c = *p;
  if (c == '\0') goto done;
  *p++ = '\0';
  if (isSpace(c)) p = skipSpace(p);
  do {
    if (isName(*p)) {
      q = p;
      p = skipName(p);
      if (kept) {
        attr = sink_.addAttribute(node);
        if (attr == Sink::NO_ATTRIBUTE) goto fail;
        sink_.setAttributeName(attr, q);
        sink_.setAttributeValue(attr, q);
      }
      if (*p == '\0') goto done;
      if (kept) *p = '\0';
      p = skipSpace(p + 1);
    }
    while (*p == '"' || *p == '\'') {
      q = findByte(p + 1, end, *p);
      if (!q) {
        p = end;
        break;
      }
      if (kept) {
        attr = sink_.addAttribute(node);
        if (attr == Sink::NO_ATTRIBUTE) goto fail;
        sink_.setAttributeValue(attr, p + 1);
        *q = '\0';
      }
      p = skipSpace(q + 1);
    }
  } while (isName(*p));
  if (*p != '[') {
    if (kept) close(cur);
    goto search;
  }
  ++p;
  if (kept) sink_.setValue(node, p);
  q = p;
  {
    std::size_t depth = 1;
    for (; *q; ++q) {
      if (*q == '[') {
        ++depth;
      } else if (*q == ']' && --depth == 0) {
        break;
      }
    }
  }
  if (*q == '\0') {
    p = q;
    goto done;
  }
  if (kept) {
    *q = '\0';
    if (has(XOPT_SUBSET)) {
      // Read the subset as markup under the document-type node, then come
      // back here (subsetRead).
      if (!frames.push(Frame<Node>{end, cur, q})) goto fail;
      end = q;
      goto search;
    }
    if (has(XOPT_SUBSET_ONLY)) return q + 1;
    sink_.setValue(node, trimIf(XOPT_TRIM_SUBSET, p, q));
  }
  p = q + 1;
  if (kept) close(cur);
  goto doctypeEnd;

subsetRead:
  if (has(XOPT_SUBSET_ONLY)) return (frames.empty() ? p : frames.bottom().bracket) + 1;
  ++p;
  close(cur);
doctypeEnd:
  q = findByte(p, end, '>');
  if (!q) goto ranOut;
  p = q + 1;
  goto search;

declaration:
  // After "<!", at a name character other than "D".
  q = p;
  p = skipName(p);
  c = *p;
  if (c == '\0') goto done;
  *p++ = '\0';
  kind = declarationKind(q);
  if (!open(cur, kind)) goto fail;
  if (!isSpace(c)) {
    close(cur);
    goto search;
  }
  p = skipSpace(p);
  if (*p == '%') {
    if (isSpace(p[1])) {
      p = skipSpace(p + 1);
      p[-1] = '%';
      sink_.setName(cur, p - 1);
    } else {
      sink_.setName(cur, p++);
    }
  } else if (isName(*p)) {
    sink_.setName(cur, p);
  } else {
    close(cur);
    goto search;
  }
  p = skipName(p);
  c = *p;
  if (c == '\0') goto done;
  *p++ = '\0';
  if (!isSpace(c)) {
    close(cur);
    goto search;
  }
  p = skipSpace(p);
  v = p;
  sink_.setValue(cur, v);
  if (kind != XN_ENTITY) {
    q = findByte(p, end, '>');
    if (!q) goto ranOut;
  } else {
    char quote = '\0';
    for (q = p; *q; ++q) {
      if (quote) {
        if (*q == quote) quote = '\0';
      } else if (*q == '"' || *q == '\'') {
        quote = *q;
      } else if (*q == '>') {
        break;
      }
    }
    if (*q == '\0') {
      sink_.setValue(cur, trimIf(XOPT_TRIM_DECL, v, q));
      p = q;
      goto done;
    }
  }
  *q = '\0';
  p = q + 1;
  sink_.setValue(cur, trimIf(XOPT_TRIM_DECL, v, q));
  close(cur);
  goto search;

ranOut:
  // A search for a delimiter ran to the end: all that is left is read.
  p = end;
done:
  // The text (or the subset being read) has ended.
  if (frames.empty()) return p;
  {
    const Frame<Node> frame = frames.pop();
    end = frame.end;
    cur = frame.cursor;
    p = frame.bracket;
  }
  goto subsetRead;

fail:
  // Out of memory: stop where we are.
  return p;
}

}  // namespace dcxml::parse

// Parses text in place as xmlParse does, telling events what it finds, with
// the cursor at parent to begin with; returns where parsing stopped. Events
// is a dcXmlEvents_t: it has that class's members, called directly.
template <class Events>
char* xmlParseEvents(char* text, Events& events, typename Events::Node parent, std::uint32_t options) {
  if (!text) return text;
  return dcxml::parse::Parser<Events>(events, options).run(text, parent);
}
