#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcAssetFilters.h"
#include "dcStringList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"

namespace {

const char* kSettings =
    "<qslook><WindowsVersion>WindowsVersion</WindowsVersion><os>OS</os><osname>OS</osname>"
    "<user>\xBB\xE7\xBF\xEB\xC0\xDA</user><blank/></qslook>";  // 사용자

std::vector<std::string> dump(const dcWindowsInfo_t& info) {
  std::vector<std::string> out;
  for (dcWindowsInfoItem_t* i = info.items; i; i = i->next)
    out.push_back(std::string(i->name) + "=" + i->description);
  return out;
}

TEST(WindowsInfo_Load, ItemsFiltersAndFailures) {
  InventorySite site(kSettings);
  dcWindowsInfo_t info;
  const std::string file = site.write(
      "PC01 WindowsInfo.xml",
      "<?xml version=\"1.0\"?><WINDOWSINFO><pcname>PC01</pcname><WindowsVersion>5.1.2600</WindowsVersion>"
      "<os>Windows XP</os><user>kim<!--then-->lee</user><osname>Windows XP Professional</osname>"
      "<blank>no name</blank><serial>123</serial><os>late</os></WINDOWSINFO>");
  EXPECT_EQ(info.LoadAssetData(file.c_str()), dcStatus::OK);  // no filter set: nothing added
  EXPECT_EQ(info.items, nullptr);

  dcAssetFilters_t filters;
  // Two keys with the same display text leave one item with the later text;
  // several values leave the last; an empty setting gives an empty name. The
  // key "serial" has no setting: the load stops there with 602.
  EXPECT_EQ(info.LoadAssetData(file.c_str()), dcStatus::NO_MEMORY_TEXT);
  EXPECT_EQ(dump(info), (std::vector<std::string>{"WindowsVersion=5.1.2600", "OS=Windows XP Professional",
                                                  "\xBB\xE7\xBF\xEB\xC0\xDA=lee", "=no name"}));

  dcWindowsInfo_t filtered;
  filters.ignoredWindowsItems.add("\xBB\xE7\xBF\xEB\xC0\xDA");
  filters.ignoredWindowsItems.add("os");  // filters compare display texts exactly
  EXPECT_EQ(filtered.LoadAssetData(file.c_str()), dcStatus::NO_MEMORY_TEXT);
  EXPECT_EQ(dump(filtered),
            (std::vector<std::string>{"WindowsVersion=5.1.2600", "OS=Windows XP Professional", "=no name"}));

  EXPECT_EQ(info.LoadAssetData(site.write("other.xml", "<hardwareinfo><os>x</os></hardwareinfo>").c_str()),
            dcStatus::OK);
  EXPECT_EQ(info.LoadAssetData(site.path("none.xml").c_str()), dcStatus::FILE_ERROR);
  EXPECT_EQ(dump(info).size(), 4u);
}

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

  dcStringList_t names;
  names.add("Product");
  names.add("windowsversion");  // other bytes: the item's name is still added
  EXPECT_EQ(info.getWindowsInfoItems(&names), dcStatus::OK);
  int count = 0;
  for (dcStringListItem_t* i = names.head; i; i = i->next) ++count;
  EXPECT_EQ(count, 2 + 1 + 40 + 2);
}

}  // namespace
