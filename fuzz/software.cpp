// The software loader on any file, loaded twice into the same list and
// compared with the model after each load; then every entry copied into a
// second list.
#include "dcSoftwareList.h"
#include "inventorySite.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC softwareinfo.xml", data, size);
  dcSoftwareList_t list;
  std::vector<dcmodel::loaders::Software> expected;
  for (int pass = 0; pass < 2; ++pass) {
    fuzzsupport::same(list.LoadAssetData(path.c_str()), dcmodel::loaders::loadSoftware(expected, path));
    fuzzsupport::same(dcmodel::loaders::describe(list), dcmodel::loaders::describe(expected));
  }
  dcSoftwareList_t copy;
  for (dcSoftwareInfo_t* e = list.entries; e; e = e->next) copy.add(e);
  fuzzsupport::same(dcmodel::loaders::describe(copy), dcmodel::loaders::describe(list));
  return 0;
}
