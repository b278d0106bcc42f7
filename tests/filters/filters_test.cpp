#include <gtest/gtest.h>

#include "dcAssetFilters.h"

namespace {

TEST(AssetFilters_Lifetime, GlobalPointerFollowsTheSet) {
  EXPECT_EQ(theAssetFilters, nullptr);
  {
    auto* older = new dcAssetFilters_t();
    dcAssetFilters_t newer;
    EXPECT_EQ(theAssetFilters, &newer);
    delete older;  // no longer designated: the pointer stays
    EXPECT_EQ(theAssetFilters, &newer);
  }
  EXPECT_EQ(theAssetFilters, nullptr);
}

TEST(AssetFilters_Checks, ExactComparisonAndStatus) {
  dcAssetFilters_t filters;
  EXPECT_EQ(filters.isIgnoredHardware("CPU", "Intel"), 0);
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);

  filters.ignoredHardwares.add("CPU");
  filters.ignoredDevices.add("Undefined");
  filters.ignoredWindowsItems.add("ProductKey");

  EXPECT_EQ(filters.isIgnoredHardware("CPU", nullptr), 1);
  EXPECT_EQ(filters.status, dcStatus::OK);
  EXPECT_EQ(filters.isIgnoredHardware("cpu", nullptr), 0);  // case matters
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);
  // The device list answers when the category does not.
  EXPECT_EQ(filters.isIgnoredHardware(nullptr, "Undefined"), 1);
  EXPECT_EQ(filters.isIgnoredHardware("Disk", "Undefined"), 1);
  EXPECT_EQ(filters.isIgnoredHardware("Disk", "undefined"), 0);

  EXPECT_EQ(filters.isIgnoredWindowsItem("ProductKey"), 1);
  EXPECT_EQ(filters.status, dcStatus::OK);
  EXPECT_EQ(filters.isIgnoredWindowsItem("productkey"), 0);
  EXPECT_EQ(filters.isIgnoredWindowsItem(nullptr), 0);
  EXPECT_EQ(filters.status, dcStatus::NOT_FOUND);
}

}  // namespace
