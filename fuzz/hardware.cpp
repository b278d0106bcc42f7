// The hardware loader on any file, loaded twice into the same list and
// compared with the model after each load; then the category names read
// back.
#include "dcHardwareList.h"
#include "dcStringList.h"
#include "inventorySite.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC HardwareInfo.xml", data, size);
  dcHardwareList_t list;
  std::vector<dcmodel::loaders::HardwareCategory> expected;
  for (int pass = 0; pass < 2; ++pass) {
    fuzzsupport::same(list.LoadAssetData(path.c_str()),
                      dcmodel::loaders::loadHardware(expected, path, fuzzsupport::modelSettings(),
                                                     &fuzzsupport::modelFilters()));
    fuzzsupport::same(dcmodel::loaders::describe(list), dcmodel::loaders::describe(expected));
  }
  dcStringList_t names;
  list.getHardwareNames(&names);
  return 0;
}
