// The plain model that the inventory fuzz targets compare the console
// with, given the same settings and ignore lists as inventorySite.h; any
// difference stops the run.
#pragma once

#include "dcModel.h"
#include "inventorySite.h"

namespace fuzzsupport {

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
