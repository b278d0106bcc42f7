// Random input for the differential tests: the odd texts and XML an agent
// might write (entities, CDATA, comments, INCLUDE sections, processing
// instructions, wildcard names, letter case, NUL bytes, Korean texts around
// the fields' limits).
#pragma once

#include "dcModel.h"
#include "dcQsGroup.h"
#include "testutil.h"

class Random {
 public:
  explicit Random(unsigned seed) : rng(seed) {}

  std::mt19937 rng;

  std::size_t pick(std::size_t n) { return rng() % n; }
  bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }
  template <class T>
  T oneOf(const std::vector<T>& pool) {
    return pool[pick(pool.size())];
  }
  std::string oneOf(std::initializer_list<std::string> pool) { return pool.begin()[pick(pool.size())]; }

  // Korean and ASCII characters up to about bytes long, ending now and then
  // on a lone lead byte or with a character across a field's end.
  std::string korean(std::size_t bytes) {
    std::string s = pick(2) ? "" : "x";
    while (s.size() < bytes)
      s += oneOf({"\xB0\xA1", "\xC7\xD1", "\xB1\xDB", "\x81\x41", "\x81\x61", "a", "Z", " ", "\xA4\xA1"});
    if (chance(10)) s += '\xB0';
    return s;
  }

  // A text as an agent might write it, escaped or not, now and then at the
  // limit of a 256-byte or a 512-byte field.
  std::string text() {
    if (chance(50))
      return oneOf({"Intel", "INTEL", "intel", "512MB", "\xC7\xD1\xB1\xDB 2004", "x y", "notepad.exe",
                    "NOTEPAD.EXE", "5.1.2600"});
    return oneOf({korean(253 + pick(5)), korean(509 + pick(5)), "a&amp;b &lt;c&gt; &#65;&#xAC00;&quot;",
                  "&unknown; & &#; &#x;", "   ", ""});
  }

  // The content of an element: texts and whatever else may stand there.
  std::string content(int depth = 0) {
    static const std::string open[] = {"<!--", "<![CDATA[", "<![INCLUDE[", "<?pi "},
                             close[] = {"-->", "]]>", "]]>", "?>"};
    std::string s;
    for (std::size_t n = pick(4); n > 0; --n) {
      const std::size_t kind = pick(10);
      if (kind < 4)
        s += open[kind] + text() + close[kind];
      else if (kind > 4)
        s += text();
      else if (depth < 2)
        s += "<" + name() + (chance(30) ? " a=\"1\"/>" : ">" + content(depth + 1) + "</x>");
    }
    return s;
  }

  std::string name() {
    return oneOf({"cpu",    "CPU",  "memory", "disk",     "video",   "sound",          "pcname",
                  "PCName", "c*",   "?pu",    "[a-d]isk", "*",       "WindowsVersion", "os",
                  "osname", "user", "blank",  "serial",   "Program", "program",        "x"});
  }

  // An element: <n>content</n>, <n/> or an unclosed start tag.
  std::string element(const std::string& n, const std::string& inner) {
    if (chance(5)) return "<" + n + "/>";
    return "<" + n + (chance(10) ? " k=\"v\"" : "") + ">" + inner + (chance(3) ? "" : "</" + n + ">");
  }

  // A software file: Program elements nested, empty, misnamed, as
  // processing instructions, or holding anything an element may hold.
  std::string programs() {
    std::string s = "<?xml version=\"1.0\"?><softwareinfo>";
    for (std::size_t n = pick(16); n > 0; --n) {
      const std::string program = element("Program", content());
      s += oneOf({"<Program>" + text() + "<Program>" + text() + "</Program></Program>",
                  "<?Program " + text() + "?>",
                  element(oneOf({"program", "Programs", "Group"}), "<Program>" + text() + "</Program>"),
                  program, program, program});
    }
    s += "</softwareinfo>";
    if (chance(8)) s.insert(pick(s.size() + 1), 1, '\0');
    return s;
  }
};
