// Node tree, document loading, the whole-file reader, handles and matching.
#include <gtest/gtest.h>

#include "dcPointerArray.h"
#include "testutil.h"
#include "xmlTestUtil.h"

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

// A node is only its record: one zeroed with calloc, without the arrays
// xmlNewNode starts with, takes a parse, edits, copies and frees like any
// other (the sanitizer build checks every access).
TEST(XmlTree, PlainNodesWork) {
  auto* doc = static_cast<dcXmlNode_t*>(std::calloc(1, sizeof(dcXmlNode_t)));
  doc->kind = XN_DOCUMENT;
  doc->parent = doc;
  std::string text = "<r a='1'><c>x</c><d/></r>";
  xmlParse(text.data(), doc, 0, XOPT_INVENTORY);
  auto* element = static_cast<dcXmlNode_t*>(std::calloc(1, sizeof(dcXmlNode_t)));
  element->kind = XN_ELEMENT;
  dcXmlHandle_t e(element);
  EXPECT_TRUE(e.appendAttribute("k", "v") && e.attribute("k").setValue("longer") && e.setName("e"));
  for (int i = 0; i < 9; ++i) e.appendChild(XN_TEXT).setValue("t");
  EXPECT_TRUE(xmlCopyChildren(doc, element) && xmlCopyChildren(element, doc));
  EXPECT_EQ(xmltest::dump(doc),
            "D{Er[a=1]{Ec{T=x} Ed} T=t T=t T=t T=t T=t T=t T=t T=t T=t Er[a=1]{Ec{T=x} Ed}}");
  xmlFreeTree(element);
  xmlFreeTree(doc);
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
    for (std::size_t at = 0; at < data.size(); at += chunk - 1) {
      const std::string piece = data.substr(at, chunk - 1);
      expect += piece.substr(0, std::strlen(piece.c_str()));
    }
    testutil::writeFile(dir.path() / "windows.xml", data);
    ASSERT_TRUE(readWholeFile("Q:\\windows.xml", &buffer, &size, chunk));
    EXPECT_EQ(size, data.size());
    EXPECT_TRUE(std::string(buffer) == expect) << chunk;
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
