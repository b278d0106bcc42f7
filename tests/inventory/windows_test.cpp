#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dcStringList.h"
#include "dcWindowsInfo.h"

namespace {

TEST(WindowsInfo_FindAdd, ReplaceInPlaceAndNames) {
  dcWindowsInfo_t info;
  dcWindowsInfoItem_t* version = info.add("WindowsVersion", "5.0");
  info.add("Product", "XP");
  // The same name in another case replaces the texts, takes the new case and
  // keeps its place; so it does once the list is long enough to be indexed.
  for (int i = 0; i < 40; ++i) info.add(("item" + std::to_string(i)).c_str(), "v");
  EXPECT_EQ(info.add("WINDOWSVERSION", "5.1"), version);
  EXPECT_EQ(std::string(version->name) + "=" + version->description, "WINDOWSVERSION=5.1");
  EXPECT_EQ(info.items, version);
  EXPECT_STREQ(info.add("Item7", "w")->name, "Item7");
  dcWindowsInfoItem_t* upper = info.add("\x81\x41", "a");
  EXPECT_NE(info.add("\x81\x61", "b"), upper);  // trail bytes do not fold
  EXPECT_EQ(info.add(nullptr, "x"), nullptr);
  EXPECT_EQ(info.status, dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(info.LoadAssetData(nullptr), dcStatus::NULL_ARGUMENT);

  dcStringList_t names;
  names.add("Product");
  names.add("windowsversion");  // other bytes: the item's name is still added
  EXPECT_EQ(info.getWindowsInfoItems(&names), dcStatus::OK);
  int count = 0;
  for (dcStringListItem_t* i = names.head; i; i = i->next) ++count;
  EXPECT_EQ(count, 2 + 1 + 40 + 2);
}

// Lists share equal texts; a new spelling in one list never shows in another,
// and a text outlives the list it came from while another uses it.
TEST(WindowsInfo_FindAdd, SharedTextsStayPerList) {
  auto a = std::make_unique<dcWindowsInfo_t>();
  dcWindowsInfo_t b;
  a->add("OS", "Windows XP");
  dcWindowsInfoItem_t* item = b.add("OS", "Windows XP");
  EXPECT_EQ(a->items->name, item->name);
  a->add("os", "windows xp");
  EXPECT_STREQ(a->items->name, "os");
  a.reset();
  EXPECT_EQ(std::string(item->name) + "=" + item->description, "OS=Windows XP");
}

}  // namespace
