#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "dcSoftwareUsage.h"
#include "dcXmlReadAhead.h"
#include "inventorySite.h"

namespace {

// <unit><progname>name</progname><date tick="t">day</date>...</unit>
std::string unit(const std::string& name, const std::vector<std::pair<std::string, std::string>>& days) {
  std::string s = "<unit><progname>" + name + "</progname>";
  for (const auto& [day, ticks] : days) s += "<date tick=\"" + ticks + "\">" + day + "</date>";
  return s + "</unit>";
}
std::string usageFile(const std::string& units, const std::string& before = "") {
  return "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n" + before + "<softwareusage>" + units +
         "</softwareusage>\n";
}

std::vector<std::string> summary(const dcSoftwareUsageDocument_t& doc, const char* from = "2004.01.01",
                                 const char* to = "2004.12.31") {
  std::vector<std::string> out;
  for (const auto& line : doc.summarize(from, to)) out.push_back(line.name + "=" + line.minutes);
  return out;
}

// The whole tree as text: kinds, names, values and attributes, in order.
std::string shape(const dcXmlNode_t* n) {
  std::string s =
      std::to_string(n->kind) + "(" + (n->name ? n->name : "~") + "," + (n->value ? n->value : "~");
  for (std::uint32_t i = 0; i < n->attributeCount; ++i)
    s += std::string(" @") + (n->attributes[i]->name ? n->attributes[i]->name : "~") + "=" +
         (n->attributes[i]->value ? n->attributes[i]->value : "~");
  for (std::uint32_t i = 0; i < n->childCount; ++i) s += shape(n->children[i]);
  return s + ")";
}

TEST(SoftwareUsage_Load, ReadsUpToTheFirstClosingTag) {
  InventorySite site("<qslook/>");
  dcSoftwareUsageDocument_t doc;
  EXPECT_TRUE(summary(doc).empty());

  const std::string first = site.write(
      "PC01 totalsuinfo.xml", usageFile(unit("notepad.exe", {{"2004.12.01", "20"}, {"2004.12.02", "7"}})) +
                                  usageFile(unit("appended.exe", {{"2004.12.01", "99"}})));
  EXPECT_EQ(doc.LoadUsageData(first.c_str()), 1u);
  EXPECT_EQ(summary(doc), (std::vector<std::string>{"notepad.exe=     81 min"}));
  EXPECT_EQ(summary(doc, "2004.12.02", "2004.12.02"), (std::vector<std::string>{"notepad.exe=     21 min"}));
  EXPECT_TRUE(summary(doc, "2004.12.03", "2004.12.01").empty());  // reversed period counts no day

  // Loading again appends to the stream, whose first text still wins.
  const std::string second = site.write("b.xml", usageFile(unit("calc.exe", {{"2004.12.01", "1"}})));
  EXPECT_EQ(doc.LoadUsageData(second.c_str()), 1u);
  EXPECT_EQ(summary(doc), (std::vector<std::string>{"notepad.exe=     81 min"}));

  // A NUL byte ends the text, here before the closing tag; so does a missing file.
  dcSoftwareUsageDocument_t cut;
  const std::string withNul = usageFile(unit("x.exe", {{"2004.12.01", "1"}}));
  EXPECT_EQ(
      cut.LoadUsageData(site.write("nul.xml", withNul.substr(0, 40) + '\0' + withNul.substr(40)).c_str()),
      0u);
  EXPECT_FALSE(cut.getRootNode().valid());
  EXPECT_EQ(cut.LoadUsageData(site.path("none.xml").c_str()), 0u);
  // Files read ahead on a second thread give the same streams.
  {
    const std::string nulPath = site.path("nul.xml");
    dcSoftwareUsageDocument_t whole, early, cutEarly;
    whole.LoadUsageData(first.c_str());
    const dcXmlReadAhead_t ahead(
        {{first, dcXmlReadAhead_t::Kind::Text}, {nulPath, dcXmlReadAhead_t::Kind::Text}});
    EXPECT_EQ(early.LoadUsageData(first.c_str()), 1u);
    EXPECT_EQ(cutEarly.LoadUsageData(nulPath.c_str()), 0u);
    EXPECT_EQ(early.textStream, whole.textStream);
    EXPECT_EQ(cutEarly.textStream, cut.textStream.substr(0, cut.textStream.find('\0') + 1));
  }
  // Merging a document without tree adds nothing, and needs nothing.
  dcSoftwareUsageDocument_t group;
  group.merge(cut.getRootNode());
  EXPECT_TRUE(group.getRootNode().valid());
  EXPECT_EQ(group.getRootNode().childCount(), 0u);
}

TEST(SoftwareUsage_Merge, GroupsSumProgramsAndDays) {
  InventorySite site("<qslook/>");
  dcSoftwareUsageDocument_t a, b, group;
  a.LoadUsageData(site.write("a.xml", usageFile(unit("notepad.exe", {{"2004.12.01", "20"}}) +
                                                unit("notepad.exe", {{"2004.12.05", "1"}}) +
                                                unit("abc", {{"2004.12.01", "4"}})))
                      .c_str());
  b.LoadUsageData(
      site.write("b.xml",
                 usageFile(unit("notepad.exe", {{"2004.12.01", "10"}, {"2004.12.03", "2"}}) +
                           unit("calc.exe", {{"2004.11.30", " +5x"}}) + unit("a*", {{"2004.12.0?", "1"}})))
          .c_str());

  EXPECT_EQ(group.merge(a.getRootNode()), 1u);
  // The first merge copies the tree as it is, repeated program included.
  EXPECT_EQ(shape(group.getRootNode().node()), shape(a.getRootNode().node()));
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     60 min", "notepad.exe=      3 min",
                                                      "abc=     12 min"}));

  EXPECT_EQ(group.merge(b.getRootNode()), 1u);
  // notepad.exe: 20+10 on the first day and a new day; calc.exe is new (its
  // ticks read as 5); "a*" on "2004.12.0?" adds to abc's first matching day.
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     96 min", "notepad.exe=      3 min",
                                                      "abc=     15 min", "calc.exe=     15 min"}));
  EXPECT_EQ(summary(group, "2004.12.01", "2004.12.01"),
            (std::vector<std::string>{"notepad.exe=     90 min", "abc=     15 min"}));

  // The new program is the document node's last child, its name a CDATA section, its ticks as given.
  EXPECT_TRUE(shape(group.getRootNode().node())
                  .ends_with("2(unit,~2(progname,~4(~,calc.exe))2(date,~ @tick=+5x3(~,2004.11.30))))"));

  // Nothing empties a group's document: merging again adds again.
  group.merge(b.getRootNode());
  EXPECT_EQ(summary(group, "2004.12.01", "2004.12.01"),
            (std::vector<std::string>{"notepad.exe=    120 min", "abc=     18 min"}));

  // Documents merged before their trees are built give the same group, and
  // stay unbuilt; one with a tree is merged from that tree.
  dcSoftwareUsageDocument_t lazyA, lazyB, lazyGroup;
  lazyA.LoadUsageData(site.path("a.xml").c_str());
  lazyB.LoadUsageData(site.path("b.xml").c_str());
  EXPECT_EQ(summary(lazyB), summary(b));
  EXPECT_EQ(lazyGroup.mergeFrom(lazyA), 1u);
  EXPECT_EQ(lazyGroup.mergeFrom(lazyB), 1u);
  EXPECT_EQ(lazyA.document, nullptr);
  EXPECT_EQ(lazyGroup.mergeFrom(b), 1u);
  EXPECT_EQ(shape(lazyGroup.getRootNode().node()), shape(group.getRootNode().node()));
  // Without a closing tag a load leaves an empty document that takes nothing.
  dcSoftwareUsageDocument_t open;
  EXPECT_EQ(open.LoadUsageData(site.write("open.xml", "<softwareusage><unit>").c_str()), 0u);
  EXPECT_EQ(open.mergeFrom(a), 1u);
  EXPECT_FALSE(open.getRootNode().valid());
  EXPECT_EQ(lazyGroup.mergeFrom(open), 0u);
}

