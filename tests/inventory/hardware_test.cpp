#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dcHardwareList.h"
#include "dcStringList.h"

namespace {

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
  EXPECT_EQ(list.LoadAssetData(nullptr), dcStatus::NULL_ARGUMENT);
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
