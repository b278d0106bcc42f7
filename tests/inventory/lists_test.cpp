// The software, hardware and Windows information lists through their own
// operations: status codes the loaders never reach, texts shared through
// one table, and hashed look-ups against a walk of the chain; the usage
// document's load results and later loads. What loading files gives is
// compared with the plain model in tests/differential.
#include <gtest/gtest.h>

#include "cp949.h"
#include "dcHardwareList.h"
#include "dcSoftwareList.h"
#include "dcSoftwareUsage.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"

namespace {

// Status codes the loaders never reach; a list reusing an entry takes the
// latest spelling, which never shows in another list sharing its text table.
TEST(InventoryLists, StatusCodesAndSpelling) {
  dcTextTable_t texts;
  dcSoftwareList_t software(&texts), group(&texts);
  EXPECT_TRUE(!software.find(nullptr, "x", nullptr) && software.status == dcStatus::NOT_FOUND);
  dcSoftwareInfo_t* first = software.add("a", "b", "1");
  dcSoftwareInfo_t* other = group.add(first);
  first->referenceCount = 3;
  EXPECT_TRUE(software.add("A", "B", "1") == first && first->referenceCount == 3);
  EXPECT_EQ(std::string(first->fileName) + other->fileName, "Bb");
  EXPECT_TRUE(!software.find(nullptr, nullptr, "1") && software.status == dcStatus::NULL_ARGUMENT);
  EXPECT_TRUE(!software.add("a", nullptr, "1") && software.status == dcStatus::NULL_ARGUMENT);
  software.clear();  // the other list's texts stay
  EXPECT_EQ(std::string(other->packageName) + other->fileName + other->versionString, "ab1");

  dcHardwareList_t hardware;
  ASSERT_NE(hardware.add("CPU", "Undefined", "Intel", 0), nullptr);
  EXPECT_TRUE(!hardware.add("CPU", "undefined", "AMD", 0) && hardware.status == dcStatus::ALREADY_PRESENT);
  EXPECT_TRUE(!hardware.find("GPU", "Undefined", "Intel") && hardware.status == dcStatus::NOT_FOUND);

  dcWindowsInfo_t windows;
  windows.add("WindowsVersion", "5.0");
  EXPECT_TRUE(!windows.add(nullptr, "x") && windows.status == dcStatus::NULL_ARGUMENT);
}

// Long lists answer through hashed indexes; they must give what walking the
// chain gives, first match first, with every argument left out in turn.
TEST(InventoryLists, IndexedLookupsMatchAWalk) {
  std::mt19937 rng(11);
  const char* words[] = {"a", "A", "b", "\xB0\xA1", "\x81\x41", "\x81\x61", "x y", ""};
  auto pick = [&] { return std::string(words[rng() % 8]) + words[rng() % 8]; };
  auto same = [](const char* a, const char* b) { return !b || mb::compareNoCase(a, b) == 0; };
  dcTextTable_t texts;
  dcSoftwareList_t software(&texts);
  dcHardwareList_t hardware(&texts);
  dcWindowsInfo_t windows(&texts);
  for (int step = 0; step < 4000; ++step) {
    const std::string p = pick(), f = pick(), v = pick();
    if (rng() % 3 == 0) software.add(p.c_str(), f.c_str(), v.c_str());
    if (rng() % 3 == 0) windows.add(f.c_str(), v.c_str());
    if (rng() % 2) hardware.add(p.c_str(), f.c_str(), v.c_str(), static_cast<int>(rng() % 2));
    const char* args[3] = {rng() % 2 ? p.c_str() : nullptr, rng() % 4 ? f.c_str() : nullptr,
                           rng() % 2 ? v.c_str() : nullptr};
    dcSoftwareInfo_t* entry = nullptr;
    for (dcSoftwareInfo_t* e = software.entries; e && !entry; e = e->next)
      if (same(e->packageName, args[0]) && same(e->fileName, args[1]) && same(e->versionString, args[2]))
        entry = e;
    if (args[0] || args[1]) {
      ASSERT_EQ(software.find(args[0], args[1], args[2]), entry) << step;
    }

    dcHardwareItem_t *byDevice = nullptr, *byPair = nullptr;
    for (dcHardwareListNode_t* n = hardware.categories; n; n = n->next)
      for (dcHardwareItem_t* i = n->pInfo->items; same(n->pInfo->name, p.c_str()) && i; i = i->next) {
        if (!byDevice && same(i->device, f.c_str())) byDevice = i;
        if (!byPair && same(i->device, f.c_str()) && same(i->description, v.c_str())) byPair = i;
      }
    dcHardwareInfo_t* category = hardware.find(p.c_str());
    ASSERT_EQ(category ? category->find(f.c_str()) : nullptr, byDevice) << step;
    ASSERT_EQ(hardware.find(p.c_str(), f.c_str(), v.c_str()), byPair) << step;

    dcWindowsInfoItem_t* item = windows.items;
    while (item && !same(item->name, p.c_str())) item = item->next;
    ASSERT_EQ(windows.find(p.c_str()), item) << step;
  }
}

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
  const std::string nul = site.write("nul.xml", withNul.substr(0, 40) + '\0' + withNul.substr(40));
  EXPECT_EQ(cut.LoadUsageData(nul.c_str()), 0u);
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