// The first merge copies nodes of every kind whole: a program named in an
// INCLUDE section, a document type, a processing instruction's attributes,
// comments. Later merges then find that program by its name.
TEST(SoftwareUsage_Merge, FirstMergeCopiesEveryKindOfNode) {
  InventorySite site("<qslook/>");
  const std::string text = usageFile(
      "<!-- agent 2 --><unit><progname><![INCLUDE[notepad.exe]]></progname>"
      "<date tick=\"5\">2004.12.01</date><?mark at=\"x\"?></unit>",
      "<!DOCTYPE softwareusage [<!ENTITY e \"v\"><!ELEMENT unit ANY><!ATTLIST date tick CDATA "
      "#IMPLIED><!NOTATION n SYSTEM \"s\">]>");
  dcSoftwareUsageDocument_t client, other, group;
  client.LoadUsageData(site.write("a.xml", text).c_str());
  other.LoadUsageData(site.write("b.xml", usageFile(unit("notepad.exe", {{"2004.12.01", "2"}}))).c_str());
  const std::string original = shape(client.getRootNode().node());
  std::set<int> kinds;
  for (std::vector<const dcXmlNode_t*> todo{client.getRootNode().node()}; !todo.empty();) {
    const dcXmlNode_t* n = todo.back();
    todo.pop_back();
    kinds.insert(n->kind);
    todo.insert(todo.end(), n->children, n->children + n->childCount);
  }
  EXPECT_EQ(kinds,
            (std::set<int>{XN_DOCUMENT, XN_ELEMENT, XN_TEXT, XN_COMMENT, XN_PI, XN_INCLUDE, XN_DOCTYPE}));

  group.merge(client.getRootNode());
  EXPECT_EQ(shape(group.getRootNode().node()), original);
  group.merge(other.getRootNode());
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     21 min"}));
  // The copy owns its texts: it outlives the client's tree.
  client.LoadUsageData(site.path("b.xml").c_str());
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     21 min"}));
}

