// The chart pane's values: Windows versions counted by PC, programs ranked
// by the PCs that have them and by minutes of use in a period.
#include <gtest/gtest.h>

#include "cp949.h"
#include "dcChartData.h"
#include "dcQsGroup.h"
#include "inventorySite.h"

using Bars = std::vector<dcChartBar_t>;

TEST(Charts, VersionsByPcOfTheSubtreeProgramsByPcsAndByMinutes) {
  // Root with PC R1, group A (A1, A2, sub-group AA with AA1, AA2) and group B
  // (B1 without a Windows version), gathered.
  dcQsGroup_t root{"root"}, *a = root.addChild(1, "A"), *aa = a->addChild(2, "AA");
  dcQsClient_t *r1 = root.addClient("R1"), *a1 = a->addClient("A1"), *a2 = a->addClient("A2"),
               *aa1 = aa->addClient("AA1"), *aa2 = aa->addClient("AA2"),
               *b1 = root.addChild(3, "B")->addClient("B1");
  const std::string office = mb::fromUtf8("오피스");
  for (dcQsClient_t* c : {r1, a2}) c->windowsInfo.add("WindowsVersion", "Windows 10");
  for (dcQsClient_t* c : {aa1, aa2}) c->windowsInfo.add("WindowsVersion", "Windows 11");
  a1->windowsInfo.add("windowsversion", "Windows 11");  // the item's name in any case
  b1->windowsInfo.add("Workgroup", "HOME");
  r1->softwareList.add("Editor", "editor.exe", "1");
  a1->softwareList.add("Editor 2", "EDITOR.EXE", "2");      // the same program: one bar, the first name
  a1->softwareList.add("Editor again", "editor.exe", "2");  // twice on one PC: counted once
  for (dcQsClient_t* c : {a1, a2, aa1, aa2}) c->softwareList.add(office.c_str(), "office.exe", "1");
  aa1->softwareList.add("Viewer", "viewer.exe", "1");
  b1->softwareList.add("Game", "game.exe", "1");
  setUsage(a1->usageDocument,
           "<unit><progname>editor.exe</progname><date tick='10'>2024.03.01</date></unit>"
           "<unit><progname>game.exe</progname><date tick='100'>2024.04.01</date></unit>");
  setUsage(aa1->usageDocument,
           "<unit><progname>viewer.exe</progname><date tick='20'>2024.03.02</date></unit>"
           "<unit><progname>editor.exe</progname><date tick='5'>2024.03.31</date></unit>");
  ASSERT_EQ(root.gatherGroupInfo(), 0u);

  // A's own PCs and its sub-group's count alike; largest first.
  EXPECT_EQ(dccharts::windowsVersions(a), (Bars{{"Windows 11", 3}, {"Windows 10", 1}}));
  // Equal counts keep the order versions were first met; B1 has none.
  EXPECT_EQ(dccharts::windowsVersions(&root), (Bars{{"Windows 11", 3}, {"Windows 10", 2}}));
  EXPECT_EQ(dccharts::windowsVersions(r1), (Bars{{"Windows 10", 1}}));
  EXPECT_TRUE(dccharts::windowsVersions(b1).empty());
  dcObject_t banner("b", "dcBanner_t", 0);
  EXPECT_TRUE(dccharts::chartData(dcChartKind_t::WINDOWS_VERSIONS, &banner, {}).empty());
  EXPECT_TRUE(dccharts::chartData(dcChartKind_t::MOST_USED, nullptr, {}).empty());

  // Programs by the PCs that have them.
  EXPECT_EQ(dccharts::mostInstalled(&root), (Bars{{office, 4}, {"Editor", 2}, {"Viewer", 1}, {"Game", 1}}));
  EXPECT_EQ(dccharts::mostInstalled(a, 2), (Bars{{office, 4}, {"Editor 2", 1}}));
  EXPECT_EQ(dccharts::mostInstalled(a1), (Bars{{"Editor 2", 1}, {office, 1}}));

  // Minutes in the period, as the usage view sums them; a start after the
  // end is the end day alone.
  const dcViewPeriod_t march{{2024, 3, 1}, {2024, 3, 31}};
  EXPECT_EQ(dccharts::mostUsed(&root, march), (Bars{{"viewer.exe", 60}, {"editor.exe", 45}}));
  EXPECT_EQ(dccharts::mostUsed(a1, {{2024, 4, 1}, {2024, 4, 30}}), (Bars{{"game.exe", 300}}));
  EXPECT_EQ(dccharts::chartData(dcChartKind_t::MOST_USED, aa1, {{2024, 5, 1}, {2024, 3, 31}}),
            (Bars{{"editor.exe", 15}}));
}
