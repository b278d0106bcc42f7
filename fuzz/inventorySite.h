// The settings and the filter set the inventory loaders consult, made once
// per fuzz process: the display names of fuzzSupport.h and one ignored
// hardware category and Windows information item, so that the filters'
// paths run too.
#pragma once

#include "CSettingMgr.h"
#include "dcAssetFilters.h"
#include "fuzzSupport.h"

namespace fuzzsupport {

struct InventorySite {
  InventorySite()
      : settingsPath(writeInput("qslook.xml", reinterpret_cast<const std::uint8_t*>(SETTINGS_XML.data()),
                                SETTINGS_XML.size())),
        settings(settingsPath.c_str()),
        use(&settings) {
    filters.ignoredHardwares.add("video");
    filters.ignoredWindowsItems.add("SP");
  }
  std::string settingsPath;
  CSettingMgr settings;
  CSettingMgrOverride use;
  dcAssetFilters_t filters;
};

inline void installSite() { static InventorySite site; }

}  // namespace fuzzsupport
