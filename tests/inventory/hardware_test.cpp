#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dcAssetFilters.h"
#include "dcHardwareList.h"
#include "dcStringList.h"
#include "inventorySite.h"

namespace {

const char* kSettings =
    "<qslook><hardware><cpu>CPU</cpu><memory>Memory</memory><disk></disk>"
    "<video>\xB1\xD7\xB7\xA1\xC7\xC8</video></hardware><pcname>PC</pcname></qslook>";  // 그래픽

// Category names with their items ("device|description"), in list order.
std::vector<std::string> dump(dcHardwareList_t& list) {
  std::vector<std::string> out;
  for (dcHardwareListNode_t* n = list.categories; n; n = n->next) {
    std::string line = std::string(n->pInfo->name) + ":";
    for (dcHardwareItem_t* i = n->pInfo->items; i; i = i->next)
      line += std::string(" ") + i->device + "|" + i->description;
    out.push_back(line);
  }
  return out;
}

TEST(HardwareList_Load, CategoriesValuesAndStops) {
  InventorySite site(kSettings);
  dcAssetFilters_t filters;
  dcHardwareList_t list;
  const std::string file = site.write("PC01 HardwareInfo.xml",
                                      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n"
                                      "<HardwareInfo>\n"
                                      "  <pcname>PC01</pcname>\n"
                                      "  <cpu>Intel Pentium 4</cpu>\n"
                                      "  <memory>512MB<!--slot 2-->512MB<x/>after element</memory>\n"
                                      "  <disk>Seagate</disk>\n"
                                      "  <video><card>nested</card>text</video>\n"
                                      "</HardwareInfo>\n"
                                      "<other><cpu>not read</cpu></other>\n");
  EXPECT_EQ(list.LoadAssetData(file.c_str()), dcStatus::OK);
  // Every value until the first child without one becomes an item "Undefined";
  // equal texts give two items; a key whose setting is empty gives "".
  // An element as first child ends its category at once.
  EXPECT_EQ(dump(list), (std::vector<std::string>{
                            "CPU: Undefined|Intel Pentium 4",
                            "Memory: Undefined|512MB Undefined|slot 2 Undefined|512MB",
                            ": Undefined|Seagate",
                        }));

  // A node without name among the categories ends the root element.
  dcHardwareList_t stray;
  stray.LoadAssetData(
      site.write("s.xml", "<hardwareinfo><cpu>A</cpu>loose<memory>B</memory></hardwareinfo>").c_str());
  EXPECT_EQ(dump(stray), (std::vector<std::string>{"CPU: Undefined|A"}));

  // Another root name loads nothing; loading adds to what is there.
  EXPECT_EQ(list.LoadAssetData(site.write("o.xml", "<inventory><cpu>Z</cpu></inventory>").c_str()), 0u);
  EXPECT_EQ(dump(list).size(), 3u);
  EXPECT_EQ(list.LoadAssetData(file.c_str()), dcStatus::OK);
  EXPECT_EQ(list.find("cpu")->items->next->description, std::string("Intel Pentium 4"));
}

TEST(HardwareList_Load, FailuresFiltersAndUnknownKeys) {
  InventorySite site(kSettings);
  dcHardwareList_t list;
  const std::string file = site.write("hw.xml",
                                      "<hardwareinfo><cpu>Intel</cpu><memory>1GB</memory><sound>AC97</sound>"
                                      "<disk>late</disk></hardwareinfo>");

  // No filter set: nothing is added, and that is no failure.
  ASSERT_EQ(theAssetFilters, nullptr);
  EXPECT_EQ(list.LoadAssetData(file.c_str()), dcStatus::OK);
  EXPECT_EQ(list.categories, nullptr);

  dcAssetFilters_t filters;
  filters.ignoredHardwares.add("Memory");  // display names are what filters compare
  filters.ignoredHardwares.add("cpu");
  // "sound" has no setting: the load stops with 203 and keeps what it added.
  EXPECT_EQ(list.LoadAssetData(file.c_str()), dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(list.status, dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(dump(list), (std::vector<std::string>{"CPU: Undefined|Intel"}));

  EXPECT_EQ(list.LoadAssetData(site.write("empty.xml", "").c_str()), dcStatus::FILE_ERROR);
  EXPECT_EQ(list.LoadAssetData(nullptr), dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(dump(list).size(), 1u);
}

TEST(HardwareList_FindAdd, CaseDuplicatesAndNames) {
  dcHardwareList_t list;
  dcHardwareInfo_t* cpu = list.add("CPU");
  ASSERT_NE(cpu, nullptr);
  EXPECT_EQ(list.add("cpu"), cpu);  // same category in any letter case
  EXPECT_TRUE(list.find("GPU") == nullptr && list.status == dcStatus::NOT_FOUND);

  ASSERT_NE(list.add("CPU", "Undefined", "Intel", 0), nullptr);
  EXPECT_EQ(list.add("CPU", "undefined", "AMD", 0), nullptr);  // device present
  EXPECT_EQ(list.status, dcStatus::ALREADY_PRESENT);
  EXPECT_NE(list.add("CPU", "Undefined", "Intel", 1), nullptr);   // allowed: a second item
  EXPECT_EQ(list.find("cpu", "UNDEFINED", "intel"), cpu->items);  // the first of the two
  EXPECT_EQ(list.find("GPU", "Undefined", "Intel"), nullptr);
  EXPECT_TRUE(!list.add("CPU", nullptr, "x", 1) && list.status == dcStatus::NULL_ARGUMENT);

  // A text longer than a field is cut at a character boundary and still found.
  const std::string longName = std::string(254, 'n') + "\xB0\xA1tail";  // 가 would straddle the end
  dcHardwareInfo_t* cut = list.add(longName.c_str());
  EXPECT_EQ(list.add(longName.c_str()), cut);

  dcStringList_t names;
  names.add("CPU");
  EXPECT_EQ(list.getHardwareNames(&names), dcStatus::OK);
  int count = 0;
  for (dcStringListItem_t* i = names.head; i; i = i->next) ++count;
  EXPECT_EQ(count, 2);  // CPU once, then the long name

  list.clear();
  EXPECT_EQ(list.find("CPU"), nullptr);
}

// The hashed look-ups of long lists give what walking the chain gives.
TEST(HardwareList_FindAdd, IndexedAnswersMatchTheChain) {
  std::mt19937 rng(7);
  const char* words[] = {"a", "A", "b", "\xB0\xA1", "\x81\x41", "\x81\x61", "x y", ""};
  auto pick = [&] { return std::string(words[rng() % 8]) + words[rng() % 8]; };
  auto same = [](const char* a, const std::string& b) { return mb::compareNoCase(a, b.c_str()) == 0; };
  dcHardwareList_t list;
  for (int step = 0; step < 3000; ++step) {
    const std::string cat = pick(), dev = pick(), desc = pick();
    if (rng() % 2) list.add(cat.c_str(), dev.c_str(), desc.c_str(), static_cast<int>(rng() % 2));
    dcHardwareItem_t *byDevice = nullptr, *byPair = nullptr;
    for (dcHardwareListNode_t* n = list.categories; n; n = n->next)
      for (dcHardwareItem_t* i = n->pInfo->items; same(n->pInfo->name, cat) && i; i = i->next) {
        if (!byDevice && same(i->device, dev)) byDevice = i;
        if (!byPair && same(i->device, dev) && same(i->description, desc)) byPair = i;
      }
    dcHardwareInfo_t* category = list.find(cat.c_str());
    ASSERT_EQ(category ? category->find(dev.c_str()) : nullptr, byDevice);
    ASSERT_EQ(list.find(cat.c_str(), dev.c_str(), desc.c_str()), byPair);
  }
}

}  // namespace
