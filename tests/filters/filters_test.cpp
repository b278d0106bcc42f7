#include <gtest/gtest.h>

#include "dcAssetFilters.h"

namespace {

TEST(AssetFilters_Lifetime, GlobalPointerFollowsTheSet) {
  EXPECT_EQ(theAssetFilters, nullptr);
  {
    dcAssetFilters_t first;
    EXPECT_EQ(theAssetFilters, &first);
    auto* second = new dcAssetFilters_t();
    EXPECT_EQ(theAssetFilters, second);
    delete second;
    EXPECT_EQ(theAssetFilters, nullptr);
  }
  EXPECT_EQ(theAssetFilters, nullptr);
  {
    auto* older = new dcAssetFilters_t();
    dcAssetFilters_t newer;
    // Destroying a set that is no longer designated leaves the pointer alone.
    delete older;
    EXPECT_EQ(theAssetFilters, &newer);
  }
  EXPECT_EQ(theAssetFilters, nullptr);
}

TEST(AssetFilters_Checks, ExactComparisonAndStatus) {
  dcAssetFilters_t filters;
  EXPECT_EQ(filters.isIgnoredHardware("CPU", "Intel"), 0);
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);
  EXPECT_EQ(filters.isIgnoredWindowsItem("WindowsVersion"), 0);
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);

  filters.ignoredHardwares.add("CPU");
  filters.ignoredHardwares.add("\xB8\xDE\xB8\xF0\xB8\xAE");  // 메모리
  filters.ignoredDevices.add("Undefined");
  filters.ignoredWindowsItems.add("ProductKey");

  EXPECT_EQ(filters.isIgnoredHardware("CPU", nullptr), 1);
  EXPECT_EQ(filters.status, dcStatus::OK);
  EXPECT_EQ(filters.isIgnoredHardware("\xB8\xDE\xB8\xF0\xB8\xAE", nullptr), 1);
  EXPECT_EQ(filters.isIgnoredHardware("cpu", nullptr), 0);  // case matters
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);
  EXPECT_EQ(filters.isIgnoredHardware("Disk", nullptr), 0);
  // The device list answers when the category does not.
  EXPECT_EQ(filters.isIgnoredHardware(nullptr, "Undefined"), 1);
  EXPECT_EQ(filters.isIgnoredHardware("Disk", "Undefined"), 1);
  EXPECT_EQ(filters.isIgnoredHardware("Disk", "undefined"), 0);
  EXPECT_EQ(filters.isIgnoredHardware(nullptr, nullptr), 0);

  EXPECT_EQ(filters.isIgnoredWindowsItem("ProductKey"), 1);
  EXPECT_EQ(filters.status, dcStatus::OK);
  EXPECT_EQ(filters.isIgnoredWindowsItem("productkey"), 0);
  EXPECT_EQ(filters.isIgnoredWindowsItem(nullptr), 0);
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);
  // Hardware names are not Windows items and the other way round.
  EXPECT_EQ(filters.isIgnoredWindowsItem("CPU"), 0);
  EXPECT_EQ(filters.isIgnoredHardware("ProductKey", nullptr), 0);

  filters.ignoredHardwares.clear();
  EXPECT_EQ(filters.isIgnoredHardware("CPU", nullptr), 0);
}

}  // namespace
