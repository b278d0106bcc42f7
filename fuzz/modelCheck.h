// What the inventory fuzz targets share: the settings and the filter set the
// loaders consult, made once per fuzz process (display names for a few
// hardware categories and Windows information items, and one ignored
// hardware category and Windows information item, so that the filters'
// paths run too), and the plain model they compare the console with, given
// the same settings and ignore lists; any difference stops the run.
#pragma once

#include "../tests/support/inventorySite.h"
#include "dcAssetFilters.h"
#include "dcModel.h"
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
  if (!filters.ignoredHardwares.head)
    filters.ignoredHardwares.add("video"), filters.ignoredWindowsItems.add("SP");
}

inline void same(bool agree) {
  if (!agree) __builtin_trap();
}

// Writes the input as name and loads it twice into product, the same list
// each time, and into the model's list, comparing after each load.
template <class Model, class Product>
void loadTwiceAsTheModel(Product& product, const char* name, const std::uint8_t* data, std::size_t size) {
  installSite();
  static const auto settings = dcmodel::parse(std::string(SETTINGS_XML));
  static const dcmodel::Filters filters{{"video"}, {"SP"}};
  const std::string path = writeInput(name, data, size);
  Model model;
  for (int pass = 0; pass < 2; ++pass)
    same(dcmodel::loadBoth(product, model, path, *settings, &filters).empty());
}

}  // namespace fuzzsupport
