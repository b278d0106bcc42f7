// The settings and the filter set the inventory loaders consult, made once
// per fuzz process: display names for a few hardware categories and Windows
// information items, and one ignored hardware category and Windows
// information item, so that the filters' paths run too.
#pragma once

#include "../tests/support/inventorySite.h"
#include "dcAssetFilters.h"
#include "fuzzSupport.h"

namespace fuzzsupport {

constexpr std::string_view SETTINGS_XML =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n"
    "<qslook>\n"
    "  <logdata>C:\\QSS\\data</logdata>\n"
    "  <qssgrp>C:\\QSS\\qsgroup.dat</qssgrp>\n"
    "  <pcname>PC \xC0\xCC\xB8\xA7</pcname>\n"                                        // PC 이름
    "  <hardware><cpu>\xC7\xC1\xB7\xCE\xBC\xBC\xBC\xAD</cpu><memory>memory</memory>"  // 프로세서
    "<disk>disk</disk><video>video</video></hardware>\n"
    "  <windows><WindowsVersion>WindowsVersion</WindowsVersion><ServicePack>SP</ServicePack>"
    "<ComputerName>name</ComputerName></windows>\n"
    "</qslook>\n";

inline void installSite() {
  static const InventorySite site(SETTINGS_XML);
  static dcAssetFilters_t filters;
  if (!filters.ignoredHardwares.head) {
    filters.ignoredHardwares.add("video");
    filters.ignoredWindowsItems.add("SP");
  }
}

}  // namespace fuzzsupport
