// The plain model that the inventory fuzz targets compare the console
// with, given the same settings and ignore lists as inventorySite.h; any
// difference stops the run.
#pragma once

#include <string>

#include "dcModelLoaders.h"
#include "fuzzSupport.h"

namespace fuzzsupport {

inline const dcmodel::loaders::Settings& modelSettings() {
  static const dcmodel::loaders::Settings settings{std::string(SETTINGS_XML)};
  return settings;
}

inline const dcmodel::loaders::Filters& modelFilters() {
  static const dcmodel::loaders::Filters filters{{"video"}, {"SP"}};
  return filters;
}

inline void same(const std::string& product, const std::string& model) {
  if (product != model) __builtin_trap();
}

inline void same(unsigned product, unsigned model) {
  if (product != model) __builtin_trap();
}

}  // namespace fuzzsupport
