// The names the inventory loaders leave out, filled by the console's
// "ignore" commands and emptied by its "clear" commands.
#pragma once

#include "dcStatus.h"
#include "dcStringList.h"

class dcAssetFilters_t {
 public:
  // Empty lists; designates this set through theAssetFilters.
  dcAssetFilters_t();
  // Clears theAssetFilters if it still designates this set.
  ~dcAssetFilters_t();
  dcAssetFilters_t(const dcAssetFilters_t&) = delete;
  dcAssetFilters_t& operator=(const dcAssetFilters_t&) = delete;

  // 1 when category is given and listed in ignoredHardwares, or else when
  // device is given and listed in ignoredDevices; 0 otherwise. Exact,
  // case-sensitive comparison. status: 0 with 1, 102 with 0.
  int isIgnoredHardware(const char* category, const char* device);
  // 1 when name is listed in ignoredWindowsItems, else 0 (status as above).
  int isIgnoredWindowsItem(const char* name);

  dcStatus_t status = dcStatus::OK;
  dcStringList_t ignoredHardwares;
  dcStringList_t ignoredDevices;
  dcStringList_t ignoredPackages;
  dcStringList_t ignoredPackagesContaining;
  dcStringList_t ignoredFileNames;
  dcStringList_t ignoredFileNamesUnder;
  dcStringList_t ignoredUsagePackages;
  dcStringList_t ignoredUsageFileNames;
  dcStringList_t ignoredUsageFileNamesUnder;
  dcStringList_t ignoredWindowsItems;
};

// The filter set the loaders consult; none while no set exists.
extern dcAssetFilters_t* theAssetFilters;
