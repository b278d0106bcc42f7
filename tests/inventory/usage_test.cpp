#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcSoftwareUsage.h"
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
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     60 min", "notepad.exe=      3 min",
                                                      "abc=     12 min"}));

  EXPECT_EQ(group.merge(b.getRootNode()), 1u);
  // notepad.exe: 20+10 on the first day and a new day; calc.exe is new (its
  // ticks read as 5); "a*" on "2004.12.0?" adds to abc's first matching day.
  EXPECT_EQ(summary(group), (std::vector<std::string>{"notepad.exe=     96 min", "notepad.exe=      3 min",
                                                      "abc=     15 min", "calc.exe=     15 min"}));
  EXPECT_EQ(summary(group, "2004.12.01", "2004.12.01"),
            (std::vector<std::string>{"notepad.exe=     90 min", "abc=     15 min"}));

  // Nothing empties a group's document: merging again adds again.
  group.merge(b.getRootNode());
  EXPECT_EQ(summary(group, "2004.12.01", "2004.12.01"),
            (std::vector<std::string>{"notepad.exe=    120 min", "abc=     18 min"}));

  // Without a closing tag a load leaves an empty document that takes nothing.
  dcSoftwareUsageDocument_t open;
  EXPECT_EQ(open.LoadUsageData(site.write("open.xml", "<softwareusage><unit>").c_str()), 0u);
  EXPECT_EQ(open.mergeFrom(a), 1u);
  EXPECT_FALSE(open.getRootNode().valid());
  EXPECT_EQ(group.mergeFrom(open), 0u);
}

}  // namespace