// mergeUsage answers from its indexes exactly what the tree searches answer,
// for plain names, wildcard names and trees of unusual shape.
TEST(SoftwareUsage_Merge, IndexedMergesMatchTreeSearches) {
  InventorySite site("<qslook/>");
  std::mt19937 rng(5);
  const char* names[] = {"a.exe", "b.exe", "A.EXE", "ab*", "?.exe", "[ab].exe", "\xB0\xA1.exe", "c.exe"};
  const char* days[] = {"2004.12.01", "2004.12.02", "2004.12.0?", "2004.12.1*", "2004.12.10", "2004.12.15"};
  std::vector<std::unique_ptr<dcSoftwareUsageDocument_t>> clients;
  for (int c = 0; c < 24; ++c) {
    std::string units;
    for (int u = 0, n = 1 + rng() % 5; u < n; ++u) {
      std::vector<std::pair<std::string, std::string>> d;
      for (int k = 0, m = rng() % 4; k < m; ++k) d.emplace_back(days[rng() % 6], std::to_string(rng() % 50));
      units += unit(names[rng() % 8], d);
    }
    if (c % 5 == 1)  // a program element outside any unit, with days beside it
      units += "<progname>b.exe</progname><date tick=\"3\">2004.12.01</date>";
    if (c % 4 == 0)  // two program elements sharing the days of one unit
      units +=
          "<unit><progname>d.exe</progname><progname>d.exe</progname><date "
          "tick=\"4\">2004.12.01</date></unit>";
    if (c % 7 == 0)  // days nested one level deeper inside a unit
      units += "<unit><progname>c.exe</progname><day><date tick=\"1\">2004.12.02</date></day></unit>";
    // A program element beside the root element: its days are searched for
    // in the whole document.
    const std::string before =
        c % 6 == 0 ? "<progname>b.exe</progname><date tick=\"2\">2004.12.01</date>" : "";
    std::string text = usageFile(units, before);
    // Blanks, empty texts and declarations as other agents may write them;
    // a text that is read without its tree must give the same group.
    if (c % 4 == 2) text = std::regex_replace(text, std::regex("><"), ">\n\t <");
    if (c % 8 == 3) text = std::regex_replace(text, std::regex(">2004.12.02<"), "> \r\n<");
    if (c % 8 == 5) text = std::regex_replace(text, std::regex("tick=\"([0-9]+)\""), "tick=\" $1 x\"");
    if (c % 9 == 4)
      text = std::regex_replace(text, std::regex(">[a-z.*?\\[\\]]+</progname>"), ">  </progname>");
    if (c % 10 == 7) text = std::regex_replace(text, std::regex("\"euc-kr\"\\?>"), "\"a?b\" ?>");
    if (c % 10 == 8) text = std::regex_replace(text, std::regex(" encoding=\"euc-kr\""), "  ");
    clients.push_back(std::make_unique<dcSoftwareUsageDocument_t>());
    clients.back()->LoadUsageData(site.write(std::to_string(c), text).c_str());
  }
  // Programs and days new to the group, in texts with blanks to trim.
  clients.push_back(std::make_unique<dcSoftwareUsageDocument_t>());
  clients.back()->LoadUsageData(
      site.write("24",
                 "<?xml  version=\"1.0\"  ?>\n<softwareusage>\n <unit>\n  <progname> new.exe\t</progname>\n"
                 "  <date tick=\" 7 x\"> 2004.12.03 </date>\n  <date tick=\"\">\r\n</date>\n </unit>\n"
                 " <unit><progname>  </progname><date tick=\"2\">2004.12.04</date></unit>\n</softwareusage>")
          .c_str());

  auto gather = [&](bool indexed, bool fromText) {
    dcSoftwareUsageDocument_t::indexedSearch = indexed;
    dcSoftwareUsageDocument_t group;
    for (int round = 0; round < 2; ++round)
      for (int c = 0; c < 25; ++c) {
        dcSoftwareUsageDocument_t lazy;
        lazy.LoadUsageData(site.path(std::to_string(c)).c_str());
        fromText ? group.mergeFrom(lazy) : group.merge(clients[c]->getRootNode());
      }
    // The tree and the summary each show every count added before them.
    std::string out = shape(group.getRootNode().node());
    group.merge(clients[24]->getRootNode());
    for (const std::string& line : summary(group, "2004.12.01", "2004.12.31")) out += line + ";";
    group.merge(group.getRootNode());  // reads the counts it writes
    dcSoftwareUsageDocument_t::indexedSearch = true;
    return out + shape(group.getRootNode().node());
  };
  const std::string walked = gather(false, false);
  EXPECT_EQ(gather(true, false), walked);
  EXPECT_EQ(gather(true, true), walked);
  EXPECT_EQ(gather(false, true), walked);
  EXPECT_GT(walked.size(), 1000u);
}

