// What the differential tests leave out: load results, later loads, and a
// loaded document's own content staying apart from changes made to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcSoftwareUsage.h"
#include "inventorySite.h"

namespace {

std::string usageFile(const std::string& name, const std::string& ticks) {
  return "<?xml version=\"1.0\"?><softwareusage><unit><progname>" + name + "</progname><date tick=\"" +
         ticks + "\">2004.12.01</date></unit></softwareusage>";
}

std::vector<std::string> summary(const dcSoftwareUsageDocument_t& doc) {
  std::vector<std::string> out;
  for (const auto& line : doc.summarize("2004.01.01", "2004.12.31"))
    out.push_back(line.name + "=" + line.minutes);
  return out;
}

TEST(SoftwareUsage, LoadResultsAndLaterLoads) {
  InventorySite site("<qslook/>");
  const std::string withNul = usageFile("x.exe", "1");
  dcSoftwareUsageDocument_t cut, missing, open;
  EXPECT_EQ(
      cut.LoadUsageData(site.write("nul.xml", withNul.substr(0, 40) + '\0' + withNul.substr(40)).c_str()),
      0u);
  EXPECT_EQ(missing.LoadUsageData(site.path("none.xml").c_str()), 0u);
  EXPECT_EQ(open.LoadUsageData(site.write("open.xml", "<softwareusage><unit>").c_str()), 0u);
  EXPECT_FALSE(cut.getRootNode().valid());
  // A document without a tree takes merges and stays without one.
  dcSoftwareUsageDocument_t client;
  EXPECT_EQ(client.LoadUsageData(site.write("a.xml", usageFile("notepad.exe", "20") + "<x>").c_str()), 1u);
  EXPECT_EQ(open.mergeFrom(client), 1u);
  EXPECT_FALSE(open.hasTree());

  // Every later load gives back the first file's usage, whatever was merged
  // into the document meanwhile, in either of its forms.
  const std::string other = site.write("b.xml", usageFile("calc.exe", " +5"));
  for (bool asTree : {false, true}) {
    dcSoftwareUsageDocument_t copy;
    copy.mergeFrom(client);
    client.mergeFrom(copy);
    if (asTree) client.mergeUsage(client.getRootNode(), "notepad.exe", "2004.12.01", "20");
    EXPECT_EQ(summary(client)[0], asTree ? "notepad.exe=    180 min" : "notepad.exe=    120 min");
    EXPECT_EQ(summary(copy), (std::vector<std::string>{"notepad.exe=     60 min"}));
    EXPECT_EQ(client.LoadUsageData(other.c_str()), 1u);
    EXPECT_EQ(summary(client), (std::vector<std::string>{"notepad.exe=     60 min"}));
  }
  EXPECT_EQ(missing.LoadUsageData(other.c_str()), 0u);
  EXPECT_FALSE(missing.hasTree());
}

}  // namespace
