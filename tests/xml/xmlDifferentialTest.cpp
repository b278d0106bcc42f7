// Generated well-formed documents read the same by our parser and by pugixml:
// element names, attributes, trimmed texts, comments and CDATA sections.
// The generator keeps to what our parser reads (text after an empty element
// only when "/>" follows a quote, text after an end tag only when the element
// ended in text), so that any difference is a fault.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "xmlTestUtil.h"

namespace {

std::string trimmed(const char* s) {
  const char* e = s + std::strlen(s);
  while (*s >= 1 && *s <= 32) ++s;
  while (e > s && e[-1] >= 1 && e[-1] <= 32) --e;
  return std::string(s, e);
}

// The same one-line form as xmltest::dump, from pugixml's tree.
std::string dumpPugi(const pugi::xml_node& n) {
  const pugi::xml_node_type type = n.type();
  if (type == pugi::node_pcdata) return "T=" + trimmed(n.value());
  if (type == pugi::node_cdata) return std::string("C=") + n.value();
  if (type == pugi::node_comment) return "M=" + trimmed(n.value());
  std::string out(1, "?DE????P?"[type]);  // document, element, declaration; "?" for the rest
  out += n.name();
  for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
    out += std::string(a == n.first_attribute() ? "[" : ",") + a.name() + "=" + trimmed(a.value()) +
           (a.next_attribute() ? "" : "]");
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
    out += (c == n.first_child() ? "{" : " ") + dumpPugi(c) + (c.next_sibling() ? "" : "}");
  return out;
}

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::string document() {
    std::string out = pick(2) ? "<?xml version=\"1.0\" encoding=\"euc-kr\"?>" + blanks() : "";
    if (pick(3) == 0) out += "<!--" + text("-") + "-->" + blanks();
    element(out, 0);
    return out + blanks();
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  template <std::size_t N>
  std::string of(const char* const (&pool)[N]) {
    return pool[pick(N)];
  }
  std::string blanks() { return of({"", " ", "\n", "\n  ", "\t", "  \n\t", "\r\n"}); }
  std::string name() {
    static const char kFirst[] = "abcdefXYZ_", kRest[] = "abcXYZ019_:-.";
    std::string n(1, kFirst[pick(sizeof kFirst - 1)]);
    for (int i = pick(8); i > 0; --i) n += kRest[pick(sizeof kRest - 1)];
    return n;
  }
  // Words, Korean syllables (CP949) and punctuation with blanks between and
  // around; never "<" or "&", never the excluded bytes.
  std::string text(const char* excluded) {
    std::string out = blanks() + " ";
    for (int i = 1 + pick(4); i > 0; --i) {
      if (pick(3) == 0) {
        for (int k = 1 + pick(3); k > 0; --k)
          out += {static_cast<char>(0xB0 + pick(0xC8 - 0xB0 + 1)),
                  static_cast<char>(0xA1 + pick(0xFE - 0xA1 + 1))};
      } else {
        const std::string w =
            of({"notepad.exe", "2004.12.02", ">", "a\"b", "it's", "]", "-", "x", "Intel(R)"});
        if (w.find_first_of(excluded) == std::string::npos) out += w;
      }
      out += i > 1 ? (pick(2) ? " " : "  \t") : "";
    }
    return out + "z" + blanks();
  }
  std::string attributes() {
    std::string out;
    for (int i = pick(4), k = 0; k < i; ++k) {
      const char quote = pick(2) ? '"' : '\'';
      out += " " + name() + "_" + std::to_string(k) + of({"=", " = ", "= ", " ="}) + quote +
             text(quote == '"' ? "\"" : "'") + quote;
    }
    return out;
  }

  // Appends one element; true when text may directly follow it.
  bool element(std::string& out, int depth) {
    const std::string n = name(), attrs = attributes();
    out += "<" + n + attrs;
    const int form = depth > 3 ? pick(2) : pick(4);
    if (form == 0) {  // empty
      const bool tight = !attrs.empty() && pick(2);
      out += tight ? "/>" : (attrs.empty() ? "/>" : " />");
      return tight;
    }
    out += pick(3) ? ">" : " >";
    if (form == 1) {  // text only
      out += text("") + "</" + n + blanks() + ">";
      return true;
    }
    bool textAllowed = true, endsInText = false;  // text may follow the start tag
    for (int i = 1 + pick(5); i > 0; --i) {
      if (textAllowed && pick(2)) {
        out += text("");
        endsInText = true;
        continue;
      }
      out += blanks();
      const int item = pick(4);  // a comment, a CDATA section or an element
      if (item == 0) out += "<!--" + text("-") + "-->";
      if (item == 1) out += "<![CDATA[" + std::string(pick(2) ? " <&> ]" : "") + text("") + "]]>";
      textAllowed = item < 2 || element(out, depth + 1);
      endsInText = false;
    }
    if (!endsInText) out += blanks();
    out += "</" + n + ">";
    return endsInText;
  }

  std::mt19937 rng_;
};

}  // namespace

TEST(XmlDifferential, GeneratedDocumentsReadLikePugixml) {
  Generator gen(2004);
  // No escapes, no end-of-line conversion.
  const unsigned flags = pugi::parse_cdata | pugi::parse_comments | pugi::parse_declaration | pugi::parse_pi;
  for (int i = 0; i < 400; ++i) {
    const std::string doc = gen.document();
    pugi::xml_document pdoc;
    const pugi::xml_parse_result result =
        pdoc.load_buffer(doc.data(), doc.size(), flags, pugi::encoding_utf8);
    ASSERT_TRUE(result) << result.description() << "\n" << doc;
    ASSERT_EQ("D{" + xmltest::parse(doc) + "}", dumpPugi(pdoc)) << doc;
  }
}
