#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dcAssetFilters.h"
#include "dcStringList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"

namespace {

const char* kSettings =
    "<qslook><windows><WindowsVersion>WindowsVersion</WindowsVersion><os>OS</os><osname>OS</osname>"
    "<user>\xBB\xE7\xBF\xEB\xC0\xDA</user><blank/></windows></qslook>";  // 사용자

std::vector<std::string> dump(const dcWindowsInfo_t& info) {
  std::vector<std::string> out;
  for (dcWindowsInfoItem_t* i = info.items; i; i = i->next)
    out.push_back(std::string(i->name) + "=" + i->description);
  return out;
}

TEST(WindowsInfo_Load, ItemsReplaceByDisplayName) {
  InventorySite site(kSettings);
  dcAssetFilters_t filters;
  dcWindowsInfo_t info;
  const std::string file =
      site.write("PC01 WindowsInfo.xml",
                 "<?xml version=\"1.0\"?><WINDOWSINFO><pcname>PC01</pcname>"
                 "<WindowsVersion>5.1.2600</WindowsVersion>"
                 "<os>Windows XP</os><user>kim<!--then-->lee</user><osname>Windows XP Professional</osname>"
                 "<blank>no name</blank></WINDOWSINFO>");
  EXPECT_EQ(info.LoadAssetData(file.c_str()), dcStatus::OK);
  // Two keys with the same display text leave one item with the later text;
  // several values leave the last; an empty setting gives an empty name.
  EXPECT_EQ(dump(info), (std::vector<std::string>{"WindowsVersion=5.1.2600", "OS=Windows XP Professional",
                                                  "\xBB\xE7\xBF\xEB\xC0\xDA=lee", "=no name"}));
  EXPECT_STREQ(info.find("windowsversion")->description, "5.1.2600");

  // A root of another name loads nothing.
  const std::string other = site.write("other.xml", "<hardwareinfo><os>x</os></hardwareinfo>");
  EXPECT_EQ(info.LoadAssetData(other.c_str()), dcStatus::OK);
  EXPECT_EQ(dump(info).size(), 4u);
}

TEST(WindowsInfo_Load, FailuresAndFilters) {
  InventorySite site(kSettings);
  dcWindowsInfo_t info;
  const std::string file =
      site.write("w.xml",
                 "<windowsinfo><os>XP</os><user>kim</user><serial>123</serial><osname>late</osname>"
                 "</windowsinfo>");
  EXPECT_EQ(info.LoadAssetData(file.c_str()), dcStatus::OK);  // no filter set: nothing added
  EXPECT_EQ(info.items, nullptr);

  dcAssetFilters_t filters;
  filters.ignoredWindowsItems.add("\xBB\xE7\xBF\xEB\xC0\xDA");
  // "serial" has no setting: the load stops with 602, keeping what it added.
  EXPECT_EQ(info.LoadAssetData(file.c_str()), dcStatus::NO_MEMORY_TEXT);
  EXPECT_EQ(info.status, dcStatus::NO_MEMORY_TEXT);
  EXPECT_EQ(dump(info), (std::vector<std::string>{"OS=XP"}));

  EXPECT_EQ(info.LoadAssetData(site.path("none.xml").c_str()), dcStatus::FILE_ERROR);
  EXPECT_EQ(info.LoadAssetData(site.write("empty.xml", "").c_str()), dcStatus::FILE_ERROR);
  EXPECT_EQ(info.LoadAssetData(nullptr), dcStatus::NULL_ARGUMENT);
}

TEST(WindowsInfo_FindAdd, ReplaceInPlaceAndNames) {
  dcWindowsInfo_t info;
  dcWindowsInfoItem_t* version = info.add("WindowsVersion", "5.0");
  ASSERT_NE(version, nullptr);
  info.add("Product", "XP");
  // The same name in another case replaces the texts and takes the new case.
  EXPECT_EQ(info.add("WINDOWSVERSION", "5.1"), version);
  EXPECT_STREQ(version->name, "WINDOWSVERSION");
  EXPECT_STREQ(version->description, "5.1");
  EXPECT_EQ(info.items, version);  // kept its place
  EXPECT_EQ(info.add(nullptr, "x"), nullptr);
  EXPECT_EQ(info.status, dcStatus::NULL_ARGUMENT);
  EXPECT_EQ(info.find("nothing"), nullptr);
  EXPECT_EQ(info.status, dcStatus::NOT_FOUND);

  // Past the index threshold, replacing keeps finding the same item.
  for (int i = 0; i < 40; ++i) info.add(("item" + std::to_string(i)).c_str(), "v");
  dcWindowsInfoItem_t* item7 = info.find("ITEM7");
  ASSERT_NE(item7, nullptr);
  EXPECT_EQ(info.add("Item7", "w"), item7);
  EXPECT_EQ(info.find("item7"), item7);
  EXPECT_STREQ(item7->name, "Item7");
  EXPECT_EQ(info.find("windowsversion"), version);
  dcWindowsInfoItem_t* upper = info.add("\x81\x41", "a");
  dcWindowsInfoItem_t* lower = info.add("\x81\x61", "b");  // trail bytes do not fold
  EXPECT_NE(upper, lower);
  EXPECT_EQ(info.find("\x81\x41"), upper);

  dcStringList_t names;
  names.add("Product");
  names.add("windowsversion");  // other bytes: still added
  EXPECT_EQ(info.getWindowsInfoItems(&names), dcStatus::OK);
  int count = 0, versions = 0;
  for (dcStringListItem_t* i = names.head; i; i = i->next, ++count)
    if (std::string(i->text) == "WINDOWSVERSION") ++versions;
  EXPECT_EQ(count, 2 + 1 + 40 + 2);
  EXPECT_EQ(versions, 1);
  EXPECT_EQ(info.getWindowsInfoItems(nullptr), dcStatus::NULL_ARGUMENT);
}

}  // namespace
