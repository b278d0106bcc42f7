#include "dcAssetFilters.h"

dcAssetFilters_t* theAssetFilters = nullptr;

dcAssetFilters_t::dcAssetFilters_t() { theAssetFilters = this; }

dcAssetFilters_t::~dcAssetFilters_t() {
  if (theAssetFilters == this) theAssetFilters = nullptr;
}

int dcAssetFilters_t::isIgnoredHardware(const char* category, const char* device) {
  if ((category && ignoredHardwares.find(category)) || (device && ignoredDevices.find(device))) {
    status = dcStatus::OK;
    return 1;
  }
  status = dcStatus::NOT_FOUND;
  return 0;
}

int dcAssetFilters_t::isIgnoredWindowsItem(const char* name) {
  if (name && ignoredWindowsItems.find(name)) {
    status = dcStatus::OK;
    return 1;
  }
  status = dcStatus::NOT_FOUND;
  return 0;
}