// Day texts of every length up to 20 that differ in one byte stay apart.
TEST(SoftwareUsage_Merge, DayTextsOfEveryLength) {
  InventorySite site("<qslook/>");
  std::string units = "<unit><progname>p</progname>";
  for (int len = 1; len <= 20; ++len)
    for (int pos = -1; pos < len; ++pos) {
      std::string day(len, '1');
      if (pos >= 0) day[pos] = '2';
      units += "<date tick=\"" + std::to_string(len * 100 + pos + 1) + "\">" + day + "</date>";
    }
  units += "</unit>";
  const std::string path = site.write("k.xml", usageFile(units));
  auto gather = [&](bool indexed) {
    dcSoftwareUsageDocument_t::indexedSearch = indexed;
    dcSoftwareUsageDocument_t group, seed;
    seed.LoadUsageData(site.write("s.xml", usageFile(unit("p", {{"x", "1"}}))).c_str());
    group.merge(seed.getRootNode());
    for (int i = 0; i < 2; ++i) {
      dcSoftwareUsageDocument_t lazy;
      lazy.LoadUsageData(path.c_str());
      group.mergeFrom(lazy);
    }
    dcSoftwareUsageDocument_t::indexedSearch = true;
    return shape(group.getRootNode().node());
  };
  EXPECT_EQ(gather(true), gather(false));
}

}  // namespace
